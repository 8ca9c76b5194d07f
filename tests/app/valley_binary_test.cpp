// The real program, started as a person would start it, watched from the X display.
#include "tests/support/rgb_image.h"
#include "tests/support/x11_probe.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* title = "This is a test, this is only a test.";
const unsigned char skyColour[3] = {173, 239, 255};

bool displayIsFullHd() {
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        return false;
    }
    bool fullHd = DisplayWidth(d, DefaultScreen(d)) == 1920 && DisplayHeight(d, DefaultScreen(d)) == 1080;
    XCloseDisplay(d);
    return fullHd;
}

// The program started in a folder of its own, away from the build tree. The folder is a data
// folder with the shaders and no meshes or textures: given with --data, the program draws only
// the sky; without, it finds the valley beside itself.
class ValleyBinary : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/valley-run-XXXXXX";
        directory = mkdtemp(pattern);
        std::filesystem::create_directory(directory + "/Meshes");
        std::filesystem::copy(VALLEY_DATA_DIR "shaders", directory + "/shaders");
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    // Starts the program and waits for its window.
    void startOnScreen(const std::vector<std::string>& arguments = {}) {
        valley = startProgram(VALLEY_BINARY, directory, true, arguments);
        ASSERT_TRUE(readUntil(valley, "Kernel Initiated!\n", output, 30.0)) << output;
        ASSERT_TRUE(findWindowByTitle(title, window, 10.0));
    }
    // Starts it in the valley with the pointer resting at a place on the screen, and waits
    // until the player has landed on the shore.
    void startInTheValley(int pointerX, int pointerY) {
        placePointer(pointerX, pointerY);
        ASSERT_NO_FATAL_FAILURE(startOnScreen());
        std::this_thread::sleep_for(std::chrono::seconds(3));
    }
    // What the window shows, or the rows of it from `top` to `bottom` (fractions of its height).
    RgbImage view(float top = 0.0f, float bottom = 1.0f) const {
        int first = static_cast<int>(top * window.height);
        int rows = static_cast<int>(bottom * window.height) - first;
        return RgbImage{window.width, rows, screenArea(window.x, window.y + first, window.width, rows)};
    }
    void quitWithEscape() {
        setKey("Escape", true);
        EXPECT_EQ(waitForExit(valley, output, 30.0), 0) << output;
        setKey("Escape", false);
    }
    // Pressed and released at once, between two of the program's reads of the keyboard.
    void quitWithATapOfEscape() {
        setKey("Escape", true);
        setKey("Escape", false);
        EXPECT_EQ(waitForExit(valley, output, 30.0), 0) << output;
    }

    std::string directory;
    ChildProcess valley;
    std::string output;
    X11Window window = {};
};

} // namespace

TEST_F(ValleyBinary, OpensItsCentredWindowShowsTheSkyAndQuitsOnATapOfEscape) {
    if (!displayIsFullHd()) {
        GTEST_SKIP() << "needs a 1920 x 1080 display";
    }
    ASSERT_NO_FATAL_FAILURE(startOnScreen({"--data", directory}));
    EXPECT_EQ(window.x, 320);
    EXPECT_EQ(window.y, 180);
    EXPECT_EQ(window.width, 1280);
    EXPECT_EQ(window.height, 720);

    unsigned char rgb[3] = {};
    ASSERT_TRUE(waitForPixel(window.x + 640, window.y + 360, skyColour, rgb, 10.0));
    EXPECT_EQ(rgb[0], 173);
    EXPECT_EQ(rgb[1], 239);
    EXPECT_EQ(rgb[2], 255);

    quitWithATapOfEscape();
    size_t loaded = output.find("OpenGL Environment Loaded!\n");
    size_t shaders = output.find("Shaders loaded\n");
    size_t initiated = output.find("Kernel Initiated!\n");
    ASSERT_NE(loaded, std::string::npos) << output;
    ASSERT_NE(shaders, std::string::npos) << output;
    EXPECT_LT(loaded, shaders);
    EXPECT_LT(shaders, initiated);
}

// One line on standard error with the window system's reason, nothing on standard output.
TEST_F(ValleyBinary, WithoutADisplaySaysWhyOnceOnStandardErrorAndExitsWithOne) {
    valley = startProgram("/bin/sh", directory, false, {"-c", VALLEY_BINARY " 2> error.txt"});
    int status = waitForExit(valley, output, 30.0);
    EXPECT_EQ(status, 1) << output;
    EXPECT_EQ(output, "") << "standard output";
    std::ifstream errorFile(directory + "/error.txt");
    const std::string error((std::istreambuf_iterator<char>(errorFile)), std::istreambuf_iterator<char>());
    EXPECT_EQ(error.rfind("Failed to initialize GLFW. (", 0), 0u) << error;
    EXPECT_NE(error.find("DISPLAY"), std::string::npos) << error;
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
}

