#include "game/player_control.h"

#include "core/object_list.h"
#include "physics/physics_world.h"
#include "platform/keys.h"
#include "render/camera.h"
#include "render/render_object.h"
#include "tests/support/ground_patch.h"
#include "tests/support/play_records.h"

#include <gtest/gtest.h>

using namespace valley;

namespace {

// A fresh camera, an empty physics world and a selected block, as the frame loop has them
// after drawing; each test sets the input record by hand.
class PlayerControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        block.scale = {35, 10, 35};
        scene.selectedBlock = &block;
        scene.selectedCollider = &collider;
        scene.selectedNormalMatrix = &normalMatrix;
        scene.frustumTarget = &block;
    }
    InputState& input() { return records.input; }
    Camera& camera() { return records.camera; }
    void frame() {
        applyPlayerControl(player, records.camera, tickOf(records), scene, records.frustumPlates);
    }

    PlayRecords& records = freshPlayRecords();
    PlayerState& player = records.player;
    RenderObject block = {};
    BoxCollider collider = {};
    Mat4 normalMatrix = {};
    SceneHandles scene = {};
};

} // namespace

TEST_F(PlayerControlTest, HoldingQSwitchesToFlyingOnceAndStopsTheFall) {
    camera().velocity.y = -2.0f;
    setKey(input(), 'Q', true);
    frame();
    frame();
    frame();
    EXPECT_TRUE(player.flyMode);
    EXPECT_EQ(camera().velocity.y, 0.0f);
    EXPECT_EQ(camera().moveSpeed, 0.35f);
    EXPECT_EQ(camera().damping, 0.92f);

    setKey(input(), 'Q', false);
    frame();
    camera().position.y = 10.0f; // above standing height: only gravity acts
    camera().velocity.y = 1.5f;
    setKey(input(), 'Q', true);
    frame();
    EXPECT_FALSE(player.flyMode);
    EXPECT_FLOAT_EQ(camera().velocity.y, 1.5f - 0.072f); // walking again: gravity, no reset
}

// Walking resumed from flying: an eye below the ground is stood on it at rest; an eye above it,
// in the air or in the lake, is left to the walking and swimming rules.
TEST_F(PlayerControlTest, LandingFromFlightBelowTheGroundStandsThePlayerOnIt) {
    struct Case {
        float ground;
        float eye;
        float rising;
        float eyeAfter;
        float risingAfter;
    };
    const Case cases[] = {
        {0.0f, -300.0f, 0.0f, 6.0f, -0.072f},     // under the hills: stood up, then gravity as on land
        {-40.0f, -300.0f, 2.0f, -34.0f, -0.003f}, // under the lake bed: on the bed, then slow sinking
        {-40.0f, -30.0f, 0.0f, -30.0f, -0.003f},  // in deep water: swimming as before
        {0.0f, 3.0f, 1.0f, 3.0f, 0.928f},         // just above the ground, rising: not caught
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("ground " + std::to_string(c.ground) + ", eye " + std::to_string(c.eye));
        GroundPatch ground(c.ground, {0, 1, 0});
        records.world.heightGrids = ObjectList{};
        ground.addToWorld(records.world);
        player = PlayerState{};
        player.flyMode = true;
        camera().position.y = c.eye;
        camera().velocity.y = c.rising;
        setKey(input(), 'Q', true);
        frame();
        setKey(input(), 'Q', false);
        EXPECT_FALSE(player.flyMode);
        EXPECT_FLOAT_EQ(camera().position.y, c.eyeAfter);
        EXPECT_FLOAT_EQ(camera().velocity.y, c.risingAfter);
    }
}

TEST_F(PlayerControlTest, AFallingWalkerLandsAtStandingHeightAndGravityActsAtOnce) {
    camera().position.y = 2.0f;
    camera().velocity.y = -0.5f;
    frame();
    EXPECT_EQ(camera().position.y, 6.0f);
    EXPECT_FLOAT_EQ(camera().velocity.y, -0.572f);
    EXPECT_EQ(camera().damping, 0.95f);
    EXPECT_EQ(camera().moveSpeed, 0.14f);
}

TEST_F(PlayerControlTest, JumpingFromFlatGround) {
    camera().position.y = 5.9f;
    setKey(input(), keySpace, true);
    frame();
    EXPECT_FLOAT_EQ(camera().velocity.y, 3.328f);
}

TEST_F(PlayerControlTest, AnUpwardMovingWalkerIsNotCaught) {
    camera().position.y = 3.0f;
    camera().velocity.y = 1.0f;
    frame();
    EXPECT_EQ(camera().position.y, 3.0f);
    EXPECT_FLOAT_EQ(camera().velocity.y, 0.928f);
}

