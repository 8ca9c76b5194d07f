#include "platform/tick_schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace valley;

namespace {

// A frame loop over 20 s: each iteration waits for the schedule, simulates a tick for the next
// of `simulateMs`, and, when the schedule says so, draws for the next of `drawMs` (both cycled,
// the draws counted by drawn frames). On a display that waits for vertical sync the draw then
// blocks in the buffer swap until the next refresh and wakes up the next of `wakeJitterMs` after it.
struct ScheduleCase {
    const char* name;
    std::vector<double> simulateMs;
    std::vector<double> drawMs;
    double refreshMs; // 0: the swap does not wait
    std::vector<double> wakeJitterMs;
    int leastTicks; // in the 20 s
    int mostTicks;
    int leastDrawn;
    int mostDrawn;
    int mostTicksInASecond;
};

struct LoopRun {
    double seconds;              // when the run ended
    double givenUp;              // the schedule's count of game time given up
    std::vector<double> starts;  // when each tick began
    std::vector<double> readyAt; // when the loop was ready for it
    std::vector<bool> drawn;
    std::vector<long> refreshes; // the refresh each drawn frame was shown on
};

const double runSeconds = 20.0;

LoopRun runLoop(const ScheduleCase& c) {
    LoopRun run;
    TickSchedule schedule = {};
    double now = 0.0;
    size_t frames = 0;
    for (size_t tick = 0; now < runSeconds; ++tick) {
        run.readyAt.push_back(now);
        now += tickWait(schedule, now);
        run.starts.push_back(now);
        now += c.simulateMs[tick % c.simulateMs.size()] / 1000.0;
        const bool draw = drawTick(schedule, now);
        run.drawn.push_back(draw);
        if (!draw) {
            continue;
        }
        now += c.drawMs[frames % c.drawMs.size()] / 1000.0;
        if (c.refreshMs > 0.0) {
            const double refresh = c.refreshMs / 1000.0;
            const long shownOn = static_cast<long>(std::ceil(now / refresh));
            run.refreshes.push_back(shownOn);
            now = shownOn * refresh + c.wakeJitterMs[frames % c.wakeJitterMs.size()] / 1000.0;
        }
        ++frames;
    }
    run.seconds = now;
    run.givenUp = schedule.givenUp;
    return run;
}

// The most ticks that begin within one second of each other. The sums of 1/60 carry rounding,
// so a window is a nanosecond short of a second.
int mostInAnySecond(const std::vector<double>& starts) {
    int most = 0;
    for (size_t first = 0; first < starts.size(); ++first) {
        auto end = std::lower_bound(starts.begin() + first, starts.end(), starts[first] + 1.0 - 1e-9);
        most = std::max(most, static_cast<int>(end - (starts.begin() + first)));
    }
    return most;
}

// `count` frames of `ms`, one of them (the first) costing `firstMs`.
std::vector<double> oneSlow(double firstMs, double ms, int count) {
    std::vector<double> costs(count, ms);
    costs[0] = firstMs;
    return costs;
}

// clang-format off
const ScheduleCase scheduleCases[] = {
    // Keeps up: every tick drawn, 60 a second, paced on the schedule.
    {"2 ms frames, no vertical sync", {0.5}, {1.5}, 0.0, {0.0}, 1200, 1201, 1200, 1201, 60},
    {"15.7 to 16.7 ms frames", {1.0}, {14.7, 15.0, 15.3, 15.7, 14.9, 15.6}, 0.0, {0.0}, 1200, 1201, 1200, 1201, 60},
    {"frames of exactly 1/60 s", {0.0}, {1000.0 / 60.0}, 0.0, {0.0}, 1200, 1201, 1200, 1201, 60},
    {"vertical sync at 16.67 ms, jittered wake-ups", {1.0}, {3.0, 5.0, 4.0}, 16.67,
     {0.0, 0.4, 0.1, 0.3, 0.05, 0.45}, 1200, 1201, 1199, 1201, 60},
    {"vertical sync at exactly 1/60 s, jittered wake-ups", {1.0}, {8.0, 2.0}, 1000.0 / 60.0,
     {0.3, 0.0, 0.45, 0.1}, 1200, 1201, 1200, 1201, 60},
    // A 59.94 Hz display shows one frame fewer every 16.7 s: that tick is not drawn, the next
    // follows it at once.
    {"vertical sync at 59.94 Hz", {1.0}, {11.0}, 1000.0 / 59.94, {0.2, 0.0}, 1200, 1201, 1198, 1200, 61},
    // One frame 9 ms late: the next tick starts at once and the schedule holds.
    {"one late frame among fast ones", {0.0}, oneSlow(26.0, 2.0, 120), 0.0, {0.0}, 1200, 1201, 1200, 1201, 61},
    // Slower than 60 frames a second: ticks keep their rate, draws are left out.
    {"a little slow: 20 ms frames", {1.0}, {19.0}, 0.0, {0.0}, 1199, 1201, 950, 1010, 61},
    // Each tick left undrawn still costs its simulation: now and then four ticks go to a frame.
    {"three times too slow", {1.5}, {48.5}, 0.0, {0.0}, 1199, 1201, 360, 400, 62},
    {"falling behind again and again", {0.5}, {29.5, 1.5, 1.5, 44.5, 15.5, 0.5, 0.5, 0.5, 80.0, 2.5}, 0.0,
     {0.0}, 1199, 1201, 700, 1000, 64},
    // Game time stays real down to 4 frames a second: 80 ms frames take five ticks each, 245 ms
    // frames (230 ms to draw and up to fifteen 1 ms ticks) fifteen, and a frame that needs all
    // fifteen gives up what is left of its lag, less than a tick (within 1 % in all).
    {"five times too slow", {1.0}, {80.0}, 0.0, {0.0}, 1199, 1201, 230, 245, 65},
    {"four frames a second", {1.0}, {230.0}, 0.0, {0.0}, 1188, 1201, 80, 83, 75},
    // Slower than that: fifteen ticks a frame and the schedule re-based each time, 348 ms for
    // 15 ticks.
    {"three frames a second", {1.0}, {333.0}, 0.0, {0.0}, 855, 870, 57, 58, 45},
    // A two-second stall: fifteen ticks catch up, then the rest of the stall is given up.
    {"a two-second stall", {1.0}, oneSlow(2000.0, 2.0, 2000), 0.0, {0.0}, 1093, 1097, 1079, 1083, 75},
};
// clang-format on

} // namespace

