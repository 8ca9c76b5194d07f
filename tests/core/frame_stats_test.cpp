#include "core/frame_stats.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace valley;

namespace {

// Work the clock can see: enough arithmetic to take a measurable slice of time.
double busyWork() {
    double sum = 0.0;
    for (int i = 1; i < 2000000; ++i) {
        sum += std::sqrt(static_cast<double>(i));
    }
    return sum;
}

} // namespace

TEST(FrameStats, CountsNothingUnlessMeasuring) {
    FrameStats stats = {false, 0.0, 0.0, 0.0};
    double start = engineClock(stats);
    EXPECT_EQ(start, 0.0);
    EXPECT_GT(busyWork(), 0.0);
    addEngineTime(stats, start);
    finishFrameStats(stats);
    EXPECT_EQ(stats.lastEngineSeconds, 0.0);
    EXPECT_EQ(stats.runEngineSeconds, 0.0);
}

TEST(FrameStats, AddsTheWorkOfAFrameAndStartsTheNextAtZero) {
    FrameStats stats = {true, 0.0, 0.0, 0.0};
    double start = engineClock(stats);
    EXPECT_GT(busyWork(), 0.0);
    addEngineTime(stats, start);
    start = engineClock(stats);
    addEngineTime(stats, start);
    finishFrameStats(stats);
    EXPECT_GT(stats.lastEngineSeconds, 0.0001);
    EXPECT_LT(stats.lastEngineSeconds, 5.0);
    EXPECT_EQ(stats.engineSeconds, 0.0);
    EXPECT_EQ(stats.runEngineSeconds, stats.lastEngineSeconds);
}

TEST(FrameStats, SumsUpFrameTimes) {
    struct Case {
        std::vector<double> seconds;
        FrameTimeSummary expected;
    };
    std::vector<double> hundred;
    for (int i = 100; i >= 1; --i) {
        hundred.push_back(i * 0.001); // 1 to 100 ms, in no useful order
    }
    const Case cases[] = {
        {{}, {0.0, 0.0, 0.0}},
        {{0.5}, {2.0, 0.5, 0.5}},
        {{0.03, 0.01, 0.02}, {50.0, 0.02, 0.03}},
        {{0.04, 0.01, 0.02, 0.03}, {40.0, 0.025, 0.04}},
        {hundred, {100.0 / 5.05, 0.0505, 0.099}},
    };
    for (const Case& c : cases) {
        FrameTimeSummary summary = summarizeFrameTimes(c.seconds);
        EXPECT_NEAR(summary.framesPerSecond, c.expected.framesPerSecond, 1e-9) << c.seconds.size();
        EXPECT_NEAR(summary.medianSeconds, c.expected.medianSeconds, 1e-12) << c.seconds.size();
        EXPECT_NEAR(summary.percentile99Seconds, c.expected.percentile99Seconds, 1e-12) << c.seconds.size();
    }
}
