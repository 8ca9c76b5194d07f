// The browser build's page in headless Chromium (tests/web/page.js over DevTools): a session with
// rocks replays in the page to the desktop program's closing line, its captured frames match the
// desktop's within a tolerance, and the live page plays after a click and records a session the
// desktop replays to the page's state. Needs the browser build (scripts/web.sh) named by
// VALLEY_WEB_DIR.
#include "platform/input.h"
#include "platform/recording.h"
#include "tests/support/rgb_image.h"
#include "tests/support/x11_probe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

using namespace valley;

namespace {

const double pageSeconds = 1500.0; // a software rasterizer draws 2 to 4 frames a second

class Page : public ::testing::Test {
protected:
    std::string directory;

    void SetUp() override {
        char pattern[] = "/tmp/valley-page-XXXXXX";
        directory = mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    // Runs page.js in `mode` with these arguments; its output, ending in "exit STATUS".
    std::string runPage(const std::string& mode, const std::vector<std::string>& arguments) {
        std::vector<std::string> all = {VALLEY_SOURCE_DIR "/tests/web/page.js", mode, VALLEY_WEB_DIR,
                                        directory};
        all.insert(all.end(), arguments.begin(), arguments.end());
        ChildProcess node = startProgram("/usr/bin/node", directory, false, all);
        std::string output;
        EXPECT_EQ(waitForExit(node, output, pageSeconds + 60.0), 0) << output;
        return output;
    }
};

// 300 ticks from the start position: 60 rocks thrown while the view turns right, then a few
// steps forward while they fall, bounce and roll.
void writeRockSession(const std::string& path) {
    std::vector<uint8_t> file;
    appendRecordingHeader(file, RecordingHeader{5, 1280, 720});
    const InputState resting = {0, 0, 640, 360};
    appendRecordedFrame(file, RecordedFrame{{resting, resting}});
    for (int frame = 2; frame <= 300; ++frame) {
        const uint8_t buttons = frame >= 10 && frame < 70 ? 1 : 0;
        const uint64_t keys = frame >= 200 && frame < 240 ? uint64_t{1} << keySlot('W') : 0;
        appendRecordedFrame(file,
                            RecordedFrame{{InputState{keys, buttons, 640 + (frame < 70 ? 2 : 0), 360}}});
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

std::string closingLine(const std::string& output) {
    std::smatch match;
    return std::regex_search(output, match, std::regex("Replayed \\d+ frames, state [0-9a-f]{8}"))
               ? match[0].str()
               : "";
}

// Per channel, the mean absolute difference, and the share of values off by more than 24.
struct Difference {
    double mean = 1e9;
    double farShare = 1.0;
};

Difference differenceOf(const RgbImage& a, const RgbImage& b) {
    Difference difference;
    if (a.width != b.width || a.height != b.height || a.pixels.empty()) {
        return difference;
    }
    double sum = 0.0;
    size_t far = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        const int off = std::abs(int{a.pixels[i]} - int{b.pixels[i]});
        sum += off;
        far += off > 24 ? 1 : 0;
    }
    difference.mean = sum / static_cast<double>(a.pixels.size());
    difference.farShare = static_cast<double>(far) / static_cast<double>(a.pixels.size());
    return difference;
}

TEST_F(Page, ARockSessionReplaysToTheDesktopsStateAndPictures) {
    const std::string session = directory + "/rocks.vrec";
    writeRockSession(session);
    std::string desktop;
    ChildProcess valley =
        startProgram(VALLEY_BINARY, directory, true,
                     {"--replay", session, "--capture", directory + "/desktop", "--every", "100"});
    ASSERT_EQ(waitForExit(valley, desktop, 600.0), 0) << desktop;
    ASSERT_NE(closingLine(desktop), "") << desktop;

    const std::string page = runPage("replay", {session, "--capture", "frames", "--every", "100"});
    EXPECT_NE(page.find("exit 0"), std::string::npos) << page;
    EXPECT_EQ(closingLine(page), closingLine(desktop)) << page;
    for (const char* name : {"frame-000100.png", "frame-000200.png", "frame-000300.png"}) {
        const RgbImage ours = loadPng(directory + "/desktop/" + name);
        const RgbImage theirs = loadPng(directory + "/" + name);
        ASSERT_EQ(ours.width, 1280) << name;
        const Difference difference = differenceOf(ours, theirs);
        std::printf("%s: mean difference %.2f, %.2f %% of values off by more than 24\n", name,
                    difference.mean, 100.0 * difference.farShare);
        // Measured (SwiftShader against llvmpipe, plain against driver-compressed BMP textures):
        // a mean of 1.99 to 2.00 and 0.03 to 0.06 % of values off by more than 24.
        EXPECT_LT(difference.mean, 3.0) << name;
        EXPECT_LT(difference.farShare, 0.005) << name;
    }
}

TEST_F(Page, TheLivePagePlaysAfterAClickAndItsRecordingReplaysAlikeOnBoth) {
    const std::string page = runPage("live", {"--record", "live.vrec"});
    ASSERT_NE(page.find("pointer locked"), std::string::npos) << page;
    EXPECT_NE(page.find("Kernel Initiated!"), std::string::npos) << page;
    const RgbImage before = loadPng(directory + "/before.png");
    const RgbImage after = loadPng(directory + "/after.png");
    ASSERT_EQ(before.width, 1280) << page;
    EXPECT_GT(changedPixels(before, after), 1280 * 720 / 20) << "walking forward changed the picture";
    EXPECT_GT(blueness(bandMean(after, 0.0f, 0.1f)), blueness(bandMean(after, 0.9f, 1.0f)) + 10.0f);

    // The walk and the rock thrown after it, recorded in the page: one state on both.
    const std::string recording = directory + "/live.vrec";
    std::string desktop;
    ChildProcess valley = startProgram(VALLEY_BINARY, directory, true, {"--replay", recording});
    ASSERT_EQ(waitForExit(valley, desktop, 300.0), 0) << desktop;
    ASSERT_NE(closingLine(desktop), "") << desktop;
    EXPECT_EQ(closingLine(runPage("replay", {recording})), closingLine(desktop));
}

} // namespace
