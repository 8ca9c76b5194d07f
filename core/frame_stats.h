// How long the engine's own work takes each frame: camera, physics, behaviours and player
// control, apart from the OpenGL calls and the wait for the display. Seconds of the steady
// clock, which the C library reads without a system call (about 20 ns): the clock is read twice
// for every behaviour, hundreds of times a frame, and the thread's CPU clock (a system call of
// about 0.5 us) measured mostly itself. Measure on a quiet machine: time the processor spends on
// another program during an interval counts. Off unless a tool turns `measuring` on.
#pragma once

#include <vector>

struct FrameStats {
    bool measuring;           // off: the clock is never read
    double engineSeconds;     // accumulated during the frame being built
    double lastEngineSeconds; // the whole of the last finished frame
};

extern FrameStats frameStats;

// Starts a run's statistics: both sums 0. Whether to measure is the caller's choice and stays.
void resetFrameStats();

// The steady clock in seconds while measuring; 0 otherwise.
double engineClock();
// Adds the time since `start` (from engineClock) to the frame being built.
void addEngineTime(double start);
// Closes the frame: its total becomes lastEngineSeconds and the next frame starts at 0.
void finishFrameStats();

// Frame times (seconds between presented frames) summed up: frames per second over them all,
// the median, and the 99th percentile (the smallest time at least 99 % of frames do not exceed).
struct FrameTimeSummary {
    double framesPerSecond;
    double medianSeconds;
    double percentile99Seconds;
};

FrameTimeSummary summarizeFrameTimes(std::vector<double> frameSeconds); // all zero when empty