namespace {

// Sky in the top band, ground or water in the bottom band, and the horizon between them: the
// first row from the top that is no longer sky-blue lies in the middle part of the view.
void expectSkyAboveGroundBelow(const RgbImage& view) {
    Colour sky = bandMean(view, 0.0f, 0.15f);
    Colour ground = bandMean(view, 0.85f, 1.0f);
    EXPECT_GT(blueness(sky), 40.0f) << "sky above: " << sky.r << " " << sky.g << " " << sky.b;
    EXPECT_LT(blueness(ground), blueness(sky) - 40.0f)
        << "ground or water below: " << ground.r << " " << ground.g << " " << ground.b;
    float middle = 0.5f * (blueness(sky) + blueness(ground));
    int horizon = 0;
    while (horizon < view.height && blueness(bandMean(view, float(horizon) / view.height,
                                                      float(horizon + 1) / view.height)) > middle) {
        ++horizon;
    }
    EXPECT_GT(horizon, view.height * 15 / 100) << "the horizon between";
    EXPECT_LT(horizon, view.height * 85 / 100) << "the horizon between";
}

// The mouse turns the view by 0.3 / (1 - 0.63) degrees a pixel in all: 111 pixels are 90 degrees.
// Moved in small steps so the pointer stays inside the window between two frames.
void turnBy(int dx, int dy) {
    const int steps = 3;
    for (int step = 0; step < steps; ++step) {
        movePointer(dx / steps, dy / steps);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1200)); // the smoothed turn dies away
}

// Pixels that became stone-coloured (grey, neither bright nor clearly green or blue): rocks
// that came into view. The waves of the water change many pixels, but not into stone.
struct StoneSeen {
    int pixels = 0;
    float spread = 0.0f; // how far they lie from their centre: root mean square, in pixels
};

StoneSeen stoneAppeared(const RgbImage& before, const RgbImage& after) {
    StoneSeen seen;
    double sumX = 0.0;
    double sumY = 0.0;
    double sumSquares = 0.0;
    for (size_t i = 0; i + 2 < before.pixels.size() && i + 2 < after.pixels.size(); i += 3) {
        const unsigned char* was = &before.pixels[i];
        const unsigned char* is = &after.pixels[i];
        int difference = std::abs(was[0] - is[0]) + std::abs(was[1] - is[1]) + std::abs(was[2] - is[2]);
        int brightest = std::max({is[0], is[1], is[2]});
        int darkest = std::min({is[0], is[1], is[2]});
        if (difference > 60 && brightest < 190 && brightest - darkest < 50) {
            double x = static_cast<double>(i / 3 % after.width);
            double y = static_cast<double>(i / 3 / after.width);
            sumX += x;
            sumY += y;
            sumSquares += x * x + y * y;
            seen.pixels += 1;
        }
    }
    if (seen.pixels > 0) {
        double n = seen.pixels;
        seen.spread = static_cast<float>(
            std::sqrt(std::max(0.0, sumSquares / n - (sumX * sumX + sumY * sumY) / (n * n))));
    }
    return seen;
}

// Holds H until the program reports the ground height under the player.
double heightReport(ChildProcess& valley) {
    setKey("h", true);
    std::string line = readLineStarting(valley, "Terrain Height is: ", 10.0);
    setKey("h", false);
    EXPECT_FALSE(line.empty()) << "no height report";
    return line.empty() ? 0.0 : std::atof(line.c_str() + std::string("Terrain Height is: ").size());
}

} // namespace

// Found by the desktop entry's StartupWMClass, with the valley icon at every size; F11 fills the
// screen with the whole view and gives the window back where it was.
TEST_F(ValleyBinary, ItsWindowIsClassedValleyCarriesTheIconAndSwitchesToFullscreenAndBack) {
    if (!displayIsFullHd()) {
        GTEST_SKIP() << "needs a 1920 x 1080 display";
    }
    ASSERT_NO_FATAL_FAILURE(startInTheValley(960, 540));
    EXPECT_EQ(windowClass(window.id), "valley");
    EXPECT_EQ(windowIconSides(window.id), (std::vector<int>{16, 32, 48, 64, 128, 256}));
    const std::string desktopEntry = VALLEY_SOURCE_DIR "/packaging/valley.desktop";
    EXPECT_EQ(std::system(("grep -qx StartupWMClass=valley " + desktopEntry).c_str()), 0);

    for (int expectedWidth : {1920, 1280}) {
        setKey("F11", true);
        for (int wait = 0; wait < 100 && window.width != expectedWidth; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            ASSERT_TRUE(findWindowByTitle(title, window, 10.0));
        }
        setKey("F11", false);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        EXPECT_EQ(window.width, expectedWidth);
        EXPECT_EQ(window.x, expectedWidth == 1920 ? 0 : 320);
        // The picture fills it: sky above ground in each third of its width.
        for (int third = 0; third < 3; ++third) {
            const int width = window.width / 3;
            RgbImage part{width, window.height,
                          screenArea(window.x + third * width, window.y, width, window.height)};
            EXPECT_LT(blueness(bandMean(part, 0.85f, 1.0f)), blueness(bandMean(part, 0.0f, 0.15f)) - 40.0f)
                << expectedWidth << " wide, third " << third;
        }
    }
    quitWithEscape();
}

