#include "game/behaviour_pass.h"

#include "render/object_logic.h"
#include "tests/render/render_fixture.h"

#include <gtest/gtest.h>

#include <vector>

using namespace valley;

namespace {

// Notes its number at every update; optionally destroys its own object there.
struct Recorder : ObjectLogic {
    Recorder(std::vector<int>& log, int number, RenderList* destroyFrom)
        : log(log), number(number), destroyFrom(destroyFrom) {}
    void setUp() override {}
    void update() override {
        log.push_back(number);
        if (destroyFrom != nullptr) {
            destroyRenderObject(owner, *destroyFrom); // frees this behaviour too
        }
    }
    std::vector<int>& log;
    int number;
    RenderList* destroyFrom;
};

class BehaviourPass : public DrawTest {
protected:
    RenderObject* addRecorded(Vec3 position, int number, bool destroysItself) {
        RenderObject* object = addQuad(materials().skyBox, position, solidTexture(255, 0, 0));
        object->logic = new Recorder(log, number, destroysItself ? &scene : nullptr);
        object->logic->owner = object;
        return object;
    }

    std::vector<int> log;
};

} // namespace

TEST_F(BehaviourPass, RunsEveryBehaviourSceneThenWaterInListOrderAndDestroyedObjectsAreNotDrawn) {
    addRecorded({-8, 0, -10}, 0, false);
    addRecorded({-3, 0, -10}, 1, true);
    addRecorded({3, 0, -10}, 2, false)->visible = 0;
    addRecorded({0, 0, 10}, 3, false); // behind the camera: out of view, updated all the same
    addRecorded({0, 4, -10}, 4, true); // the tail
    RenderObject* waterPlane = createWaterObject(&quad(), camera);
    waterPlane->logic = new Recorder(log, 5, nullptr);
    waterPlane->logic->owner = waterPlane;

    updateAllBehaviours(camera);
    EXPECT_EQ(log, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    drawRenderList(scene);
    const Pixel clear = {0, 0, 0, 0};
    EXPECT_EQ(pixelAt({-8, 0, -10}).red, 255);
    for (Vec3 gone : {Vec3{-3, 0, -10}, Vec3{3, 0, -10}, Vec3{0, 4, -10}}) {
        const Pixel pixel = pixelAt(gone);
        EXPECT_EQ(pixel.red, clear.red);
        EXPECT_EQ(pixel.alpha, clear.alpha);
    }

    updateAllBehaviours(camera);
    EXPECT_EQ(log, (std::vector<int>{0, 1, 2, 3, 4, 5, 0, 2, 3, 5}));
}
