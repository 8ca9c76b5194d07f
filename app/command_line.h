// The command line of valley. Without arguments it is the plain program; the options choose the
// window and the mouse's look, record a session, replay one, capture the frames presented and
// time a replay.
#pragma once

#include "core/problem.h"

#include <string>

#include "app/startup.h"

namespace valley {

struct CommandLine {
    bool help = false;
    bool version = false;         // --version
    std::string dataFolder;       // --data DIR: where Meshes/, Textures/ and shaders/ lie
    std::string recordPath;       // --record FILE
    std::string replayPath;       // --replay FILE
    bool paced = false;           // --paced: a replay whose ticks follow the clock
    std::string captureDirectory; // --capture DIR
    int captureEvery = 1;         // --every N
    bool benchmark = false;       // --benchmark: time the replay
    WindowChoice window;          // --window WxH, --fullscreen
    float sensitivity = 0.0f;     // --sensitivity X; 0 when not given (the settings file's)
    bool invertY = false;         // --invert-y
    Problem error;                // set when the arguments make no sense
};

CommandLine parseCommandLine(int argc, const char* const* argv);
const char* commandLineUsage(); // the text of --help

} // namespace valley
