// Engine start-up and shutdown: the containers, the window, fixed OpenGL state, the default
// material, and the whole run of the program. Window sizes and positions are in pixels.
#pragma once

#include "platform/input.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace valley {

struct Kernel;
struct RunState;
struct VideoMode;

// The window a run opens: its size in pixels when windowed, and whether it starts fullscreen.
struct WindowChoice {
    int width = valleyWindowWidth;
    int height = valleyWindowHeight;
    bool fullscreen = false;
};

// What the command line and a recorded or replayed session change about a run; the defaults
// give the plain program.
struct RunSetup {
    bool seeded = false; // seed the random generator with `seed` instead of the current time
    uint32_t seed = 0;
    std::function<void(const RunState&)> afterLoop; // once the frame loop has ended
    WindowChoice window;
    std::function<int(int)> afterRun; // once the window has closed: the exit status from the run's
};

// Runs the program in `run`, a fresh run object (RunState{}, app/run.h) the caller keeps: containers,
// start-up, scene, frame loop, shutdown. The window layer's script and session start from their
// beginning. The exit status: 0, or 1 when no window with OpenGL 2.0 could be opened, passed
// through afterRun when set. In the browser the loop outlives this call (platformRunLoop), which
// then does not return, and `run` must outlive it too.
int runValley(RunState& run, const RunSetup& setup = RunSetup{});

// The run's camera at its defaults, with the body list, resource cache, physics world and the
// camera's two render lists, all hung off the run's kernel.
void createContainers(RunState& run);
// False, after one line on standard error, when the window system or the window could not be had;
// GLFW is then still up when only the window failed.
bool initKernel(RunState& run, uint32_t seed, const WindowChoice& window = WindowChoice{});
bool openWindow(const Kernel& kernel);
// Takes the window's drawable size, when it has one, as the picture's size and viewport.
void followWindowSize(Kernel& kernel);
// The window icon's files in the data folder (the build tree), else in the icon theme beside
// an installed data folder, one per size.
std::vector<std::string> windowIconFiles();

// Where to put a window of this size to centre it on the desktop; false (leave the window
// where the window system put it) unless both coordinates are positive.
bool centredWindowPosition(const VideoMode& desktop, int width, int height, int& x, int& y);

} // namespace valley
