#include "app/state_hash.h"

#include "app/scene.h"
#include "assets/mesh_data.h"
#include "core/fnv_hash.h"
#include "render/camera.h"
#include "render/object_logic.h"
#include "render/render_object.h"

#include <gtest/gtest.h>

#include <functional>

using namespace valley;

namespace {

// A kind of object whose whole state is one number.
struct Counter : ObjectLogic {
    void setUp(const Tick&) override {}
    void update(const Tick&) override {}
    uint32_t hashState(uint32_t hash) const override { return fnvAdd(hash, &count, sizeof count); }
    int32_t count = 0;
};

// A camera drawing a scene list of two plain objects and two with a behaviour, and a block.
class StateHash : public ::testing::Test {
protected:
    void SetUp() override {
        initCamera(camera);
        camera.sceneList = &sceneList;
        camera.waterList = &waterList;
        sceneList.camera = &camera;
        for (Counter*& counter : counters) {
            createRenderObject(&mesh, camera);
            RenderObject* object = createRenderObject(&mesh, camera);
            counter = new Counter;
            object->logic = counter;
            counter->owner = object;
        }
        scene.selectedBlock = createRenderObject(&mesh, camera);
    }
    void TearDown() override {
        while (sceneList.head != nullptr) {
            destroyRenderObject(static_cast<RenderObject*>(sceneList.head->payload), sceneList);
        }
    }
    uint32_t hash() const { return sessionStateHash(camera, scene); }

    Camera camera = {};
    RenderList sceneList = {};
    RenderList waterList = {};
    Mesh mesh = {};
    Counter* counters[2] = {};
    SceneHandles scene = {};
};

} // namespace

// Whatever a replay could end differently in changes the hash: the view, the state of every
// kind of object with a behaviour, the selected block. Plain objects do not count.
TEST_F(StateHash, ChangesWithTheViewEveryBehavioursStateAndTheBlockOnly) {
    struct Case {
        const char* what;
        std::function<void()> change;
        bool counts;
    };
    const Case cases[] = {
        {"camera position", [this] { camera.position.x += 1.0f; }, true},
        {"camera yaw", [this] { camera.yaw += 1.0f; }, true},
        {"first behaviour", [this] { counters[0]->count += 1; }, true},
        {"second behaviour", [this] { counters[1]->count += 1; }, true},
        {"block rotation", [this] { scene.selectedBlock->rotation.y += 1.0f; }, true},
        {"plain object", [this] { static_cast<RenderObject*>(sceneList.head->payload)->position.x += 1.0f; },
         false},
        {"camera velocity", [this] { camera.velocity.x += 1.0f; }, false},
    };
    for (const Case& c : cases) {
        const uint32_t before = hash();
        c.change();
        EXPECT_EQ(hash() != before, c.counts) << c.what;
    }
}

// The behaviours are hashed in list order, after the view and before the block.
TEST_F(StateHash, AddsTheBehavioursInListOrder) {
    counters[0]->count = 1;
    counters[1]->count = 2;
    const uint32_t ordered = hash();
    counters[0]->count = 2;
    counters[1]->count = 1;
    EXPECT_NE(hash(), ordered);

    uint32_t expected = fnvAddVec3(fnvStart, camera.position);
    const float angles[3] = {camera.roll, camera.yaw, camera.pitch};
    expected = fnvAdd(expected, angles, sizeof angles);
    expected = counters[1]->hashState(counters[0]->hashState(expected));
    expected = fnvAddVec3(fnvAddVec3(expected, scene.selectedBlock->position), scene.selectedBlock->rotation);
    EXPECT_EQ(hash(), expected);
}
