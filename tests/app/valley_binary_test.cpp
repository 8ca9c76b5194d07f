// The real program, started as a person would start it, watched from the X display.
#include "tests/support/x11_probe.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
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

// An empty working directory: the program finds no meshes or textures and draws only the sky.
class ValleyBinary : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/valley-run-XXXXXX";
        directory = mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    // Starts the program in a working directory and waits for its window.
    void startOnScreen(const std::string& workingDirectory) {
        valley = startProgram(VALLEY_BINARY, workingDirectory, true);
        ASSERT_TRUE(readUntil(valley, "Kernel Initiated!\n", output, 30.0)) << output;
        ASSERT_TRUE(findWindowByTitle(title, window, 10.0));
    }

    std::string directory;
    ChildProcess valley;
    std::string output;
    X11Window window = {};
};

} // namespace

TEST_F(ValleyBinary, OpensItsCentredWindowShowsTheSkyAndQuitsOnEscape) {
    if (!displayIsFullHd()) {
        GTEST_SKIP() << "needs a 1920 x 1080 display";
    }
    ASSERT_NO_FATAL_FAILURE(startOnScreen(directory));
    EXPECT_EQ(window.x, 320);
    EXPECT_EQ(window.y, 180);
    EXPECT_EQ(window.width, 1280);
    EXPECT_EQ(window.height, 720);

    unsigned char rgb[3] = {};
    ASSERT_TRUE(waitForPixel(window.x + 640, window.y + 360, skyColour, rgb, 10.0));
    EXPECT_EQ(rgb[0], 173);
    EXPECT_EQ(rgb[1], 239);
    EXPECT_EQ(rgb[2], 255);

    setKey("Escape", true);
    EXPECT_EQ(waitForExit(valley, output, 30.0), 0);
    setKey("Escape", false);
    size_t loaded = output.find("OpenGL Environment Loaded!\n");
    size_t shaders = output.find("Shaders loaded\n");
    size_t initiated = output.find("Kernel Initiated!\n");
    ASSERT_NE(loaded, std::string::npos) << output;
    ASSERT_NE(shaders, std::string::npos) << output;
    EXPECT_LT(loaded, shaders);
    EXPECT_LT(shaders, initiated);
}

TEST_F(ValleyBinary, WithoutADisplayReportsTheFailureAndExitsNonZero) {
    valley = startProgram(VALLEY_BINARY, directory, false);
    int status = waitForExit(valley, output, 30.0);
    EXPECT_NE(status, 0);
    EXPECT_NE(status, -1) << "did not exit";
    EXPECT_NE(output.find("OpenGL Environment Loaded!\n"), std::string::npos) << output;
    EXPECT_NE(output.find("Failed to open GLFW window.\n"), std::string::npos) << output;
    EXPECT_EQ(output.find("Kernel Initiated!"), std::string::npos) << output;
}

namespace {

// How many pixels differ clearly between two grabs of the same area.
int changedPixels(const std::vector<unsigned char>& before, const std::vector<unsigned char>& after) {
    int changed = 0;
    for (size_t i = 0; i + 2 < before.size() && i + 2 < after.size(); i += 3) {
        int difference = std::abs(before[i] - after[i]) + std::abs(before[i + 1] - after[i + 1]) +
                         std::abs(before[i + 2] - after[i + 2]);
        changed += difference > 60 ? 1 : 0;
    }
    return changed;
}

} // namespace

TEST_F(ValleyBinary, InTheValleyThrowsRocksThatShowReportsTheFrustumAndQuits) {
    if (!displayIsFullHd()) {
        GTEST_SKIP() << "needs a 1920 x 1080 display";
    }
    ASSERT_NO_FATAL_FAILURE(startOnScreen(VALLEY_DATA_DIR));
    std::this_thread::sleep_for(std::chrono::seconds(3)); // the player lands on the shore

    // The lower middle of the view, where thrown rocks fly and land.
    auto view = [&] { return screenArea(window.x + 320, window.y + 300, 640, 400); };
    std::vector<unsigned char> before = view();
    setMouseButton(1, true);
    int changed = 0;
    for (int look = 0; look < 100 && changed <= 2000; ++look) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        changed = changedPixels(before, view());
    }
    setMouseButton(1, false);
    EXPECT_GT(changed, 2000) << "no rock to be seen";

    setMouseButton(3, true);
    EXPECT_TRUE(readUntil(valley, "Frustum check returned: ", output, 30.0)) << output;
    setMouseButton(3, false);
    setKey("Escape", true);
    EXPECT_EQ(waitForExit(valley, output, 30.0), 0);
    setKey("Escape", false);
}
