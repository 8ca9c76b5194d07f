// How much processor time the engine's own work takes each frame: camera, physics, behaviours
// and player control, apart from the OpenGL calls and the wait for the display. Seconds of the
// main thread's CPU clock, so other programs on the machine do not count. Off unless a tool
// turns `measuring` on: reading the clock costs a system call.
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

// The main thread's CPU time in seconds while measuring; 0 otherwise.
double engineClock();
// Adds the CPU time since `start` (from engineClock) to the frame being built.
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
