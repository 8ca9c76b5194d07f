#include "app/scene.h"

#include "app/kernel.h"
#include "app/run.h"
#include "assets/mesh.h"
#include "assets/resource_cache.h"
#include "assets/texture.h"
#include "core/vec_math.h"
#include "physics/height_grid.h"
#include "physics/physics_world.h"
#include "render/camera.h"
#include "render/ground_pieces.h"
#include "render/render_object.h"
#include "render/shader_program.h"

namespace valley {

namespace {

// The drawn water surface. The player's water line (game/player_control.h) and the rocks' water
// level (app/scene.h) are heights of their own on purpose: an eye height and a rock's centre
// respectively, each with the motion and the recordings made with it.
const float waterPlaneHeight = -25.0f;

struct BlockPlacement {
    Vec3 position;
    Vec3 rotation;
    Vec3 scale;
};

const BlockPlacement blocks[5] = {
    {{180, 10, 180}, {78, 95, 24}, {40, 20, 200}},  {{120, 70, 1600}, {98, 28, -64}, {40, 30, 800}},
    {{120, 67, 1600}, {0, 28, -64}, {40, 30, 800}}, {{180, 70, 180}, {98, 28, 44}, {30, 30, 30}},
    {{-60, 20, -70}, {0, 0, 0}, {35, 10, 35}},
};

Mesh* cachedMesh(Kernel& kernel, const char* name) {
    return static_cast<Mesh*>(getResource(*kernel.resources, name));
}
Texture* cachedTexture(Kernel& kernel, const char* name) {
    return static_cast<Texture*>(getResource(*kernel.resources, name));
}

void bindNormalMatrix(RenderObject& object, Mat4& matrix) {
    makeNormalMatrixSlots(object);
    copyMat4(matrix, identityMat4);
    setNormalMatrix(object, &matrix);
}

void addGround(Kernel& kernel, RenderObject& object) {
    addHeightGrid(*kernel.physicsWorld,
                  &buildHeightGrid(*new HeightGrid, *object.mesh, object.position, object.scale));
}

RenderObject* addWaterPlane(Kernel& kernel, ShaderProgram* waterShader, float rotationX, Mat4& normal,
                            float& blend) {
    RenderObject* water = createWaterObject(cachedMesh(kernel, "Meshes/water2.dae"), *kernel.camera);
    water->shader = waterShader;
    makeTextureSlots(*water);
    setTexture(*water, "Texture1", cachedTexture(kernel, "Textures/water1_f.bmp"));
    water->scale = {40, 40, 40};
    water->position.y = waterPlaneHeight;
    water->rotation.x = rotationX;
    bindNormalMatrix(*water, normal);
    rotationMat4(normal, water->rotation);
    makeBlendSlots(*water);
    blend = 0.6f;
    setBlend(*water, &blend);
    return water;
}

} // namespace

void addFrustumPlates(Kernel& kernel) {
    // The plates draw a cube of their own; one the blocks' cube already failed on is not read,
    // and so not reported, a second time.
    const auto* cube = static_cast<const Mesh*>(findResource(*kernel.resources, "Meshes/cube5.dae"));
    Mesh* plateMesh = new Mesh{};
    if (cube == nullptr || cube->vertexBuffer != 0) {
        loadMesh(*plateMesh, "Meshes/cube5.dae");
    }
    const Vec3 platePositions[4] = {{0, 0, -15}, {0, 0, 15}, {0, 15, 0}, {0, -15, 0}};
    for (int i = 0; i < 4; ++i) {
        RenderObject* plate = createRenderObject(plateMesh, *kernel.camera);
        plate->position = platePositions[i];
        plate->scale = {10, 0.01f, 10};
        kernel.frustumPlates[i] = plate;
    }
    createRenderObject(plateMesh, *kernel.camera); // the plain cube at the origin
}

SceneHandles buildScene(RunState& run) {
    Kernel& kernel = run.kernel;
    SceneValues& values = run.values;
    SceneHandles handles = {};
    Camera& camera = *kernel.camera;
    kernel.rockTexture = cachedTexture(kernel, "Textures/rhyolite.bmp");
    ShaderProgram* terrainShader = makePhongTerrainMaterial(*kernel.resources);

    RenderObject* cliff = createRenderObject(cachedMesh(kernel, "Meshes/cliff.dae"), camera);
    cliff->shader = terrainShader;
    cliff->scale = {5, 5, 5};
    cliff->position.z = 2000;
    makeTextureSlots(*cliff);
    setTexture(*cliff, "Texture1", cachedTexture(kernel, "Textures/rhyolite.bmp"));
    setTexture(*cliff, "Texture2", cachedTexture(kernel, "Textures/grass1.dds"));
    bindNormalMatrix(*cliff, values.cliffNormal);
    cliff->groundPieces = makeGroundPieces(*cliff->mesh);
    addGround(kernel, *cliff);

    RenderObject* terrain = createRenderObject(cachedMesh(kernel, "Meshes/riverlake_terrain.dae"), camera);
    terrain->scale = {40, 40, 40};
    terrain->shader = terrainShader;
    makeTextureSlots(*terrain);
    setTexture(*terrain, "Texture1", cachedTexture(kernel, "Textures/rhyolite.bmp"));
    setTexture(*terrain, "Texture2", cachedTexture(kernel, "Textures/grass1.dds"));
    bindNormalMatrix(*terrain, values.terrainNormal);
    terrain->groundPieces = makeGroundPieces(*terrain->mesh);
    addGround(kernel, *terrain);

    ShaderProgram* waterShader = makeWaterMaterial(*kernel.resources);
    addWaterPlane(kernel, waterShader, 0, values.upperWaterNormal, values.upperWaterBlend);
    addWaterPlane(kernel, waterShader, 180, values.lowerWaterNormal, values.lowerWaterBlend);

    handles.rockMesh = cachedMesh(kernel, "Meshes/sphere9.dae");

    for (int i = 0; i < 5; ++i) {
        RenderObject* block = createRenderObject(cachedMesh(kernel, "Meshes/cube5.dae"), camera);
        block->scale = blocks[i].scale;
        block->position = blocks[i].position;
        block->rotation = blocks[i].rotation;
        makeTextureSlots(*block);
        setTexture(*block, "Texture1", kernel.rockTexture);
        BoxCollider* collider = addBoxCollider(*kernel.physicsWorld, *block->mesh, block->scale,
                                               block->position, block->rotation);
        bindNormalMatrix(*block, values.blockNormals[i]);
        rotationMat4(values.blockNormals[i], block->rotation);
        if (i == 0) {
            handles.frustumTarget = block;
        }
        if (i == 4) {
            handles.selectedBlock = block;
            handles.selectedCollider = collider;
            handles.selectedNormalMatrix = &values.blockNormals[i];
        }
    }

    camera.position = {-190, 40, -195};
    addFrustumPlates(kernel);

    RenderObject* sky = createRenderObject(cachedMesh(kernel, "Meshes/skyCube.dae"), camera);
    sky->position.y = 30;
    makeTextureSlots(*sky); // made from the default shader: it has the same single sampler
    setTexture(*sky, "Texture1", cachedTexture(kernel, "Textures/skybox_texture.bmp"));
    sky->shader = makeSkyBoxMaterial(*kernel.resources);
    sky->rotation.x = 90;
    sky->rotation.y = 105;
    sky->scale = {1000000, 1000000, 1000000};
    sky->background = 1;
    return handles;
}

} // namespace valley