TEST_F(ValleyBinary, StartsLookingAtTheValleyWhereverThePointerRested) {
    if (!displayIsFullHd()) {
        GTEST_SKIP() << "needs a 1920 x 1080 display";
    }
    // Screen corners and centre, and places outside the window's place, which is (320, 180) to
    // (1600, 900).
    const int pointers[][2] = {{0, 0}, {960, 540}, {1919, 1079}, {100, 950}};
    for (const auto& pointer : pointers) {
        SCOPED_TRACE("pointer at " + std::to_string(pointer[0]) + ", " + std::to_string(pointer[1]));
        ASSERT_NO_FATAL_FAILURE(startInTheValley(pointer[0], pointer[1]));
        expectSkyAboveGroundBelow(view());
        quitWithEscape();
        output.clear();
    }
}

TEST_F(ValleyBinary, TurnsWalksThrowsAndShakesRocksAsAPlayerSees) {
    if (!displayIsFullHd()) {
        GTEST_SKIP() << "needs a 1920 x 1080 display";
    }
    ASSERT_NO_FATAL_FAILURE(startInTheValley(1000, 600));
    RgbImage start = view();
    expectSkyAboveGroundBelow(start);

    // Ten degrees each way: about 110 pixels at the centre of the view.
    turnBy(12, 0);
    RgbImage right = view();
    EXPECT_GT(contentShift(columnProfile(start), columnProfile(right), 300), 40)
        << "turning right moves the view left";
    turnBy(-12, 0);
    RgbImage back = view();
    EXPECT_LT(contentShift(columnProfile(right), columnProfile(back), 300), -40)
        << "turning left moves it right";
    turnBy(0, -12);
    RgbImage up = view();
    EXPECT_LT(contentShift(rowProfile(back), rowProfile(up), 250), -40) << "looking up moves it down";
    turnBy(0, 12);
    RgbImage down = view();
    EXPECT_GT(contentShift(rowProfile(up), rowProfile(down), 250), 40) << "looking down moves it up";

    for (int yaw = 0; yaw < 360; yaw += 90) {
        SCOPED_TRACE("yaw " + std::to_string(yaw));
        RgbImage around = view();
        Colour top = bandMean(around, 0.0f, 0.15f);
        Colour horizon = bandMean(around, 0.4f, 0.5f);
        EXPECT_GT(blueness(top), 40.0f) << "sky-blue above: " << top.r << " " << top.g << " " << top.b;
        EXPECT_GT(blueness(top), blueness(horizon) + 10.0f)
            << "bluer above than at the horizon: " << horizon.r << " " << horizon.g << " " << horizon.b;
        turnBy(111, 0);
    }

    // Rocks thrown ahead fly and land on the water and grass, where no stone was. Only the view
    // below the far shore counts: above it the selected block spins on its own.
    const float nearShore = 0.55f;
    RgbImage withoutRocks = view(nearShore);
    setMouseButton(1, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    setMouseButton(1, false);
    std::this_thread::sleep_for(std::chrono::seconds(3)); // the rocks come to rest
    StoneSeen resting = stoneAppeared(withoutRocks, view(nearShore));
    EXPECT_GT(resting.pixels, 500) << "no rock to be seen";
    // Shaken rocks scatter and soon fly out of sight. The view is watched from the first frames
    // on, until they have spread (longer when the machine is slow): the most rock seen, and how
    // far it spread.
    setKey("e", true);
    StoneSeen shaken;
    for (int look = 0; look < 60 && shaken.spread <= resting.spread * 1.5f; ++look) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        StoneSeen seen = stoneAppeared(withoutRocks, view(nearShore));
        shaken.pixels = std::max(shaken.pixels, seen.pixels);
        shaken.spread = std::max(shaken.spread, seen.spread);
    }
    setKey("e", false);
    EXPECT_GT(shaken.pixels, resting.pixels / 2) << "shaking flung the rocks out of sight: " << resting.pixels
                                                 << " pixels of rocks, then " << shaken.pixels;
    EXPECT_GT(shaken.spread, resting.spread * 1.5f) << "shaking left the rocks where they lay";

    setMouseButton(3, true);
    EXPECT_TRUE(readUntil(valley, "Frustum check returned: ", output, 30.0)) << output;
    setMouseButton(3, false);

    double heightBefore = heightReport(valley);
    RgbImage beforeWalking = view();
    setKey("w", true);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    setKey("w", false);
    EXPECT_GT(changedPixels(beforeWalking, view()), 20000) << "walking changes the view";
    EXPECT_NE(heightReport(valley), heightBefore) << "walking changes the ground height";

    quitWithEscape();
}

