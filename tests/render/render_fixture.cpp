#include "tests/render/render_fixture.h"

#include "assets/mesh.h"
#include "assets/resource_cache.h"
#include "assets/texture.h"
#include "render/shader_program.h"
#include "tests/support/gl_context.h"

#include <epoxy/gl.h>

#include <memory>
#include <vector>

using namespace valley;

void RenderListTest::SetUp() {
    initCamera(camera);
    scene.camera = &camera;
    water.camera = &camera;
    camera.sceneList = &scene;
    camera.waterList = &water;
    camera.yaw = -90.0f;
}

void RenderListTest::useMaterial(ShaderProgram* material) {
    scene.material = material;
    water.material = material;
}

void RenderListTest::TearDown() {
    for (RenderList* list : {&scene, &water}) {
        while (list->head != nullptr) {
            destroyRenderObject(static_cast<RenderObject*>(list->head->payload), *list);
        }
    }
}

void DrawTest::SetUp() {
    RenderListTest::SetUp();
    ASSERT_TRUE(ensureGlContext()) << "no OpenGL 2.0 context: is DISPLAY set?";
    useMaterial(materials().phong);
    perspective(scene.projection, 1280.0f / 720.0f, camera.fieldOfView);
    glViewport(0, 0, 1280, 720);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

Mesh& DrawTest::quad() {
    // Position, normal, texture coordinate; two triangles.
    static float vertices[32] = {-1, -1, 0, 0, 0, 1, 0, 0, //
                                 1,  -1, 0, 0, 0, 1, 1, 0, //
                                 1,  1,  0, 0, 0, 1, 1, 1, //
                                 -1, 1,  0, 0, 0, 1, 0, 1};
    static int32_t indices[6] = {0, 1, 2, 0, 2, 3};
    static Mesh mesh = [] {
        Mesh m = {4, 8, vertices, 2, indices, 0, 0, {1, 1, 0}};
        glGenBuffers(1, &m.vertexBuffer);
        glBindBuffer(GL_ARRAY_BUFFER, m.vertexBuffer);
        glBufferData(GL_ARRAY_BUFFER, sizeof vertices, vertices, GL_STATIC_DRAW);
        glGenBuffers(1, &m.indexBuffer);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m.indexBuffer);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof indices, indices, GL_STATIC_DRAW);
        return m;
    }();
    return mesh;
}

const Materials& DrawTest::materials() {
    static ResourceCache cache;
    static const Materials made = {makePhongMaterial(cache), makePhongTerrainMaterial(cache),
                                   makeWaterMaterial(cache), makeSkyBoxMaterial(cache)};
    return made;
}

Texture* DrawTest::solidTexture(uint8_t red, uint8_t green, uint8_t blue) {
    const uint8_t texel[4] = {red, green, blue, 255};
    // Slots keep only the texture name; the records stay with the test program.
    static std::vector<std::unique_ptr<Texture>> made;
    made.push_back(std::make_unique<Texture>(Texture{1, 1, 0}));
    Texture* texture = made.back().get();
    glGenTextures(1, &texture->textureId);
    glBindTexture(GL_TEXTURE_2D, texture->textureId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    return texture;
}

RenderObject* DrawTest::addQuad(ShaderProgram* material, Vec3 position, Texture* texture) {
    RenderObject* object = createRenderObject(&quad(), camera);
    object->shader = material;
    object->position = position;
    makeTextureSlots(*object);
    makeNormalMatrixSlots(*object);
    makeBlendSlots(*object);
    setTexture(*object, "Texture1", texture);
    setTexture(*object, "Texture2", texture);
    return object;
}

Pixel DrawTest::pixelAt(Vec3 eyePoint) {
    const float* p = scene.projection.m;
    float w = p[11] * eyePoint.z;
    int column = static_cast<int>(640.0f * (1.0f + p[0] * eyePoint.x / w));
    int row = static_cast<int>(360.0f * (1.0f + p[5] * eyePoint.y / w));
    uint8_t rgba[4] = {};
    glReadPixels(column, row, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2], rgba[3]};
}
