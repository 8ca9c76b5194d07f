#include "app/run.h"
#include "app/scene.h"
#include "app/startup.h"
#include "assets/mesh.h"
#include "assets/resource_cache.h"
#include "physics/height_grid.h"
#include "physics/physics_world.h"
#include "render/camera.h"
#include "render/render_object.h"
#include "render/shader_program.h"
#include "tests/support/gl_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace valley;

namespace {

template <typename Payload> std::vector<Payload*> payloadsOf(const ListNode* head) {
    std::vector<Payload*> payloads;
    for (; head != nullptr; head = head->next) {
        payloads.push_back(static_cast<Payload*>(head->payload));
    }
    return payloads;
}

Mat4 turned(float x, float y, float z) {
    Mat4 m;
    copyMat4(m, identityMat4);
    rotateMat4X(m, x);
    rotateMat4Z(m, z);
    rotateMat4Y(m, y);
    return m;
}

const Mat4* boundNormalMatrix(const RenderObject& object) {
    const Slot* slot = static_cast<const Slot*>(object.normalSlots.head->payload);
    return reinterpret_cast<const Mat4*>(slot->value);
}

void expectSameMatrix(const Mat4& actual, const Mat4& expected) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(actual.m[i], expected.m[i]) << "element " << i;
    }
}

// The valley built once from the generated data, into a fresh run object's containers, which
// are kept for good as the engine keeps them.
class SceneTest : public GlContextTest {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(ensureGlContext());
        run = new RunState{};
        createContainers(*run);
        ShaderProgram* phong = makePhongMaterial(*run->kernel.resources);
        run->kernel.camera->sceneList->material = phong;
        run->kernel.camera->waterList->material = phong;
        handles = buildScene(*run);
        scene = payloadsOf<RenderObject>(run->kernel.camera->sceneList->head);
        water = payloadsOf<RenderObject>(run->kernel.camera->waterList->head);
    }

    static Mesh* cached(const char* name) {
        return static_cast<Mesh*>(findResource(*run->kernel.resources, name));
    }

    static RunState* run;
    static SceneHandles handles;
    static std::vector<RenderObject*> scene;
    static std::vector<RenderObject*> water;
};

RunState* SceneTest::run = nullptr;
SceneHandles SceneTest::handles = {};
std::vector<RenderObject*> SceneTest::scene;
std::vector<RenderObject*> SceneTest::water;

} // namespace

TEST_F(SceneTest, SceneListHoldsEveryObjectInCreationOrder) {
    ASSERT_EQ(scene.size(), 13u);
    EXPECT_EQ(scene[0]->mesh, cached("Meshes/cliff.dae"));
    EXPECT_EQ(scene[1]->mesh, cached("Meshes/riverlake_terrain.dae"));
    for (int block = 2; block <= 6; ++block) {
        EXPECT_EQ(scene[block]->mesh, cached("Meshes/cube5.dae"));
    }
    Mesh* plateMesh = scene[7]->mesh;
    EXPECT_NE(plateMesh, cached("Meshes/cube5.dae")); // the plates' own copy
    for (int plate = 7; plate <= 11; ++plate) {
        EXPECT_EQ(scene[plate]->mesh, plateMesh);
    }
    EXPECT_EQ(scene[12]->mesh, cached("Meshes/skyCube.dae"));
    EXPECT_EQ(scene[12]->scale.x, 1000000.0f);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(run->kernel.frustumPlates[i], scene[7 + i]);
    }
}

TEST_F(SceneTest, WaterListHoldsTheUpperAndTheTurnedLowerPlane) {
    ASSERT_EQ(water.size(), 2u);
    EXPECT_EQ(water[0]->position.y, -25.0f);
    EXPECT_EQ(water[1]->position.y, -25.0f);
    EXPECT_EQ(water[0]->rotation.x, 0.0f);
    EXPECT_EQ(water[1]->rotation.x, 180.0f);
    expectSameMatrix(*boundNormalMatrix(*water[0]), identityMat4);
    expectSameMatrix(*boundNormalMatrix(*water[1]), turned(180, 0, 0));
    EXPECT_NEAR(boundNormalMatrix(*water[1])->m[5], -1.0f, 1e-6);
    EXPECT_NEAR(boundNormalMatrix(*water[1])->m[10], -1.0f, 1e-6);
}

