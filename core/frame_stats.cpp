#include "core/frame_stats.h"

#include <chrono>

FrameStats frameStats = {0.0, 0.0};

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void finishFrameStats() {
    frameStats.lastEngineSeconds = frameStats.engineSeconds;
    frameStats.engineSeconds = 0.0;
}
