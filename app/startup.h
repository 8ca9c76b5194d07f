// Engine start-up and shutdown: the containers, the window, fixed OpenGL state, the default
// material, and the whole run of the program. Window sizes and positions are in pixels.
#pragma once

#include "platform/input.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace valley {

struct SceneHandles;
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
    std::function<void(const SceneHandles&)> afterLoop; // once the frame loop has ended
    WindowChoice window;
    std::function<int(int)> afterRun; // once the window has closed: the exit status from the run's
};

// Runs the program: per-run state reset, containers, start-up, scene, frame loop, shutdown. The exit status:
// 0, or 1 when no window with OpenGL 2.0 could be opened, passed through afterRun when set. In the
// browser the loop outlives this call (platformRunLoop), which then does not return.
int runValley(const RunSetup& setup = RunSetup{});

// Sets every piece of per-run state back to how a fresh process has it, so that a run after
// another in the same process gives the results of a first run. Each module global that carries
// over is reset by its own module: the kernel with its camera and live rock count
// (app/kernel.h), the player (app/player_control.h), the frame statistics but whether they are
// measured (core/frame_stats.h), and the platform record's run state (platform/window.h, which
// opening the window starts afresh as well). The pair search's buffers belong to the physics
// world, made anew for every run. The scene's matrices and blend values (app/scene.cpp) are
// written before they are read, by every build of the scene. Left as they are: the slot pools (core/slot_pool.h; which
// slot a record takes changes no result) and the records of earlier runs, which stay with whoever
// keeps them; the random generator is seeded by initKernel.
void resetRunState();
void createContainers();
// False, after one line on standard error, when the window system or the window could not be had;
// GLFW is then still up when only the window failed.
bool initKernel(uint32_t seed, const WindowChoice& window = WindowChoice{});
bool openWindow();
// Takes the window's drawable size, when it has one, as the picture's size and viewport.
void followWindowSize();
// The window icon's files in the data folder (the build tree), else in the icon theme beside
// an installed data folder, one per size.
std::vector<std::string> windowIconFiles();

// Where to put a window of this size to centre it on the desktop; false (leave the window
// where the window system put it) unless both coordinates are positive.
bool centredWindowPosition(const VideoMode& desktop, int width, int height, int& x, int& y);

} // namespace valley
