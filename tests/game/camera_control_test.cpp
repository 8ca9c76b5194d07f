#include "game/camera_control.h"

#include "platform/input_script.h"
#include "platform/keys.h"
#include "platform/window.h"
#include "render/camera.h"

#include <gtest/gtest.h>

using namespace valley;

namespace {

// The camera driven by a scripted timeline: one poll and one updateCamera per tick, as the frame
// loop does.
class ScriptedCamera : public ::testing::Test {
protected:
    void SetUp() override { initCamera(camera); }
    void TearDown() override { platformUseScript(nullptr); }

    void start() {
        platformUseScript(&script);
        input = platformPoll(); // start-up remembers where the mouse is
    }
    void runFrames(int count) {
        for (int i = 0; i < count; ++i) {
            const InputState last = input;
            input = platformPoll();
            updateCamera(camera, look, input, last);
            platformEndTick();
        }
    }

    Camera camera;
    LookSmoothing look = {0, 0}; // at rest, as a run starts
    InputState input = {};
    InputScript script;
};

} // namespace

TEST_F(ScriptedCamera, StartsWithItsDefaults) {
    EXPECT_EQ(camera.fieldOfView, 60.0f);
    EXPECT_EQ(camera.mode, 2);
    EXPECT_EQ(camera.moveSpeed, 8.0f);
    EXPECT_EQ(camera.damping, 0.87f);
    EXPECT_EQ(camera.position.x, 0.0f);
    EXPECT_EQ(camera.yaw, 0.0f);
}

TEST_F(ScriptedCamera, MouseAtRestDoesNotTurnTheFirstFrame) {
    moveMouse(script, 1, 900, 500);
    scriptFrame(script, 3);
    start();
    runFrames(3);
    EXPECT_EQ(camera.yaw, 0.0f);
    EXPECT_EQ(camera.pitch, 0.0f);
}

TEST_F(ScriptedCamera, SmoothedTurnDecaysByPointSixThreeAfterTheMouseStops) {
    moveMouse(script, 2, 650, 370);
    scriptFrame(script, 5);
    start();
    runFrames(2);
    EXPECT_FLOAT_EQ(camera.yaw, 3.0f);   // 0.3 x 10
    EXPECT_FLOAT_EQ(camera.pitch, 3.0f); // moving down looks down
    runFrames(1);
    EXPECT_FLOAT_EQ(look.x, 3.0f * 0.63f);
    EXPECT_FLOAT_EQ(camera.yaw, 3.0f + 1.89f);
    runFrames(1);
    EXPECT_NEAR(look.x, 3.0f * 0.63f * 0.63f, 1e-6);
}

TEST_F(ScriptedCamera, EveryEdgeRecentresTheMouseAndRepeatsThePreviousTurn) {
    const int edges[4][2] = {{0, 300}, {1279, 300}, {700, 0}, {700, 720}};
    for (const auto& edge : edges) {
        SetUp();
        script = InputScript{};
        moveMouse(script, 2, 650, 360);
        moveMouse(script, 3, edge[0], edge[1]);
        scriptFrame(script, 4);
        start();
        runFrames(2);
        float turn = look.x;
        float yaw = camera.yaw;
        runFrames(1);
        EXPECT_EQ(input.mouseX, 640) << edge[0] << ", " << edge[1];
        EXPECT_EQ(input.mouseY, 360);
        EXPECT_EQ(look.x, turn);
        EXPECT_FLOAT_EQ(camera.yaw, yaw + turn);
    }
}

TEST_F(ScriptedCamera, PitchStaysWithinItsLimitsHoweverFarTheMouseMoves) {
    // Down to 700, then onto the bottom edge, which re-centres and keeps turning: always down.
    for (int frame = 2; frame <= 40; ++frame) {
        moveMouse(script, frame, 640, frame % 2 == 0 ? 700 : 720);
    }
    start();
    runFrames(40);
    EXPECT_EQ(camera.pitch, 89.9f);
    script = InputScript{};
    for (int frame = 1; frame <= 80; ++frame) {
        moveMouse(script, frame, 640, frame % 2 == 0 ? 20 : 0);
    }
    platformUseScript(&script);
    runFrames(80);
    EXPECT_EQ(camera.pitch, -89.9f);
}

TEST_F(ScriptedCamera, HoldingWAcceleratesAlongTheViewAndShiftBoostsIt) {
    holdKey(script, 'W', 1, 1);
    start();
    runFrames(1);
    EXPECT_NEAR(camera.velocity.x, 1.1136f, 1e-6); // 8 x 0.02 x 8 x 0.87
    EXPECT_FLOAT_EQ(camera.position.x, camera.velocity.x);
    EXPECT_EQ(camera.velocity.z, 0.0f);

    SetUp();
    script = InputScript{};
    holdKey(script, 'W', 1, 1);
    holdKey(script, keyLeftShift, 1, 1);
    start();
    runFrames(1);
    EXPECT_NEAR(camera.velocity.x, 4.5f * 1.1136f, 1e-5);
}

TEST_F(ScriptedCamera, OppositeKeysCancelAndDMovesTowardsPlusZ) {
    holdKey(script, 'W', 1, 1);
    holdKey(script, 'S', 1, 1);
    holdKey(script, 'D', 1, 1);
    start();
    runFrames(1);
    EXPECT_EQ(camera.velocity.x, 0.0f);
    EXPECT_NEAR(camera.velocity.z, 1.1136f, 1e-6);
}

TEST_F(ScriptedCamera, LookingDownForwardMovementGoesDown) {
    camera.pitch = 90.0f; // clamped to 89.9 in the first frame
    holdKey(script, 'W', 1, 1);
    start();
    runFrames(1);
    EXPECT_LT(camera.velocity.y, -1.1f);
    EXPECT_NEAR(camera.velocity.x, 0.0f, 0.01f);
}

TEST_F(ScriptedCamera, ModeZeroLeavesTheCameraWhereItIs) {
    camera.mode = 0;
    holdKey(script, 'W', 1, 2);
    moveMouse(script, 2, 900, 100);
    start();
    runFrames(2);
    EXPECT_EQ(camera.position.x, 0.0f);
    EXPECT_EQ(camera.yaw, 0.0f);
    EXPECT_EQ(look.x, 0.0f);
}
