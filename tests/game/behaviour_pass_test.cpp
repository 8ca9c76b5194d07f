#include "game/behaviour_pass.h"

#include "assets/resource_cache.h"
#include "core/random.h"
#include "game/tick.h"
#include "physics/physics_world.h"
#include "render/object_logic.h"
#include "tests/render/render_fixture.h"

#include <gtest/gtest.h>

#include <vector>

using namespace valley;

namespace {

// Notes its number and the tick at every update, and the owner and tick it was set up with;
// optionally destroys its own object there. Freed, it says so.
struct Recorder : ObjectLogic {
    Recorder(std::vector<int>& log, int number, bool destroysItself, bool* destroyed = nullptr)
        : log(log), number(number), destroysItself(destroysItself), destroyed(destroyed) {}
    ~Recorder() override {
        if (destroyed != nullptr) {
            *destroyed = true;
        }
    }
    void setUp(const Tick& tick) override {
        ownerAtSetUp = owner;
        setUpWith = &tick;
    }
    void update(const Tick& tick) override {
        log.push_back(number);
        updatedWith = &tick;
        if (destroysItself) {
            destroyRenderObject(owner, tick.sceneList); // frees this behaviour too
        }
    }
    uint32_t hashState(uint32_t hash) const override { return hash + static_cast<uint32_t>(number); }
    std::vector<int>& log;
    int number;
    bool destroysItself;
    bool* destroyed;
    RenderObject* ownerAtSetUp = nullptr;
    const Tick* setUpWith = nullptr;
    const Tick* updatedWith = nullptr;
};

class BehaviourPass : public DrawTest {
protected:
    RenderObject* addRecorded(Vec3 position, int number, bool destroysItself) {
        RenderObject* object = addQuad(materials().skyBox, position, solidTexture(255, 0, 0));
        object->logic = new Recorder(log, number, destroysItself);
        object->logic->owner = object;
        return object;
    }

    std::vector<int> log;
    InputState input = {};
    PhysicsWorld world = {};
    ObjectList bodies = {};
    ResourceCache resources = {};
    int32_t liveRocks = 0;
    RandomGenerator random = {};
    const Tick tick = {input, input,  world,   bodies,    resources, scene,
                       water, camera, nullptr, liveRocks, random,    0.0f};
};

} // namespace

TEST_F(BehaviourPass, RunsEveryBehaviourSceneThenWaterInListOrderAndDestroyedObjectsAreNotDrawn) {
    addRecorded({-8, 0, -10}, 0, false);
    addRecorded({-3, 0, -10}, 1, true);
    addRecorded({3, 0, -10}, 2, false)->visible = 0;
    addRecorded({0, 0, 10}, 3, false); // behind the camera: out of view, updated all the same
    addRecorded({0, 4, -10}, 4, true); // the tail
    RenderObject* waterPlane = createWaterObject(&quad(), camera);
    waterPlane->logic = new Recorder(log, 5, false);
    waterPlane->logic->owner = waterPlane;

    updateAllBehaviours(tick);
    EXPECT_EQ(log, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    drawRenderList(scene);
    const Pixel clear = {0, 0, 0, 0};
    EXPECT_EQ(pixelAt({-8, 0, -10}).red, 255);
    for (Vec3 gone : {Vec3{-3, 0, -10}, Vec3{3, 0, -10}, Vec3{0, 4, -10}}) {
        const Pixel pixel = pixelAt(gone);
        EXPECT_EQ(pixel.red, clear.red);
        EXPECT_EQ(pixel.alpha, clear.alpha);
    }

    updateAllBehaviours(tick);
    EXPECT_EQ(log, (std::vector<int>{0, 1, 2, 3, 4, 5, 0, 2, 3, 5}));
}

TEST_F(BehaviourPass, LogicObjectsAreSetUpWithTheTickTheyAreMadeInAndFreedWithTheirObject) {
    bool destroyed = false;
    Recorder* recorder = new Recorder(log, 7, false, &destroyed);
    RenderObject* object = createLogicObject(&quad(), camera, recorder, tick);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->logic, recorder);
    EXPECT_EQ(recorder->ownerAtSetUp, object);
    EXPECT_EQ(recorder->setUpWith, &tick);
    EXPECT_EQ(scene.tail->payload, object);
    updateAllBehaviours(tick);
    EXPECT_EQ(recorder->updatedWith, &tick);
    EXPECT_EQ(log, std::vector<int>{7});
    destroyRenderObject(object, scene);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(scene.head, nullptr);
}
