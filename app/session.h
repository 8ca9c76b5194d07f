// Runs valley as its command line asks: plain play, a recorded session or a replay, with frame
// capture and the timing of a replay. Problems with the arguments or the files are found before
// any window opens: one line on standard error and exit status 2.
//
// Recording and replaying print one closing line with the frame count and the hash of the
// final state (state_hash.h): "Recorded 1800 frames, state 5f3a09c2" / "Replayed ...".
#pragma once

#include "app/command_line.h"
#include "app/startup.h"
#include "platform/recording.h"
#include "platform/session_input.h"

#include <chrono>
#include <vector>

namespace valley {

// What --benchmark measures while the replay runs.
struct ReplayTiming {
    std::vector<double> frameSeconds; // between consecutive presented frames
    std::chrono::steady_clock::time_point firstPresent;
    std::chrono::steady_clock::time_point lastPresent;
    double firstFrameSeconds = 0.0; // from process start (the page's navigation) to the first presented frame
    int frames = 0;
    int firstTick = 0; // the ticks drawn first and last
    int lastTick = 0;
};

// What a recorded, replayed, captured or timed run keeps until it ends.
struct CommandRun {
    CommandLine line;
    SessionInput session;
    RunSetup setup;
    Recording replay;
    ReplayTiming timing;
};

// Runs the program's one run object (app/run.h), fresh, as the command line asks.
int runCommandLine(int argc, const char* const* argv);

} // namespace valley
