#include "core/frame_stats.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>

namespace valley {

double engineClock(const FrameStats& stats) {
    if (!stats.measuring) {
        return 0.0;
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void addEngineTime(FrameStats& stats, double start) {
    if (stats.measuring) {
        stats.engineSeconds += engineClock(stats) - start;
    }
}

void finishFrameStats(FrameStats& stats) {
    stats.lastEngineSeconds = stats.engineSeconds;
    stats.runEngineSeconds += stats.engineSeconds;
    stats.engineSeconds = 0.0;
}

FrameTimeSummary summarizeFrameTimes(std::vector<double> frameSeconds) {
    const size_t count = frameSeconds.size();
    if (count == 0) {
        return FrameTimeSummary{0.0, 0.0, 0.0};
    }
    std::sort(frameSeconds.begin(), frameSeconds.end());
    double total = std::accumulate(frameSeconds.begin(), frameSeconds.end(), 0.0);
    double median = count % 2 == 1 ? frameSeconds[count / 2]
                                   : (frameSeconds[count / 2 - 1] + frameSeconds[count / 2]) * 0.5;
    size_t rank = static_cast<size_t>(std::ceil(0.99 * static_cast<double>(count)));
    return FrameTimeSummary{total > 0.0 ? static_cast<double>(count) / total : 0.0, median,
                            frameSeconds[std::max<size_t>(rank, 1) - 1]};
}

} // namespace valley
