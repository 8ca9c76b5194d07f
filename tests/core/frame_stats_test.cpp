#include "core/frame_stats.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Work the clock can see: enough arithmetic to take a measurable slice of processor time.
double busyWork() {
    double sum = 0.0;
    for (int i = 1; i < 2000000; ++i) {
        sum += std::sqrt(static_cast<double>(i));
    }
    return sum;
}

} // namespace

TEST(FrameStats, CountsNothingUnlessMeasuring) {
    frameStats = {false, 0.0, 0.0};
    double start = engineClock();
    EXPECT_EQ(start, 0.0);
    EXPECT_GT(busyWork(), 0.0);
    addEngineTime(start);
    finishFrameStats();
    EXPECT_EQ(frameStats.lastEngineSeconds, 0.0);
}

TEST(FrameStats, AddsTheWorkOfAFrameAndStartsTheNextAtZero) {
    frameStats = {true, 0.0, 0.0};
    double start = engineClock();
    EXPECT_GT(busyWork(), 0.0);
    addEngineTime(start);
    start = engineClock();
    addEngineTime(start);
    finishFrameStats();
    EXPECT_GT(frameStats.lastEngineSeconds, 0.0001);
    EXPECT_LT(frameStats.lastEngineSeconds, 5.0);
    EXPECT_EQ(frameStats.engineSeconds, 0.0);
    frameStats.measuring = false;
}
