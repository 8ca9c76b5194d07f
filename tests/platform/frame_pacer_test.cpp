#include "platform/frame_pacer.h"

#include <gtest/gtest.h>

TEST(FramePacing, FirstFrameIsReleasedAtOnce) {
    FramePacer pacer = {};
    EXPECT_EQ(pacingWait(pacer, 5.0), 0.0);
}

TEST(FramePacing, FastFramesAreHeldToSixtyPerSecond) {
    FramePacer pacer = {};
    double now = 0.0;
    int released = 0;
    // A display that does not wait: every frame is ready 2 ms after the previous release.
    while (now < 10.0) {
        now += pacingWait(pacer, now);
        ++released;
        now += 0.002;
    }
    EXPECT_LE(released, 601);
    EXPECT_GE(released, 598);
}

TEST(FramePacing, FramesOfASixtyHertzDisplayAreNeverHeld) {
    FramePacer pacer = {};
    pacingWait(pacer, 0.0);
    // Vertical sync releases at 1/60 s with a little jitter either way.
    const double jitter[] = {0.0, -0.0004, 0.0003, -0.0002, 0.0004};
    double now = 0.0;
    for (int frame = 1; frame <= 600; ++frame) {
        now = frame / 60.0 + jitter[frame % 5];
        EXPECT_EQ(pacingWait(pacer, now), 0.0) << "frame " << frame;
    }
}

TEST(FramePacing, SlowFramesAreNotDelayed) {
    FramePacer pacer = {};
    pacingWait(pacer, 0.0);
    EXPECT_EQ(pacingWait(pacer, 0.05), 0.0);
    EXPECT_EQ(pacingWait(pacer, 0.2), 0.0);
}
