// The window layer in the browser: a WebGL 1 context on the page's canvas, the page's key, mouse
// and pointer-lock events, and the animation frame as the loop. A session records or replays
// the input as on the desktop; scripted input is the desktop's alone.
//
// The pointer is locked for looking around, and a locked pointer cannot be moved: the layer
// keeps its own cursor, moved by the pointer's motion and set by platformSetMousePos, so the
// camera sees the desktop's motion. Escape is the browser's (it frees the pointer): the engine
// never sees it held, and while the pointer is free a live game does not run.
#include "platform/browser_keys.h"
#include "platform/frame_capture.h"
#include "platform/input_mapping.h"
#include "platform/keys.h"
#include "platform/platform_state.h"
#include "platform/session_input.h"
#include "platform/window.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <type_traits>

namespace valley {

namespace {

const char* const canvas = "#canvas";

static_assert(std::is_same_v<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE, decltype(WindowState::context)>,
              "the platform record holds the context handle as it is");

WindowState& page() { return platform.run.window; }

void forgetInput() {
    WindowState& w = page();
    for (int key = 0; key <= keyRightAlt; ++key) {
        w.keysHeld[key] = w.keysPressed[key] = false;
    }
    for (int button = 0; button < mouseButtonCount; ++button) {
        w.buttonsHeld[button] = w.buttonsPressed[button] = false;
    }
}

EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* event, void*) {
    WindowState& w = page();
    const int key = browserKey(event->code);
    if (key == 0 || key == keyEscape || !w.pointerLocked) {
        return EM_FALSE;
    }
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    w.keysHeld[key] = down;
    w.keysPressed[key] = w.keysPressed[key] || down;
    return browserKeyDefaultKept(key) ? EM_FALSE : EM_TRUE;
}

EM_BOOL onMouseButton(int type, const EmscriptenMouseEvent* event, void*) {
    // The click that takes the pointer (the page asks for it) is no throw.
    WindowState& w = page();
    if (!w.pointerLocked || event->button < 0 || event->button >= mouseButtonCount) {
        return EM_FALSE;
    }
    // The browser numbers the middle button 1 and the right one 2.
    const int button = event->button == 1 ? mouseButtonMiddle : event->button == 2 ? mouseButtonRight : 0;
    const bool down = type == EMSCRIPTEN_EVENT_MOUSEDOWN;
    w.buttonsHeld[button] = down;
    w.buttonsPressed[button] = w.buttonsPressed[button] || down;
    return EM_TRUE;
}

// The settings' pointer scaling: the motion is scaled as it arrives, since the cursor is the
// layer's own.
EM_BOOL onMouseMove(int, const EmscriptenMouseEvent* event, void*) {
    WindowState& w = page();
    const InputMapping& mapping = platform.mapping;
    if (w.pointerLocked) {
        w.cursorX += event->movementX * mapping.sensitivity;
        w.cursorY += event->movementY * mapping.sensitivity * (mapping.invertY ? -1.0 : 1.0);
    }
    return EM_FALSE;
}

EM_BOOL onPointerLock(int, const EmscriptenPointerlockChangeEvent* event, void*) {
    page().pointerLocked = event->isActive;
    forgetInput(); // nothing stays held across a pause
    return EM_FALSE;
}

InputState liveInput() {
    const WindowState& w = page();
    InputState input = {0, 0, 0, 0};
    for (int slot = 0; slot < keySlotCount; ++slot) {
        const int key = slotKey(slot);
        setKey(input, key, w.keysHeld[key] || w.keysPressed[key]);
    }
    for (int button = 0; button < mouseButtonCount; ++button) {
        setButton(input, button, w.buttonsHeld[button] || w.buttonsPressed[button]);
    }
    InputState game = mapKeys(platform.mapping, input);
    game.mouseX = static_cast<int32_t>(w.cursorX);
    game.mouseY = static_cast<int32_t>(w.cursorY);
    return game;
}

void browserFrame() {
    if (platform.loopStep()) {
        return;
    }
    emscripten_cancel_main_loop();
    emscripten_force_exit(platform.loopFinish());
}

} // namespace

