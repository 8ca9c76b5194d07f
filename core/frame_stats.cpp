#include "core/frame_stats.h"

#include <ctime>

FrameStats frameStats = {false, 0.0, 0.0};

double engineClock() {
    if (!frameStats.measuring) {
        return 0.0;
    }
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void addEngineTime(double start) {
    if (frameStats.measuring) {
        frameStats.engineSeconds += engineClock() - start;
    }
}

void finishFrameStats() {
    frameStats.lastEngineSeconds = frameStats.engineSeconds;
    frameStats.engineSeconds = 0.0;
}