TEST(TickSchedule, KeepsSixtyTicksASecondAndDrawsWhatTheMachineAllows) {
    for (const ScheduleCase& c : scheduleCases) {
        SCOPED_TRACE(c.name);
        LoopRun run = runLoop(c);
        const int ticks = static_cast<int>(run.starts.size());
        const int drawn = static_cast<int>(std::count(run.drawn.begin(), run.drawn.end(), true));
        EXPECT_GE(ticks, c.leastTicks);
        EXPECT_LE(ticks, c.mostTicks);
        EXPECT_GE(drawn, c.leastDrawn);
        EXPECT_LE(drawn, c.mostDrawn);
        EXPECT_LE(mostInAnySecond(run.starts), c.mostTicksInASecond);
        EXPECT_EQ(run.starts[0], run.readyAt[0]) << "the first tick waited";
        // Game time follows the clock but for what was given up, and at most a frame's lag behind.
        const double behind = run.seconds - ticks * tickSeconds - run.givenUp;
        EXPECT_GE(behind, -tickSeconds);
        EXPECT_LE(behind, mostTicksPerFrame * tickSeconds + 0.35);
        int undrawnInARow = 0;
        for (size_t tick = 0; tick < run.drawn.size(); ++tick) {
            undrawnInARow = run.drawn[tick] ? 0 : undrawnInARow + 1;
            ASSERT_LT(undrawnInARow, mostTicksPerFrame) << "tick " << tick;
            if (tick > 0) {
                // Held only until 1/60 s after the previous tick began, never beyond.
                const double due = std::max(run.readyAt[tick], run.starts[tick - 1] + tickSeconds);
                ASSERT_LE(run.starts[tick], due + 1e-12) << "tick " << tick;
            }
        }
    }
}

TEST(TickSchedule, ADisplayThatWaitsForVerticalSyncShowsEveryRefresh) {
    for (const ScheduleCase& c : scheduleCases) {
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

// The browser's loop asks before it ticks: the answer is the wait tickWait would give at that
// moment, and asking changes nothing, however often and whenever it is asked.
TEST(TickSchedule, AskingWhenTheNextTickIsDueLeavesTheScheduleAsItWas) {
    TickSchedule schedule = {};
    EXPECT_EQ(tickDelay(schedule, 5.0), 0.0) << "the first tick is due at once";
    double now = 5.0;
    for (int frame = 0; frame < 600; ++frame) {
        now += (frame % 7 == 0 ? 40.0 : 16.7) / 1000.0; // an animation frame, now and then late
        for (double at : {now - 0.02, now, now + 0.001}) {
            const TickSchedule before = schedule;
            const double delay = tickDelay(schedule, at);
            EXPECT_TRUE(before.started == schedule.started && before.nextTick == schedule.nextTick &&
                        before.ticksUndrawn == schedule.ticksUndrawn);
            TickSchedule advanced = schedule;
            EXPECT_EQ(delay, tickWait(advanced, at));
        }
        while (tickDelay(schedule, now) == 0.0) {
            ASSERT_EQ(tickWait(schedule, now), 0.0);
            if (drawTick(schedule, now)) {
                break;
            }
        }
    }
}
