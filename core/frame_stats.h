// How long the engine's own work takes each tick: camera, physics, behaviours and player
// control, apart from the OpenGL calls and the wait for the display. Seconds of the steady
// clock, which the C library reads without a system call (about 20 ns), where the thread's CPU
// clock (a system call of about 0.5 us) would measure mostly itself. Measure on a quiet machine:
// time the processor spends on another program during an interval counts. Off unless a tool
// turns `measuring` on. A run keeps its own record (app/run.h).
#pragma once

#include <vector>

namespace valley {

struct FrameStats {
    bool measuring;           // off: the clock is never read
    double engineSeconds;     // accumulated during the tick being run
    double lastEngineSeconds; // the whole of the last finished tick
    double runEngineSeconds;  // every finished tick of the run
};

// The steady clock in seconds while measuring; 0 otherwise.
double engineClock(const FrameStats& stats);
// Adds the time since `start` (from engineClock) to the tick being run.
void addEngineTime(FrameStats& stats, double start);
// Closes the tick: its total becomes lastEngineSeconds, joins the run's, and the next starts at 0.
void finishFrameStats(FrameStats& stats);

// Frame times (seconds between presented frames) summed up: frames per second over them all,
// the median, and the 99th percentile (the smallest time at least 99 % of frames do not exceed).
struct FrameTimeSummary {
    double framesPerSecond;
    double medianSeconds;
    double percentile99Seconds;
};

FrameTimeSummary summarizeFrameTimes(std::vector<double> frameSeconds); // all zero when empty

} // namespace valley
