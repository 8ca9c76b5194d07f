#include "game/player_control.h"

#include "platform/keys.h"
#include "render/camera.h"
#include "render/render_object.h"
#include "tests/support/rock_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace valley;

namespace {

// The player's throw into fresh records: a block to aim at, the four frustum plates and
// the rock mesh, the camera at the origin looking along +x.
class RockThrowTest : public RockTest {
protected:
    void SetUp() override {
        RockTest::SetUp();
        for (int i = 0; i < 4; ++i) {
            records->frustumPlates[i] = &plates[i];
        }
        blockMesh.extent = {1, 1, 1};
        block.mesh = &blockMesh;
        block.position = {10, 100, 0}; // straight ahead of the camera
        scene.rockMesh = &rockMesh;
        scene.frustumTarget = &block;
        scene.selectedBlock = &block;
        scene.selectedCollider = &collider;
        scene.selectedNormalMatrix = &normalMatrix;
        records->camera.position = {0, 100, 0}; // well above the flat ground at 0
        setButton(records->input, mouseButtonLeft, true);
    }

    // One frame of player control; returns the rock it threw.
    Fall* throwOnce() {
        control();
        RenderObject* rock = static_cast<RenderObject*>(records->sceneList.tail->payload);
        return dynamic_cast<Fall*>(rock->logic);
    }

    void control() {
        applyPlayerControl(records->player, records->camera, tick(), scene, records->frustumPlates);
    }

    RenderObject plates[4] = {};
    Mesh blockMesh = {};
    RenderObject block = {};
    BoxCollider collider = {};
    Mat4 normalMatrix = {};
    SceneHandles scene = {};
};

} // namespace

TEST_F(RockThrowTest, AThrowLeavesOneStepAheadAlongTheView) {
    Fall* rock = throwOnce();
    EXPECT_EQ(rock->velocity.x, 1.0f);
    EXPECT_EQ(rock->velocity.y, 0.0f);
    EXPECT_EQ(rock->velocity.z, 0.0f);
    EXPECT_EQ(rock->owner->position.x, 1.0f);
    EXPECT_EQ(rock->owner->position.y, 100.0f);
    EXPECT_FLOAT_EQ(rock->owner->scale.x, 1.35f);
    EXPECT_NE(rock->kind, rockKindSteered);
}

TEST_F(RockThrowTest, HoldingGThrowsSevenTimesFasterFromCloserIn) {
    hold('G');
    Fall* rock = throwOnce();
    EXPECT_EQ(rock->velocity.x, 7.0f);
    EXPECT_FLOAT_EQ(rock->owner->position.x, 1.05f);
}

// Thrown during the pause a rock waits where it is put: wholly past the near plane, so the eye
// lies outside it and sees it; its velocity is that of any throw.
TEST_F(RockThrowTest, ARockThrownDuringThePauseWaitsInSight) {
    hold('F');
    for (bool fast : {false, true}) {
        fast ? hold('G') : release('G');
        Fall* rock = throwOnce();
        const float radius = rockMesh.extent.x * rock->owner->scale.x;
        EXPECT_FLOAT_EQ(rock->owner->position.x - 1.0f, 2.0f * radius) << "fast " << fast;
        EXPECT_EQ(rock->owner->position.y, 100.0f);
        EXPECT_EQ(rock->velocity.x, fast ? 7.0f : 1.0f);
    }
}

TEST_F(RockThrowTest, LookingNearlyStraightDownThrowsDown) {
    records->camera.pitch = 89.9f;
    records->camera.yaw = 90.0f;
    Fall* rock = throwOnce();
    double p = 89.9 * 0.017453293005625408;
    EXPECT_NEAR(rock->velocity.y, -std::sin(p), 1e-6);
    EXPECT_NEAR(rock->velocity.z, std::cos(p), 1e-6);
    EXPECT_NEAR(rock->velocity.x, 0.0, 1e-6);
}

TEST_F(RockThrowTest, RocksInheritTheWalkersGroundMotionAndTheFlyersWholeMotion) {
    records->camera.velocity = {0.5f, -2.0f, 0.25f};
    Fall* walked = throwOnce();
    EXPECT_FLOAT_EQ(walked->velocity.x, 1.5f);
    EXPECT_EQ(walked->velocity.y, 0.0f);
    EXPECT_FLOAT_EQ(walked->velocity.z, 0.25f);

    records->player.flyMode = true;
    records->camera.velocity = {0.5f, -2.0f, 0.25f};
    Fall* flown = throwOnce();
    EXPECT_FLOAT_EQ(flown->velocity.y, -2.0f);
}

TEST_F(RockThrowTest, TheRightButtonReportsTheFrustumAndMakesASteeredRock) {
    setButton(records->input, mouseButtonRight, true);
    testing::internal::CaptureStdout();
    Fall* rock = throwOnce();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Frustum check returned: 1\n");
    EXPECT_EQ(rock->kind, rockKindSteered);

    block.position = {-10, 100, 0}; // behind the camera
    setButton(records->input, mouseButtonLeft, false);
    testing::internal::CaptureStdout();
    control();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Frustum check returned: 0\n");
}

TEST_F(RockThrowTest, EveryFrameWithTheButtonHeldThrowsAnotherRock) {
    for (int frame = 0; frame < 5; ++frame) {
        control();
    }
    EXPECT_EQ(countNodes(records->sceneList.head), 5);
    EXPECT_EQ(liveCount(), 5);
}
