#include "platform/frame_pacer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A frame loop: each iteration waits for the pacer, works for the next of `workMs` (cycled),
// then, on a display that waits for vertical sync, blocks in the buffer swap until the next
// refresh and wakes up the next of `wakeJitterMs` after it.
struct PacingCase {
    const char* name;
    std::vector<double> workMs;
    double refreshMs; // 0: the swap does not wait
    std::vector<double> wakeJitterMs;
    int leastPerTwentySeconds; // releases the loop must still reach in the run
};

struct LoopRun {
    std::vector<double> releases;
    std::vector<double> readyTimes;
    std::vector<long> refreshes; // the refresh each frame was shown on
};

const double runSeconds = 20.0;

LoopRun runLoop(const PacingCase& c) {
    LoopRun run;
    FramePacer pacer = {};
    double now = 0.0;
    for (size_t frame = 0; now < runSeconds; ++frame) {
        run.readyTimes.push_back(now);
        now += pacingWait(pacer, now);
        run.releases.push_back(now);
        now += c.workMs[frame % c.workMs.size()] / 1000.0;
        if (c.refreshMs > 0.0) {
            double refresh = c.refreshMs / 1000.0;
            long shownOn = static_cast<long>(std::ceil(now / refresh));
            run.refreshes.push_back(shownOn);
            now = shownOn * refresh;
            now += c.wakeJitterMs[frame % c.wakeJitterMs.size()] / 1000.0;
        }
    }
    return run;
}

// The most releases that fall within one second of each other. The sums of 1/60 carry rounding,
// so a window is a nanosecond short of a second.
int mostInAnySecond(const std::vector<double>& releases) {
    int most = 0;
    for (size_t first = 0; first < releases.size(); ++first) {
        auto end = std::lower_bound(releases.begin() + first, releases.end(), releases[first] + 1.0 - 1e-9);
        most = std::max(most, static_cast<int>(end - (releases.begin() + first)));
    }
    return most;
}

// One frame 9 ms too slow, then two seconds of fast frames.
std::vector<double> oneLateFrame() {
    std::vector<double> workMs(120, 2.0);
    workMs[0] = 26.0;
    return workMs;
}

const PacingCase pacingCases[] = {
    {"2 ms frames, no vertical sync", {2.0}, 0.0, {0.0}, 1199},
    {"15.7 to 16.7 ms frames", {15.7, 16.0, 16.3, 16.7, 15.9, 16.6}, 0.0, {0.0}, 1195},
    {"frames of exactly 1/60 s", {1000.0 / 60.0}, 0.0, {0.0}, 1199},
    {"one late frame among fast ones", oneLateFrame(), 0.0, {0.0}, 1190},
    {"falling behind again and again",
     {30.0, 2.0, 2.0, 45.0, 16.0, 1.0, 1.0, 1.0, 200.0, 3.0},
     0.0,
     {0.0},
     505},
    {"vertical sync at 16.67 ms, jittered wake-ups",
     {4.0, 6.0, 5.0},
     16.67,
     {0.0, 0.4, 0.1, 0.3, 0.05, 0.45},
     1199},
    {"vertical sync at exactly 1/60 s, jittered wake-ups",
     {9.0, 3.0},
     1000.0 / 60.0,
     {0.3, 0.0, 0.45, 0.1},
     1199},
    {"vertical sync at 59.94 Hz", {12.0}, 1000.0 / 59.94, {0.2, 0.0}, 1198},
};

} // namespace

TEST(FramePacing, NoSecondHoldsMoreThanSixtyFramesAndNoFrameIsHeldLongerThanThat) {
    for (const PacingCase& c : pacingCases) {
        SCOPED_TRACE(c.name);
        LoopRun run = runLoop(c);
        EXPECT_LE(mostInAnySecond(run.releases), 60);
        EXPECT_GE(static_cast<int>(run.releases.size()), c.leastPerTwentySeconds);
        EXPECT_EQ(run.releases[0], run.readyTimes[0]) << "the first frame waited";
        for (size_t frame = 1; frame < run.releases.size(); ++frame) {
            // Held only until 1/60 s after the previous release, never beyond.
            double due = std::max(run.readyTimes[frame], run.releases[frame - 1] + pacedFrameTime);
            ASSERT_LE(run.releases[frame], due + 1e-12) << "frame " << frame;
        }
    }
}

TEST(FramePacing, ADisplayThatWaitsForVerticalSyncShowsEveryRefresh) {
    for (const PacingCase& c : pacingCases) {
        if (c.refreshMs <= 0.0) {
            continue;
        }
        SCOPED_TRACE(c.name);
        LoopRun run = runLoop(c);
        for (size_t frame = 1; frame < run.refreshes.size(); ++frame) {
            ASSERT_EQ(run.refreshes[frame], run.refreshes[frame - 1] + 1) << "frame " << frame;
        }
    }
}
