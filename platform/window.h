// The window and input layer: exactly the operations the engine needs from the desktop.
//
// One window, one OpenGL context, one thread. Positions are window pixels, y growing downwards.
// Input comes from the desktop, or from a scripted timeline (input_script.h) when one is set;
// a scripted run also needs no pacing and may capture the frames it presents. A session
// (session_input.h) records the input or replays a recording in place of the desktop. The frame
// loop runs ticks (tick_schedule.h): each tick polls, may present a frame, and ends with
// platformEndTick.
#pragma once

#include "core/problem.h"
#include "platform/input.h"

#include <functional>
#include <string>
#include <vector>

namespace valley {

struct InputMapping;

struct VideoMode {
    int width;
    int height;
    int redBits;
    int blueBits;
    int greenBits;
};

// The two steps that can fail hand back the window system's own reason (no DISPLAY, no
// OpenGL 2.0), or nothing.
Problem platformInit();
// Closes the window, if any, and releases the window system; the run's platform state starts
// afresh, as opening a window starts it (platform/platform_state.h).
void platformTerminate();
// Windowed mode, hidden and resizable, of X11 class "valley"; context made current. A run starts
// here: the input state, the script's and the session's progress are a fresh process's.
Problem platformOpenWindow(int width, int height, int redBits, int greenBits, int blueBits, int alphaBits,
                           int depthBits, int stencilBits);
void platformCloseWindow();
void platformSetWindowTitle(const char* title);
VideoMode platformDesktopMode();
void platformSetWindowPos(int x, int y);
// The drawable area now, in pixels: it follows resizing and fullscreen; 0 x 0 while minimised
// or without a window.
void platformFramebufferSize(int& width, int& height);
// Fullscreen on the primary monitor at its desktop mode, or back to the place and size the
// window had before.
void platformSetFullscreen(bool fullscreen);
bool platformFullscreen();
// The window's icon, one PNG file per size; files that do not exist are left out. The problem
// names the first file that exists but cannot be read.
Problem platformSetWindowIcon(const std::vector<std::string>& paths);
// Shows the window where it was placed, hides the cursor and captures the mouse for looking
// around; the captured mouse starts at the window's centre.
void platformCaptureCursor();
void platformSwapInterval(int interval);
void platformSwapBuffers(); // presents the tick's frame (saving it first when it is to be captured)
void platformEndTick();     // the tick's polls are recorded, a script or replay moves on, events are read
bool platformWindowOpen();
// Whether ticks follow the clock: live play and a paced replay. A script or an unpaced replay
// runs every tick at once and draws each.
bool platformTicksPaced();
// Whether the running tick's picture is to be saved (a session's capture): such a tick is drawn
// even when the schedule would leave it out.
bool platformTickCaptured();
double platformClock(); // the steady clock, in seconds
// Sleeps (nothing for 0 or less) and is true; false at once where the loop must not block (the
// browser: the next animation frame comes back instead).
bool platformWait(double seconds);
double platformSecondsSinceStart(); // since the process started (in the browser: the page's navigation)
// Whether the game runs: always on the desktop; in the browser only while the page holds the
// pointer (after "Click to play", until Escape frees it) or a session drives the input.
bool platformPlaying();
// Runs `step` until it is false, then `finish`, and hands back finish's exit status. In the
// browser each animation frame runs one step: this call does not return (main is left and the
// run's state must outlive it), and finish's status ends the program and goes to the page.
int platformRunLoop(const std::function<bool()>& step, const std::function<int()>& finish);
// The run's platform state as a fresh process has it, as opening a window leaves it: the script
// (input_script.h) from its first frame with the mouse at the centre, the session
// (session_input.h) from its first tick, no window. The script, the session and the mapping
// chosen stay chosen.
void platformRewind();

// One poll of the keyboard and mouse: the session's record when one is replayed, else the
// desktop's or the script's (kept when a session records).
InputState platformPoll();
void platformSetMousePos(int x, int y);
// How the desktop's input becomes the game's (platform/input_mapping.h), kept for every later
// run; scripts and replays do not go through it.
void platformUseMapping(const InputMapping& mapping);

} // namespace valley
