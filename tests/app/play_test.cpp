// Scripted play sessions of the real engine: walking, swimming, flying, throwing, freezing,
// turning the block and the console reports, observed frame by frame; and a session run twice
// in one process.
#include "app/run.h"
#include "app/startup.h"
#include "app/state_hash.h"
#include "core/object_list.h"
#include "game/fall.h"
#include "game/player_control.h"
#include "physics/height_grid.h"
#include "physics/physics_world.h"
#include "platform/keys.h"
#include "render/camera.h"
#include "render/render_object.h"
#include "tests/app/engine_run.h"
#include "tests/support/rgb_image.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace valley;

namespace {

const int sceneObjects = 13; // everything the valley is built with, before any rock

class PlaySession : public ScriptedEngineRun {
protected:
    void atFrame(int frame, std::function<void()> check) { scriptFrame(script, frame).onPresent = check; }
    Camera& camera() { return *engine->kernel.camera; }
    float groundUnderCamera() {
        const Vec3& eye = camera().position;
        return groundHeightAt(*engine->kernel.physicsWorld, eye.x, eye.z).height;
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
    EXPECT_FALSE(engine->player.flyMode);
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
    EXPECT_TRUE(engine->player.flyMode);
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
    EXPECT_EQ(engine->kernel.liveRockCount, crowdLimit);
    EXPECT_EQ(countNodes(camera().sceneList->head), sceneObjects + crowdLimit); // the others are gone
    EXPECT_EQ(countNodes(engine->kernel.bodyList->head), crowdLimit);
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
        ListNode* node = engine->kernel.physicsWorld->boxes.tail;
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

namespace {

// What one seeded run of a session ends with.
struct RunEnd {
    int status = -1;
    uint32_t stateHash = 0;
    int frames = 0;
    int liveRocks = 0;
    bool flying = false;
};

std::string fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

// Every piece of program-wide state a run changes, changed: the view turned, the player flying,
// rocks thrown and tumbling, the block turned. A run after it in the same process must end as
// a run in a fresh process does (a child forked before any run): same state, same last frame.
TEST_F(PlaySession, ASecondRunInOneProcessEndsAsARunInAFreshProcess) {
    const int lastFrame = 160;
    holdKey(script, 'W', 20, 120);
    holdButton(script, mouseButtonLeft, 30, 60);
    holdKey(script, 'J', 40, 50);
    holdKey(script, 'Q', 90, 90);
    for (int frame = 100; frame <= lastFrame; frame += 6) {
        moveMouse(script, frame, 640 + (frame - 100) * 3, 360 - (frame - 100));
    }
    RunEnd end;
    RunSetup setup;
    setup.seeded = true;
    setup.seed = 20240613;
    setup.afterLoop = [&end](const RunState& ended) {
        end.stateHash = sessionStateHash(*ended.kernel.camera, ended.scene);
        end.frames = ended.kernel.frameCount;
        end.liveRocks = ended.kernel.liveRockCount;
        end.flying = ended.player.flyMode;
    };
    const std::string directory = std::filesystem::temp_directory_path() / "valley-repeat-run";
    std::filesystem::create_directories(directory);
    auto runTo = [&](const std::string& capture) {
        end = RunEnd{};
        scriptFrame(script, lastFrame).capturePath = directory + "/" + capture;
        end.status = run(setup);
        return end;
    };

    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        const RunEnd fresh = runTo("fresh.png");
        const bool written = write(pipeEnds[1], &fresh, sizeof fresh) == static_cast<ssize_t>(sizeof fresh);
        _exit(written ? 0 : 1);
    }
    close(pipeEnds[1]);
    RunEnd fresh;
    const bool read = ::read(pipeEnds[0], &fresh, sizeof fresh) == static_cast<ssize_t>(sizeof fresh);
    close(pipeEnds[0]);
    int childStatus = 0;
    waitpid(child, &childStatus, 0);
    ASSERT_TRUE(read && WIFEXITED(childStatus) && WEXITSTATUS(childStatus) == 0);

    const RunEnd first = runTo("first.png");
    const RunEnd second = runTo("second.png");
    ASSERT_EQ(fresh.status, 0);
    EXPECT_EQ(fresh.frames, lastFrame);
    EXPECT_GT(fresh.liveRocks, 0);
    EXPECT_TRUE(fresh.flying);
    for (const RunEnd& again : {first, second}) {
        EXPECT_EQ(again.status, 0);
        EXPECT_EQ(again.stateHash, fresh.stateHash);
        EXPECT_EQ(again.frames, fresh.frames);
        EXPECT_EQ(again.liveRocks, fresh.liveRocks);
        EXPECT_EQ(again.flying, fresh.flying);
    }
    const std::string freshFrame = fileBytes(directory + "/fresh.png");
    EXPECT_FALSE(freshFrame.empty());
    EXPECT_TRUE(fileBytes(directory + "/first.png") == freshFrame);
    EXPECT_TRUE(fileBytes(directory + "/second.png") == freshFrame);
    std::filesystem::remove_all(directory);
}

// The overlay only draws: shown and hidden again, it leaves the game and the OpenGL state as
// they were, and the picture after it is the picture of a run that never showed it.
TEST_F(PlaySession, TheOverlayShownAndHiddenLeavesThePictureAsItWas) {
    const std::string directory = std::filesystem::temp_directory_path() / "valley-overlay";
    std::filesystem::create_directories(directory);
    holdButton(script, mouseButtonLeft, 5, 15);
    const std::string plainShown = directory + "/plain20.png";
    const std::string plain = directory + "/plain40.png";
    scriptFrame(script, 20).capturePath = plainShown;
    scriptFrame(script, 40).capturePath = plain;
    RunSetup seeded;
    seeded.seeded = true;
    seeded.seed = 20240613;
    ASSERT_EQ(run(seeded), 0);
    holdKey(script, keyF1, 10, 10);
    holdKey(script, keyF1 + 2, 12, 12);
    holdKey(script, keyF1, 30, 30);
    holdKey(script, keyF1 + 2, 32, 32);
    const std::string shown = directory + "/shown.png";
    const std::string after = directory + "/after.png";
    scriptFrame(script, 20).capturePath = shown;
    scriptFrame(script, 40).capturePath = after;
    ASSERT_EQ(run(seeded), 0);
    EXPECT_GT(changedPixels(loadPng(plainShown), loadPng(shown)), 10000) << "the panels showed";
    EXPECT_TRUE(fileBytes(after) == fileBytes(plain)) << "the pictures differ after the overlay went";
    std::filesystem::remove_all(directory);
}