TEST_F(SceneTest, BlocksAreCollidersInOrderWithTheirNormalMatrices) {
    std::vector<BoxCollider*> boxes = payloadsOf<BoxCollider>(run->kernel.physicsWorld->boxes.head);
    ASSERT_EQ(boxes.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(boxes[i]->position.x, scene[2 + i]->position.x);
        EXPECT_EQ(boxes[i]->position.z, scene[2 + i]->position.z);
        EXPECT_EQ(boxes[i]->rotation.y, scene[2 + i]->rotation.y);
    }
    EXPECT_EQ(boxes[0]->halfExtent.z, 200.0f);
    EXPECT_EQ(boxes[0]->rotation.x, 78.0f);
    expectSameMatrix(*boundNormalMatrix(*scene[2]), turned(78, 95, 24));
    expectSameMatrix(*boundNormalMatrix(*scene[6]), identityMat4);
    EXPECT_EQ(handles.frustumTarget, scene[2]);
    EXPECT_EQ(handles.selectedBlock, scene[6]);
    EXPECT_EQ(handles.selectedCollider, boxes[4]);
    EXPECT_EQ(handles.selectedNormalMatrix, boundNormalMatrix(*scene[6]));
    EXPECT_EQ(handles.rockMesh, cached("Meshes/sphere9.dae"));
}

TEST_F(SceneTest, GroundGridsAreTheCliffsThenTheTerrains) {
    std::vector<HeightGrid*> grids = payloadsOf<HeightGrid>(run->kernel.physicsWorld->heightGrids.head);
    ASSERT_EQ(grids.size(), 2u);
    for (int i = 0; i < 2; ++i) { // placed and sized as their objects
        EXPECT_EQ(grids[i]->position.z, scene[i]->position.z);
        EXPECT_EQ(grids[i]->scale.x, scene[i]->scale.x);
        EXPECT_EQ(grids[i]->extent.z, scene[i]->mesh->extent.z);
    }
    EXPECT_EQ(grids[1]->side, 129);
}

TEST_F(SceneTest, TheCacheRecordsEachFileOnceInOrderOfFirstRequest) {
    // The default material's texture first: the materials take it from the cache too.
    const std::vector<std::string> expected = {
        "Textures/grass3.dds",   "Textures/rhyolite.bmp",        "Meshes/cliff.dae",
        "Textures/grass1.dds",   "Meshes/riverlake_terrain.dae", "Meshes/water2.dae",
        "Textures/water1_f.bmp", "Meshes/sphere9.dae",           "Meshes/cube5.dae",
        "Meshes/skyCube.dae",    "Textures/skybox_texture.bmp"};
    std::vector<std::string> names;
    for (ResourceEntry* entry : payloadsOf<ResourceEntry>(run->kernel.resources->entries.head)) {
        names.push_back(entry->name);
    }
    EXPECT_EQ(names, expected);
}

TEST_F(SceneTest, TheCameraStartsAboveTheShoreLookingAlongPlusX) {
    const Camera& camera = *run->kernel.camera;
    EXPECT_EQ(camera.position.x, -190.0f);
    EXPECT_EQ(camera.position.y, 40.0f);
    EXPECT_EQ(camera.position.z, -195.0f);
    EXPECT_EQ(camera.yaw, 0.0f);
    EXPECT_EQ(camera.pitch, 0.0f);
    EXPECT_EQ(camera.roll, 0.0f);
}

TEST_F(SceneTest, TheGeneratedGroundFitsTheScene) {
    float start = groundHeightAt(*run->kernel.physicsWorld, -190, -195).height;
    EXPECT_GT(start, -20.0f);
    EXPECT_LT(start, 30.0f);
    float block5 = groundHeightAt(*run->kernel.physicsWorld, -60, -70).height; // spans 10 to 30
    EXPECT_GT(block5, -5.0f);
    EXPECT_LT(block5, 30.0f);
    float blocks1and4 = groundHeightAt(*run->kernel.physicsWorld, 180, 180).height;
    EXPECT_GT(blocks1and4, -15.0f);
    EXPECT_LT(blocks1and4, 25.0f);
    for (float z : {1000.0f, 1300.0f, 1600.0f, 1900.0f}) {
        float under = groundHeightAt(*run->kernel.physicsWorld, 120, z).height; // the long blocks 2 and 3
        EXPECT_GT(under, -10.0f) << z;
        EXPECT_LT(under, 70.0f) << z;
    }
}

TEST_F(SceneTest, TheLakeBedLiesWellBelowTheWaterAndTheCliffAboveTheValley) {
    const Mesh& terrain = *cached("Meshes/riverlake_terrain.dae");
    float lowest = 1e9f;
    float highest = -1e9f;
    for (int v = 0; v < terrain.vertexCount; ++v) {
        lowest = std::min(lowest, terrain.vertices[v * 8 + 1] * 40.0f);
        highest = std::max(highest, terrain.vertices[v * 8 + 1] * 40.0f);
    }
    EXPECT_LT(lowest, -40.0f);
    EXPECT_GT(highest, 150.0f);
    const Mesh& cliff = *cached("Meshes/cliff.dae");
    float cliffTop = -1e9f;
    for (int v = 0; v < cliff.vertexCount; ++v) {
        cliffTop = std::max(cliffTop, cliff.vertices[v * 8 + 1] * 5.0f);
    }
    EXPECT_GT(cliffTop, groundHeightAt(*run->kernel.physicsWorld, 0, 1990).height + 150.0f);
}