// Flying down through the ground and walking again: the player stands on the ground, looking
// at the horizon when he looks level, not thrown up into the sky.
TEST_F(ValleyBinary, WalkingAgainUnderTheGroundStandsThePlayerOnIt) {
    ASSERT_NO_FATAL_FAILURE(startInTheValley(1000, 600));
    auto tap = [](const char* key) {
        setKey(key, true);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        setKey(key, false);
    };
    tap("q");
    turnBy(0, 100); // steeply down
    setKey("w", true);
    std::this_thread::sleep_for(std::chrono::seconds(4));
    setKey("w", false);
    tap("q");
    turnBy(0, -100); // level again
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const RgbImage level = view();
    expectSkyAboveGroundBelow(level);
    // High above the valley the lower half is the sky's pale haze, brighter than grass or water.
    const Colour below = bandMean(level, 0.85f, 1.0f);
    EXPECT_LT((below.r + below.g + below.b) / 3.0f, 170.0f)
        << "ground below, not haze: " << below.r << " " << below.g << " " << below.b;
    quitWithEscape();
}

// A rock thrown while F holds the physics shows in front of the player and waits there.
TEST_F(ValleyBinary, ARockThrownDuringThePauseIsSeenWaiting) {
    ASSERT_NO_FATAL_FAILURE(startInTheValley(1000, 600));
    setKey("f", true);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const RgbImage before = view();
    setMouseButton(1, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    setMouseButton(1, false);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const StoneSeen thrown = stoneAppeared(before, view());
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const StoneSeen later = stoneAppeared(before, view());
    setKey("f", false);
    EXPECT_GT(thrown.pixels, 20000) << "the rock is in sight";
    EXPECT_NEAR(later.pixels, thrown.pixels, thrown.pixels / 20) << "and waits";
    quitWithEscape();
}

namespace {

// A rectangle of the window as the screen shows it now.
std::vector<unsigned char> area(const X11Window& window, const int rectangle[4]) {
    return screenArea(window.x + rectangle[0], window.y + rectangle[1], rectangle[2], rectangle[3]);
}

// How far two pictures of one rectangle lie apart: the mean absolute difference of a channel.
float difference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    double sum = 0.0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        sum += std::abs(a[i] - b[i]);
    }
    return a.empty() ? 0.0f : static_cast<float>(sum / a.size());
}

// Holds a key until the rectangle differs from `from` by more than `by` (or the time is up),
// then lets it go; returns the rectangle as it was last read while the key was held.
std::vector<unsigned char> holdUntilChanged(const X11Window& window, const char* key, const int rectangle[4],
                                            const std::vector<unsigned char>& from, float by) {
    setKey(key, true);
    std::vector<unsigned char> now = from;
    for (int look = 0; look < 100 && difference(now, from) <= by; ++look) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        now = area(window, rectangle);
    }
    setKey(key, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return now;
}

} // namespace

// The overlay is off at the start; F1 shows the controls in the top left corner and hides them
// again, F3 the figures in the top right one, and holding F shows "PAUSED" at the bottom.
TEST_F(ValleyBinary, F1AndF3ShowAndHideTheOverlayAndFShowsPaused) {
    ASSERT_NO_FATAL_FAILURE(startInTheValley(1000, 600));
    const int controls[4] = {20, 20, 500, 200};
    const int stats[4] = {window.width - 250, 20, 230, 100};
    for (const int* rectangle : {controls, stats}) {
        const char* key = rectangle == controls ? "F1" : "F3";
        SCOPED_TRACE(key);
        const std::vector<unsigned char> plain = area(window, rectangle);
        const std::vector<unsigned char> shown = holdUntilChanged(window, key, rectangle, plain, 30.0f);
        EXPECT_GT(difference(shown, plain), 30.0f) << "the panel shows in the corner";
        const std::vector<unsigned char> hidden = holdUntilChanged(window, key, rectangle, shown, 30.0f);
        EXPECT_LT(difference(hidden, plain), 10.0f) << "and goes again";
    }
    const int paused[4] = {window.width / 2 - 60, window.height - 60, 120, 40};
    const std::vector<unsigned char> playing = area(window, paused);
    const std::vector<unsigned char> held = holdUntilChanged(window, "f", paused, playing, 30.0f);
    EXPECT_GT(difference(held, playing), 30.0f) << "PAUSED shows while F is held";
    quitWithEscape();
}
