#include "app/scene.h"

#include "app/kernel.h"
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

// The drawn water surface. The player's water line (app/player_control.h) and the rocks' water
// level (game/fall.cpp) are heights of their own on purpose: an eye height and a rock's centre
// respectively, each with the motion and the recordings made with it.
const float waterPlaneHeight = -25.0f;

// Values the render objects read by reference for the whole run.
struct SceneValues {
    Mat4 cliffNormal;
    Mat4 terrainNormal;
    Mat4 upperWaterNormal;
    Mat4 lowerWaterNormal;
    Mat4 blockNormals[5];
    float upperWaterBlend;
    float lowerWaterBlend;
};

SceneValues values;

struct BlockPlacement {
    Vec3 position;
    Vec3 rotation;
    Vec3 scale;
};

const BlockPlacement blocks[5] = {
    {{180, 10, 180}, {78, 95, 24}, {40, 20, 200}},
    {{120, 70, 1600}, {98, 28, -64}, {40, 30, 800}},
    {{120, 67, 1600}, {0, 28, -64}, {40, 30, 800}},
    {{180, 70, 180}, {98, 28, 44}, {30, 30, 30}},
    {{-60, 20, -70}, {0, 0, 0}, {35, 10, 35}},
};

Mesh* cachedMesh(const char* name) { return static_cast<Mesh*>(getResource(*kernel.resources, name)); }
Texture* cachedTexture(const char* name) {
    return static_cast<Texture*>(getResource(*kernel.resources, name));
}

void bindNormalMatrix(RenderObject& object, Mat4& matrix) {
    makeNormalMatrixSlots(object);
    copyMat4(matrix, identityMat4);
    setNormalMatrix(object, &matrix);
}

void addGround(RenderObject& object) {
    addHeightGrid(*kernel.physicsWorld, &buildHeightGrid(*new HeightGrid, *object.mesh, object.position, object.scale));
}

RenderObject* addWaterPlane(ShaderProgram* waterShader, float rotationX, Mat4& normal, float& blend) {
    RenderObject* water = createWaterObject(cachedMesh("Meshes/water2.dae"), *kernel.camera);
    water->shader = waterShader;
    makeTextureSlots(*water);
    setTexture(*water, "Texture1", cachedTexture("Textures/water1_f.bmp"));
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

void addFrustumPlates() {
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

SceneHandles buildScene() {
    SceneHandles handles = {};
    Camera& camera = *kernel.camera;
    kernel.rockTexture = cachedTexture("Textures/rhyolite.bmp");
    ShaderProgram* terrainShader = makePhongTerrainMaterial(*kernel.resources);

    RenderObject* cliff = createRenderObject(cachedMesh("Meshes/cliff.dae"), camera);
    cliff->shader = terrainShader;
    cliff->scale = {5, 5, 5};
    cliff->position.z = 2000;
    makeTextureSlots(*cliff);
    setTexture(*cliff, "Texture1", cachedTexture("Textures/rhyolite.bmp"));
    setTexture(*cliff, "Texture2", cachedTexture("Textures/grass1.dds"));
    bindNormalMatrix(*cliff, values.cliffNormal);
    cliff->groundPieces = makeGroundPieces(*cliff->mesh);
    addGround(*cliff);

    RenderObject* terrain = createRenderObject(cachedMesh("Meshes/riverlake_terrain.dae"), camera);
    terrain->scale = {40, 40, 40};
    terrain->shader = terrainShader;
    makeTextureSlots(*terrain);
    setTexture(*terrain, "Texture1", cachedTexture("Textures/rhyolite.bmp"));
    setTexture(*terrain, "Texture2", cachedTexture("Textures/grass1.dds"));
    bindNormalMatrix(*terrain, values.terrainNormal);
    terrain->groundPieces = makeGroundPieces(*terrain->mesh);
    addGround(*terrain);

    ShaderProgram* waterShader = makeWaterMaterial(*kernel.resources);
    addWaterPlane(waterShader, 0, values.upperWaterNormal, values.upperWaterBlend);
    addWaterPlane(waterShader, 180, values.lowerWaterNormal, values.lowerWaterBlend);

    handles.rockMesh = cachedMesh("Meshes/sphere9.dae");

    for (int i = 0; i < 5; ++i) {
        RenderObject* block = createRenderObject(cachedMesh("Meshes/cube5.dae"), camera);
        block->scale = blocks[i].scale;
        block->position = blocks[i].position;
        block->rotation = blocks[i].rotation;
        makeTextureSlots(*block);
        setTexture(*block, "Texture1", kernel.rockTexture);
        BoxCollider* collider = addBoxCollider(*kernel.physicsWorld, *block->mesh, block->scale, block->position, block->rotation);
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
    addFrustumPlates();

    RenderObject* sky = createRenderObject(cachedMesh("Meshes/skyCube.dae"), camera);
    sky->position.y = 30;
    makeTextureSlots(*sky); // made from the default shader: it has the same single sampler
    setTexture(*sky, "Texture1", cachedTexture("Textures/skybox_texture.bmp"));
    sky->shader = makeSkyBoxMaterial(*kernel.resources);
    sky->rotation.x = 90;
    sky->rotation.y = 105;
    sky->scale = {1000000, 1000000, 1000000};
    sky->background = 1;
    return handles;
}

} // namespace valley
