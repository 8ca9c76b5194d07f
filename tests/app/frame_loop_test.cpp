#include "app/run.h"
#include "platform/keys.h"
#include "render/camera.h"
#include "tests/app/engine_run.h"

#include <stb/stb_image.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace valley;

TEST_F(ScriptedEngineRun, CountsTheFirstFrameAsOneAndEndsInTheFrameEscapeIsHeld) {
    int countInFirstFrame = -1;
    scriptFrame(script, 1).onPresent = [&] { countInFirstFrame = engine->kernel.frameCount; };
    holdKey(script, keyEscape, 3, 3);
    scriptFrame(script, 6);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(countInFirstFrame, 1);
    EXPECT_EQ(engine->kernel.frameCount, 3);
    EXPECT_TRUE(engine->kernel.stopRequested);
}

TEST_F(ScriptedEngineRun, TheFirstFramesDoNotTurnTheViewWhileTheMouseRests) {
    moveMouse(script, 1, 900, 500);
    float yawAfterTwoFrames = -1;
    float pitchAfterTwoFrames = -1;
    scriptFrame(script, 2).onPresent = [&] {
        yawAfterTwoFrames = engine->kernel.camera->yaw;
        pitchAfterTwoFrames = engine->kernel.camera->pitch;
    };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(yawAfterTwoFrames, 0.0f);
    EXPECT_EQ(pitchAfterTwoFrames, 0.0f);
}

TEST_F(ScriptedEngineRun, CapturesThePresentedFrameClearedToTheSkyColour) {
    std::string path = std::filesystem::temp_directory_path() / "valley-first-frame.png";
    std::filesystem::remove(path);
    scriptFrame(script, 1).capturePath = path;
    EXPECT_EQ(runWithoutData(), 0);

    int width = 0;
    int height = 0;
    int channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 720);
    for (int corner : {0, (719 * 1280 + 1279) * 3, (360 * 1280 + 640) * 3}) {
        EXPECT_EQ(pixels[corner], 173);
        EXPECT_EQ(pixels[corner + 1], 239);
        EXPECT_EQ(pixels[corner + 2], 255);
    }
    stbi_image_free(pixels);
    std::filesystem::remove(path);
}

// Without meshes the run goes on, each missing mesh named once, the blocks' cube that the
// frustum plates share included.
TEST_F(ScriptedEngineRun, WithoutDataEachMissingMeshIsReportedOnce) {
    scriptFrame(script, 2);
    testing::internal::CaptureStdout();
    EXPECT_EQ(runWithoutData(), 0);
    const std::string output = testing::internal::GetCapturedStdout();
    for (const char* mesh : {"cliff", "riverlake_terrain", "water2", "sphere9", "cube5", "skyCube"}) {
        const std::string line = std::string("error: mesh Meshes/") + mesh + ".dae loaded incorrectly!\n";
        const size_t first = output.find(line);
        EXPECT_NE(first, std::string::npos) << output;
        EXPECT_EQ(output.find(line, first + 1), std::string::npos) << line << "twice in:\n" << output;
    }
}
