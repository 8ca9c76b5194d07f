#include "render/render_object.h"

#include "assets/mesh.h"
#include "assets/texture.h"
#include "render/shader_program.h"
#include "tests/render/render_fixture.h"

#include <gtest/gtest.h>

using namespace valley;

namespace {

Mesh someMesh = {};
Texture grass = {0, 0, 7};
Texture rock = {0, 0, 9};

// Input tables as the presets build them, never linked: no OpenGL needed.
ShaderProgram* tables(int samplers, bool valueUniforms) {
    ShaderProgram* program = newShaderProgram();
    addAttribute(*program, "Position", 3);
    addSampler(*program, &grass, "Texture1");
    if (samplers == 2) {
        addSampler(*program, &grass, "Texture2");
    }
    if (valueUniforms) {
        addNormalMatrix(*program);
        addBlend(*program);
    }
    return program;
}

ShaderProgram* const phongTables = tables(1, true);
ShaderProgram* const terrainTables = tables(2, true);
ShaderProgram* const skyTables = tables(1, false);

const Slot& slotAt(const ObjectList& slots, int index) {
    ListNode* node = slots.head;
    for (int i = 0; i < index; ++i) {
        node = node->next;
    }
    return *static_cast<const Slot*>(node->payload);
}

class RenderObjects : public RenderListTest {
protected:
    void SetUp() override {
        RenderListTest::SetUp();
        useMaterial(phongTables);
    }
    RenderObject* withSlots(ShaderProgram* shader) {
        RenderObject* object = createRenderObject(&someMesh, camera);
        object->shader = shader;
        makeTextureSlots(*object);
        makeNormalMatrixSlots(*object);
        makeBlendSlots(*object);
        return object;
    }
    // Where the object's model-view matrix takes a model-space point.
    void expectEyePoint(const RenderObject& object, Vec3 p, Vec3 expected) {
        const float* m = object.modelView.m;
        EXPECT_NEAR(m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], expected.x, 1e-4f);
        EXPECT_NEAR(m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13], expected.y, 1e-4f);
        EXPECT_NEAR(m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14], expected.z, 1e-4f);
    }
};

} // namespace

TEST_F(RenderObjects, NewObjectsStartAtRestWithTheDefaultMaterialAtTheTailOfTheirList) {
    RenderObject* first = createRenderObject(&someMesh, camera);
    RenderObject* second = createRenderObject(&someMesh, camera);
    RenderObject* wet = createWaterObject(&someMesh, camera);
    EXPECT_EQ(scene.head->payload, first);
    EXPECT_EQ(second->listNode, scene.tail);
    EXPECT_EQ(water.head->payload, wet);
    EXPECT_EQ(second->mesh, &someMesh);
    EXPECT_EQ(second->shader, phongTables);
    EXPECT_EQ(second->scale.y, 1.0f);
    EXPECT_EQ(second->visible, 1);
    EXPECT_EQ(second->textureSlots.head, nullptr);
    EXPECT_EQ(second->modelView.m[15], 1.0f);

    testing::internal::CaptureStdout();
    EXPECT_EQ(createWaterObject(nullptr, camera), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "error: mesh is NULL!\n");
    EXPECT_EQ(water.tail->payload, wet);
}

TEST_F(RenderObjects, SlotsFollowTheProgramsInputsStartingUnsetWithTheDefaultTextures) {
    RenderObject* phong = withSlots(phongTables);
    EXPECT_EQ(slotAt(phong->textureSlots, 0).value, 7u);
    EXPECT_EQ(slotAt(phong->textureSlots, 0).set, 0);
    EXPECT_EQ(slotAt(phong->normalSlots, 0).set, 0);
    EXPECT_EQ(slotAt(phong->blendSlots, 0).set, 0);
    EXPECT_EQ(phong->blendSlots.head, phong->blendSlots.tail);

    RenderObject* sky = withSlots(skyTables);
    EXPECT_EQ(sky->textureSlots.head, sky->textureSlots.tail);
    EXPECT_EQ(sky->normalSlots.head, nullptr);
    EXPECT_EQ(sky->blendSlots.head, nullptr);
    EXPECT_EQ(withSlots(nullptr)->textureSlots.head, nullptr);
}