TEST_F(PlayerControlTest, SteepGroundSlidesTheWalkerDownhill) {
    GroundPatch steep(0.0f, {0.8f, 0.6f, 0.0f});
    steep.addToWorld(records.world);
    frame();
    EXPECT_FLOAT_EQ(camera().velocity.x, 0.032f);
    camera().position.y = 5.0f; // below standing height again, as after the camera's own move
    frame();
    EXPECT_FLOAT_EQ(camera().velocity.x, 0.064f);
}

TEST_F(PlayerControlTest, ModerateSlopesHoldTheWalker) {
    GroundPatch slope(0.0f, {0.6f, 0.8f, 0.0f});
    slope.addToWorld(records.world);
    frame();
    EXPECT_EQ(camera().velocity.x, 0.0f);
}

TEST_F(PlayerControlTest, DeepWaterLetsTheSwimmerSinkSlowly) {
    GroundPatch lakeBed(-40.0f, {0, 1, 0});
    lakeBed.addToWorld(records.world);
    camera().position.y = -30.0f;
    frame();
    EXPECT_EQ(camera().position.y, -30.0f);
    EXPECT_FLOAT_EQ(camera().velocity.y, -0.003f);
    EXPECT_EQ(camera().damping, 0.95f);
}

TEST_F(PlayerControlTest, ShallowWaterPushesTheSwimmerUpAndSpaceSwimsUp) {
    GroundPatch shallows(-33.0f, {0, 1, 0});
    shallows.addToWorld(records.world);
    camera().position.y = -30.0f;
    frame();
    EXPECT_EQ(camera().position.y, -27.0f);
    EXPECT_FLOAT_EQ(camera().velocity.y, 1.497f);

    camera().position.y = -30.0f;
    setKey(input(), keySpace, true);
    frame();
    EXPECT_FLOAT_EQ(camera().velocity.y, 0.797f);
}

TEST_F(PlayerControlTest, HoldingZeroAndOneResetsTheAnglesAndKeepsLooking) {
    camera().yaw = 30;
    camera().pitch = -10;
    camera().roll = 5;
    setKey(input(), '0', true);
    frame();
    EXPECT_EQ(camera().mode, 0);
    setKey(input(), '1', true);
    frame();
    EXPECT_EQ(camera().mode, 2);
    EXPECT_EQ(camera().yaw, 0.0f);
    EXPECT_EQ(camera().pitch, 0.0f);
    EXPECT_EQ(camera().roll, 0.0f);
}

TEST_F(PlayerControlTest, TheSelectedBlockTurnsLiftsAndSpinsAndItsColliderLagsOneFrame) {
    setKey(input(), 'I', true);
    setKey(input(), 'J', true);
    setKey(input(), 'V', true);
    frame();
    EXPECT_FLOAT_EQ(block.rotation.z, 1.2f);
    EXPECT_FLOAT_EQ(block.rotation.x, 1.2f);
    EXPECT_FLOAT_EQ(block.rotation.y, 0.3f);
    EXPECT_EQ(block.position.y, 2.0f);
    EXPECT_EQ(collider.position.y, 0.0f); // copied before the lift
    EXPECT_EQ(collider.rotation.y, 0.0f); // and before the spin
    EXPECT_FLOAT_EQ(collider.rotation.z, 1.2f);

    Mat4 expected;
    copyMat4(expected, identityMat4);
    rotateMat4X(expected, 1.2f);
    rotateMat4Z(expected, 1.2f);
    rotateMat4Y(expected, 0.0f);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(normalMatrix.m[i], expected.m[i]);
    }

    input() = InputState{};
    setKey(input(), 'K', true);
    setKey(input(), 'I', true); // opposite keys cancel
    setKey(input(), 'B', true);
    frame();
    EXPECT_FLOAT_EQ(block.rotation.z, 1.2f);
    EXPECT_EQ(block.position.y, 0.0f);
    EXPECT_EQ(collider.position.y, 2.0f);
    EXPECT_FLOAT_EQ(collider.rotation.y, 0.3f);
}

TEST_F(PlayerControlTest, ReportsTheTerrainHeightWhileWalkingWithH) {
    GroundPatch ground(-12.5f, {0, 1, 0});
    ground.addToWorld(records.world);
    setKey(input(), 'H', true);
    testing::internal::CaptureStdout();
    frame();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Terrain Height is: -12.5\n");
    player.flyMode = true;
    testing::internal::CaptureStdout();
    frame();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}
