// What a person sees: the real engine runs a scripted tour of the valley, the presented frames
// are captured, and each is checked for what should be in it.
#include "app/run.h"
#include "platform/keys.h"
#include "render/camera.h"
#include "tests/app/engine_run.h"
#include "tests/support/rgb_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace valley;

namespace {

class ValleyTour : public ScriptedEngineRun {
protected:
    std::string capture(int frame, const char* name) {
        std::filesystem::create_directories("captures");
        std::string path = std::string("captures/") + name + ".png";
        std::filesystem::remove(path);
        scriptFrame(script, frame).capturePath = path;
        return path;
    }
    // Flies the camera to a place and a view direction at the start of a frame.
    void placeCamera(int frame, Vec3 position, float yaw, float pitch) {
        scriptFrame(script, frame).onPresent = [=] {
            Camera& camera = *engine->kernel.camera;
            camera.position = position;
            camera.velocity = {0, 0, 0};
            camera.yaw = yaw;
            camera.pitch = pitch;
        };
    }
};

} // namespace

TEST_F(ValleyTour, ShowsSkyTerrainWaterAndCliff) {
    std::string start = capture(60, "start_view");
    holdButton(script, mouseButtonLeft, 61, 100); // forty rocks from where the player stands
    std::string rocks = capture(130, "rocks_view");
    holdKey(script, 'Q', 131, 131); // fly from here on
    placeCamera(132, {150, 80, -350}, 0, 25);
    std::string lake = capture(135, "lake_view");
    placeCamera(136, {250, -60, -150}, 0, -35);
    std::string underWater = capture(139, "under_water_view");
    placeCamera(140, {0, 150, 1300}, 90, 0);
    std::string cliff = capture(143, "cliff_view");
    // High above the valley, so that only sky meets the eye line: facing each way round.
    const float yaws[4] = {0, 90, 180, 270};
    std::string skyViews[4];
    for (int i = 0; i < 4; ++i) {
        placeCamera(144 + 4 * i, {0, 900, 0}, yaws[i], 0);
        skyViews[i] = capture(147 + 4 * i, ("sky_yaw_" + std::to_string(int(yaws[i]))).c_str());
    }
    scriptFrame(script, 160);
    ASSERT_EQ(run(), 0);

    RgbImage startView = loadPng(start);
    ASSERT_FALSE(startView.pixels.empty());
    Colour sky = bandMean(startView, 0.0f, 0.15f);
    EXPECT_GT(sky.b, 170) << "sky above";
    EXPECT_GT(sky.b, sky.r);
    Colour ground = bandMean(startView, 0.85f, 1.0f);
    EXPECT_LT(ground.b, sky.b - 40) << "terrain below, not sky";

    EXPECT_GT(changedPixels(startView, loadPng(rocks)), 5000) << "the same view with rocks in it";

    Colour water = bandMean(loadPng(lake), 0.6f, 1.0f);
    EXPECT_GT(water.b, water.r) << "water below";

    Colour tint = bandMean(loadPng(underWater), 0.0f, 1.0f);
    EXPECT_GT(tint.b, tint.r + 30) << "under-water tint";
    EXPECT_LT(tint.r, 100);

    Colour rock = bandMean(loadPng(cliff), 0.3f, 0.7f);
    EXPECT_LT(rock.b, sky.b - 40) << "a rock wall fills the middle";

    // The sky stands upright whichever way the player faces: blue overhead, haze along the
    // horizon (the middle row), the same all the way round.
    for (int i = 0; i < 4; ++i) {
        RgbImage view = loadPng(skyViews[i]);
        ASSERT_FALSE(view.pixels.empty());
        Colour top = bandMean(view, 0.0f, 0.1f);
        Colour horizon = bandMean(view, 0.42f, 0.5f);
        EXPECT_GT(top.b, 170) << "yaw " << yaws[i];
        EXPECT_GT(top.b - top.r, horizon.b - horizon.r + 30) << "yaw " << yaws[i] << ": bluer overhead";
        EXPECT_GT(horizon.r + horizon.g + horizon.b, 3 * 170) << "yaw " << yaws[i] << ": light haze";
    }
}