TEST_F(RenderObjects, SettersChangeOnlyTheSlotsOfInputsWithThatName) {
    const float blend = 0.6f;
    RenderObject* terrain = withSlots(terrainTables);
    setTexture(*terrain, "Texture3", &rock);
    setTexture(*terrain, "Texture2", &rock);
    EXPECT_EQ(slotAt(terrain->textureSlots, 0).set, 0);
    EXPECT_EQ(slotAt(terrain->textureSlots, 1).value, 9u);
    EXPECT_EQ(slotAt(terrain->textureSlots, 1).set, 1);
    setNormalMatrix(*terrain, &identityMat4);
    setBlend(*terrain, &blend);
    EXPECT_EQ(slotAt(terrain->normalSlots, 0).value, reinterpret_cast<uintptr_t>(&identityMat4));
    EXPECT_EQ(slotAt(terrain->blendSlots, 0).value, reinterpret_cast<uintptr_t>(&blend));
    EXPECT_EQ(slotAt(terrain->blendSlots, 0).set, 1);

    RenderObject* sky = withSlots(skyTables); // a sky box has neither normal matrix nor blend
    setNormalMatrix(*sky, &identityMat4);
    setBlend(*sky, &blend);
    EXPECT_EQ(sky->normalSlots.head, nullptr);
    EXPECT_EQ(sky->blendSlots.head, nullptr);
}

TEST_F(RenderObjects, ModelViewBringsWhatTheCameraFacesToMinusZ) {
    RenderObject* object = createRenderObject(&someMesh, camera);
    camera.yaw = 0.0f; // looking along +x
    object->position = {10.0f, 0.0f, 0.0f};
    buildModelView(*object, camera);
    expectEyePoint(*object, {0, 0, 0}, {0.0f, 0.0f, -10.0f});

    camera.yaw = 90.0f; // along +z
    object->position = {0.0f, 0.0f, 10.0f};
    buildModelView(*object, camera);
    expectEyePoint(*object, {0, 0, 0}, {0.0f, 0.0f, -10.0f});

    camera.yaw = 0.0f;
    camera.position = {5.0f, 0.0f, 0.0f};
    object->position = {15.0f, 2.0f, 0.0f};
    buildModelView(*object, camera);
    expectEyePoint(*object, {0, 0, 0}, {0.0f, 2.0f, -10.0f});

    camera.position = {0.0f, 0.0f, 0.0f};
    camera.pitch = 90.0f; // straight down
    object->position = {0.0f, -10.0f, 0.0f};
    buildModelView(*object, camera);
    expectEyePoint(*object, {0, 0, 0}, {0.0f, 0.0f, -10.0f});
}

TEST_F(RenderObjects, ModelViewScalesThenTurnsAboutXThenZThenY) {
    RenderObject* object = createRenderObject(&someMesh, camera); // camera yaw -90: eye = world
    object->scale = {2.0f, 1.0f, 1.0f};
    object->rotation = {0.0f, 90.0f, 0.0f};
    buildModelView(*object, camera);
    expectEyePoint(*object, {1, 0, 0}, {0.0f, 0.0f, -2.0f}); // stretched along world z

    // z: x turns it to -y, then z turns -y to +x; the other order would give -y.
    object->scale = {1.0f, 1.0f, 3.0f};
    object->rotation = {90.0f, 0.0f, 90.0f};
    object->position = {0.0f, 0.0f, -4.0f};
    buildModelView(*object, camera);
    expectEyePoint(*object, {0, 0, 1}, {3.0f, 0.0f, -4.0f});
}
