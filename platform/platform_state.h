// The platform's state in one record with one instance, `platform`, read and written by the
// window layer (window_glfw.cpp on the desktop, window_web.cpp in the browser) and the session
// (session_input.cpp) only; nothing outside platform/ includes this header.
//
// Two parts: what the caller chose for the process (the script, the session, the input mapping),
// which stays chosen from run to run, and the run's own state (the window, the run's progress
// through the script and the session, the input seen), which starts afresh as a window opens and
// as the platform terminates (freshPlatformRun). Positions are window pixels, y down.
#pragma once

#include "platform/input.h"
#include "platform/input_mapping.h"
#include "platform/keys.h"

#include <cstddef>
#include <functional>
#include <vector>

#ifndef __EMSCRIPTEN__
struct GLFWwindow;
#endif

namespace valley {

struct InputScript;
struct SessionInput;

// How far a run is through its session.
struct SessionProgress {
    InputState current = {0, 0, valleyWindowWidth / 2, valleyWindowHeight / 2};
    std::vector<InputState> pendingPolls; // recording: the polls of the tick being built
    size_t replayFrame = 0;               // replaying: index of the tick being run
    size_t replayPoll = 0;                // replaying: next poll within it
    int ticksDone = 0;
    bool writeFailed = false; // recording stopped at a failed write
};

// How far a run is through its script, and where the scripted mouse is.
struct ScriptProgress {
    int frameIndex = 0; // index into the script's frames of the frame being built
    int mouseX = valleyWindowWidth / 2;
    int mouseY = valleyWindowHeight / 2;
};

#ifdef __EMSCRIPTEN__
// The canvas's WebGL context and the page's input as its events left it.
struct WindowState {
    int context = 0; // the WebGL context handle; 0 for none
    int canvasWidth = 0;
    int canvasHeight = 0;
    bool pointerLocked = false;
    // Held now, and pressed since the tick began: a key tapped between two ticks reads as held
    // in the next one.
    bool keysHeld[keyRightAlt + 1] = {};
    bool keysPressed[keyRightAlt + 1] = {};
    bool buttonsHeld[mouseButtonCount] = {};
    bool buttonsPressed[mouseButtonCount] = {};
    double cursorX = 0.0; // the layer's own cursor: a locked pointer cannot be moved
    double cursorY = 0.0;
};
#else
// The GLFW window and where the desktop's pointer and the game's last agreed.
struct WindowState {
    GLFWwindow* window = nullptr;
    int windowedPlace[4] = {0, 0, 0, 0}; // x, y, width, height before going fullscreen
    PointerAnchor anchor = {0, 0, 0, 0};
};
#endif

struct PlatformRun {
    WindowState window;
    ScriptProgress script;
    SessionProgress session;
};

struct PlatformState {
    // Chosen by the caller and kept for every later run.
    InputScript* script = nullptr;            // the desktop's input replaced, or none
    SessionInput* session = nullptr;          // recorded or replayed, or none
    InputMapping mapping = identityMapping(); // between the desktop's input and the game's
    std::function<bool()> loopStep;           // the browser's loop, run an animation frame a step
    std::function<int()> loopFinish;
    PlatformRun run;
};

extern PlatformState platform;

struct ScriptFrame;

// The script's frame being built, or none (no script, or its timeline is over).
const ScriptFrame* currentScriptFrame();
// The scripted mouse to where the current frame moves it, if it does.
void applyScriptedMouse();
// The run's state as a fresh process has it, with the scripted mouse where the script's first
// frame puts it; the choices stay.
void freshPlatformRun();

} // namespace valley
