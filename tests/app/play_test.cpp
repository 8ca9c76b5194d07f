// Scripted play sessions of the real engine: walking, swimming, flying, throwing, freezing,
// turning the block and the console reports, observed frame by frame.
#include "app/kernel.h"
#include "app/player_control.h"
#include "core/object_list.h"
#include "game/fall.h"
#include "physics/height_grid.h"
#include "physics/physics_world.h"
#include "platform/keys.h"
#include "render/camera.h"
#include "render/render_object.h"
#include "tests/app/engine_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const int sceneObjects = 13; // everything the valley is built with, before any rock

class PlaySession : public ScriptedEngineRun {
protected:
    void atFrame(int frame, std::function<void()> check) { scriptFrame(script, frame).onPresent = check; }
    Camera& camera() { return *kernel.camera; }
    float groundUnderCamera() {
        return groundHeightAt(camera().position.x, camera().position.y, camera().position.z);
    }
    RenderObject* block5() {
        ListNode* node = camera().sceneList->head;
        for (int i = 0; i < 6; ++i) {
            node = node->next;
        }
        return static_cast<RenderObject*>(node->payload);
    }
};

} // namespace

TEST_F(PlaySession, TheWalkerSettlesAtStandingHeightAfterTheStart) {
    float standing = 0;
    float ground = 0;
    atFrame(120, [&] {
        // The frame is drawn after the camera's own move; before it the player stood.
        standing = camera().position.y - camera().velocity.y;
        ground = groundUnderCamera();
    });
    ASSERT_EQ(run(), 0);
    EXPECT_NEAR(standing, ground + standingHeight, 0.01f);
    EXPECT_FALSE(player.flyMode);
}

TEST_F(PlaySession, WalkingIntoTheLakeTurnsIntoSwimming) {
    holdKey(script, 'W', 1, 900);
    bool swam = false;
    float lowestAboveBed = 1e9f;
    for (int frame = 1; frame <= 900; ++frame) {
        atFrame(frame, [&] {
            if (camera().position.y <= waterLine) {
                swam = true;
                lowestAboveBed = std::min(lowestAboveBed, camera().position.y - groundUnderCamera());
            }
        });
    }
    ASSERT_EQ(run(), 0);
    EXPECT_TRUE(swam);
    EXPECT_GT(lowestAboveBed, 0.0f); // floating, never below the lake bed
}

TEST_F(PlaySession, QTakesOffAndTheFlyerHoldsHisHeight) {
    holdKey(script, 'Q', 80, 80);
    float atTakeOff = 0;
    float later = 0;
    atFrame(82, [&] { atTakeOff = camera().position.y; });
    atFrame(140, [&] { later = camera().position.y; });
    ASSERT_EQ(run(), 0);
    EXPECT_TRUE(player.flyMode);
    EXPECT_NEAR(later, atTakeOff, 1e-3f);
}

TEST_F(PlaySession, TwoHundredFiftyRocksComeBackToTwoHundredLiveOnes) {
    holdButton(script, mouseButtonLeft, 10, 259);
    int mostInScene = 0;
    for (int frame = 10; frame <= 1000; ++frame) {
        atFrame(frame, [&] { mostInScene = std::max(mostInScene, countNodes(camera().sceneList->head)); });
    }
    ASSERT_EQ(run(), 0);
    EXPECT_EQ(mostInScene, sceneObjects + 250);
    EXPECT_EQ(liveRockCount, crowdLimit);
    EXPECT_EQ(countNodes(camera().sceneList->head), sceneObjects + crowdLimit); // the others are gone
    EXPECT_EQ(countNodes(kernel.bodyList->head), crowdLimit);
    EXPECT_EQ(countNodes(kernel.physicsWorld->spheres.head), crowdLimit);
}

TEST_F(PlaySession, HoldingFKeepsEveryRockStill) {
    holdButton(script, mouseButtonLeft, 10, 20);
    holdKey(script, 'F', 30, 60);
    std::vector<Vec3> before;
    std::vector<Vec3> after;
    auto rockPositions = [&](std::vector<Vec3>& positions) {
        for (ListNode* node = camera().sceneList->head; node != nullptr; node = node->next) {
            RenderObject* object = static_cast<RenderObject*>(node->payload);
            if (object->logic != nullptr) {
                positions.push_back(object->position);
            }
        }
    };
    atFrame(31, [&] { rockPositions(before); });
    atFrame(60, [&] { rockPositions(after); });
    ASSERT_EQ(run(), 0);
    ASSERT_EQ(before.size(), 11u);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].x, before[i].x);
        EXPECT_EQ(after[i].y, before[i].y);
        EXPECT_EQ(after[i].z, before[i].z);
    }
}

TEST_F(PlaySession, BlockKeysTurnBlockFiveAndItsColliderFollows) {
    holdKey(script, 'I', 5, 14);
    float turned = 0;
    BoxCollider* collider = nullptr;
    atFrame(20, [&] {
        turned = block5()->rotation.z;
        ListNode* node = kernel.physicsWorld->boxes.tail;
        collider = static_cast<BoxCollider*>(node->payload);
    });
    ASSERT_EQ(run(), 0);
    EXPECT_NEAR(turned, 12.0f, 1e-4f);
    ASSERT_NE(collider, nullptr);
    EXPECT_EQ(collider->rotation.z, block5()->rotation.z);
    EXPECT_NEAR(block5()->rotation.y - collider->rotation.y, 0.3f, 1e-4f); // one frame behind
}

TEST_F(PlaySession, ConsoleReportsTheTerrainHeightAndTheFrustumCheck) {
    holdKey(script, 'H', 100, 100);
    holdButton(script, mouseButtonRight, 101, 101);
    atFrame(102, [&] { camera().yaw = 45.0f; }); // turn towards block 1
    holdButton(script, mouseButtonRight, 103, 103);
    testing::internal::CaptureStdout();
    int status = run();
    std::string output = testing::internal::GetCapturedStdout();
    ASSERT_EQ(status, 0);
    EXPECT_NE(output.find("Terrain Height is: "), std::string::npos) << output;
    size_t outOfView = output.find("Frustum check returned: 0\n");
    size_t inView = output.find("Frustum check returned: 1\n");
    EXPECT_NE(outOfView, std::string::npos) << output;
    EXPECT_NE(inView, std::string::npos) << output;
    EXPECT_LT(outOfView, inView);
}