Problem platformInit() { return std::nullopt; }

// The context is left to the page, so the run's last picture stays on it; the run's state goes.
void platformTerminate() { freshPlatformRun(); }

Problem platformOpenWindow(int width, int height, int, int, int, int alphaBits, int depthBits,
                           int stencilBits) {
    emscripten_set_canvas_element_size(canvas, width, height);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = alphaBits > 0;
    attributes.depth = depthBits > 0;
    attributes.stencil = stencilBits > 0;
    attributes.antialias = EM_FALSE;
    attributes.majorVersion = 1;
    attributes.enableExtensionsByDefault = EM_TRUE;
    freshPlatformRun(); // a run starts with its context
    WindowState& w = page();
    w.context = emscripten_webgl_create_context(canvas, &attributes);
    if (w.context <= 0) {
        w.context = 0;
        return "this browser gives the page no WebGL 1 context";
    }
    emscripten_webgl_make_context_current(w.context);
    w.canvasWidth = width;
    w.canvasHeight = height;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onKey);
    emscripten_set_mousedown_callback(canvas, nullptr, EM_TRUE, onMouseButton);
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, onMouseButton);
    emscripten_set_mousemove_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, onMouseMove);
    emscripten_set_pointerlockchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE,
                                              onPointerLock);
    return std::nullopt;
}

void platformCloseWindow() {
    if (page().context != 0) {
        emscripten_webgl_destroy_context(page().context);
        page().context = 0;
    }
}

void platformSetWindowTitle(const char* title) { emscripten_set_window_title(title); }

VideoMode platformDesktopMode() { return VideoMode{0, 0, 0, 0, 0}; }

void platformSetWindowPos(int, int) {}

// The canvas keeps its size; the browser's own F11 makes the page fullscreen.
void platformFramebufferSize(int& width, int& height) {
    width = page().canvasWidth;
    height = page().canvasHeight;
}

bool platformFullscreen() { return false; }

void platformSetFullscreen(bool) {}

// The page carries its own icon.
Problem platformSetWindowIcon(const std::vector<std::string>&) { return std::nullopt; }

void platformCaptureCursor() {
    page().cursorX = page().canvasWidth / 2;
    page().cursorY = page().canvasHeight / 2;
}

void platformSwapInterval(int) {}

// The page presents the canvas when the animation frame ends.
void platformSwapBuffers() {
    const std::string capture = sessionCapturePath();
    if (page().context != 0 && !capture.empty()) {
        sessionCaptured(capture, captureFrame(capture, page().canvasWidth, page().canvasHeight));
    }
    sessionPresented();
}

void platformEndTick() {
    sessionTickDone();
    WindowState& w = page();
    for (int key = 0; key <= keyRightAlt; ++key) {
        w.keysPressed[key] = false;
    }
    for (int button = 0; button < mouseButtonCount; ++button) {
        w.buttonsPressed[button] = false;
    }
}

bool platformWindowOpen() { return page().context != 0 && !sessionReplayOver(); }

bool platformTicksPaced() { return page().context != 0 && !sessionUnpaced(); }

bool platformTickCaptured() { return page().context != 0 && !sessionCapturePath().empty(); }

double platformClock() { return emscripten_get_now() / 1000.0; }

bool platformWait(double seconds) { return seconds <= 0.0; }

double platformSecondsSinceStart() { return emscripten_get_now() / 1000.0; }

bool platformPlaying() { return page().pointerLocked || sessionReplaying(); }

int platformRunLoop(const std::function<bool()>& step, const std::function<int()>& finish) {
    platform.loopStep = step;
    platform.loopFinish = finish;
    emscripten_set_main_loop(browserFrame, 0, EM_TRUE); // leaves main; never returns
    return 0;
}

void platformRewind() { freshPlatformRun(); }

InputState platformPoll() { return sessionPoll(liveInput); }

void platformUseMapping(const InputMapping& mapping) { platform.mapping = mapping; }

void platformSetMousePos(int x, int y) {
    if (!sessionReplaying()) {
        page().cursorX = x;
        page().cursorY = y;
    }
}

} // namespace valley
