// The window layer over GLFW 3, with the scripted and the recorded input sources beside it.
#include "platform/file_write.h"
#include "platform/frame_capture.h"
#include "platform/input_script.h"
#include "platform/keys.h"
#include "platform/recording.h"
#include "platform/session_input.h"
#include "platform/window.h"

#include <epoxy/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace valley {

namespace {

GLFWwindow* window = nullptr;

InputScript* script = nullptr;
int scriptFrameIndex = 0; // index into script->frames of the frame being built
int scriptMouseX = 0;
int scriptMouseY = 0;

// The key names are GLFW's own codes (platform/keys.h).
static_assert(keyEscape == GLFW_KEY_ESCAPE && keyEnter == GLFW_KEY_ENTER && keyRight == GLFW_KEY_RIGHT &&
                  keyLeft == GLFW_KEY_LEFT && keyDown == GLFW_KEY_DOWN && keyUp == GLFW_KEY_UP &&
                  keyF1 == GLFW_KEY_F1 && keyF12 == GLFW_KEY_F12 && keyLeftShift == GLFW_KEY_LEFT_SHIFT &&
                  keyLeftControl == GLFW_KEY_LEFT_CONTROL && keyLeftAlt == GLFW_KEY_LEFT_ALT &&
                  keyRightShift == GLFW_KEY_RIGHT_SHIFT && keyRightControl == GLFW_KEY_RIGHT_CONTROL &&
                  keyRightAlt == GLFW_KEY_RIGHT_ALT && keySpace == GLFW_KEY_SPACE && 'A' == GLFW_KEY_A &&
                  '0' == GLFW_KEY_0,
              "key names are GLFW key codes");

const ScriptFrame* currentScriptFrame() {
    if (script == nullptr || scriptFrameIndex >= static_cast<int>(script->frames.size())) {
        return nullptr;
    }
    return &script->frames[scriptFrameIndex];
}

void applyScriptedMouse() {
    const ScriptFrame* frame = currentScriptFrame();
    if (frame != nullptr && frame->movesMouse) {
        scriptMouseX = frame->mouseX;
        scriptMouseY = frame->mouseY;
    }
}

bool listed(const std::vector<int>& held, int code) {
    return std::find(held.begin(), held.end(), code) != held.end();
}

// Reads the back buffer into a PNG file.
Problem captureBackBuffer(const std::string& path) {
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    glReadBuffer(GL_BACK);
    return captureFrame(path, width, height);
}

int liveKey(int key) {
    if (script != nullptr) {
        const ScriptFrame* frame = currentScriptFrame();
        return frame != nullptr && listed(frame->keys, key) ? 1 : 0;
    }
    if (window == nullptr) {
        return 0;
    }
    return glfwGetKey(window, key) == GLFW_PRESS ? 1 : 0;
}

int liveMouseButton(int button) {
    if (script != nullptr) {
        const ScriptFrame* frame = currentScriptFrame();
        return frame != nullptr && listed(frame->buttons, button) ? 1 : 0;
    }
    if (window == nullptr) {
        return 0;
    }
    return glfwGetMouseButton(window, GLFW_MOUSE_BUTTON_1 + button) == GLFW_PRESS ? 1 : 0;
}

// A cursor coordinate in whole pixels, clamped first: a captured cursor's position is virtual
// and keeps growing with the motion.
int wholePixel(double coordinate) {
    const double bound = 1 << 30;
    return static_cast<int>(std::clamp(std::isnan(coordinate) ? 0.0 : coordinate, -bound, bound));
}

void liveMousePos(int& x, int& y) {
    if (script != nullptr) {
        x = scriptMouseX;
        y = scriptMouseY;
        return;
    }
    double cx = 0.0;
    double cy = 0.0;
    if (window != nullptr) {
        glfwGetCursorPos(window, &cx, &cy);
    }
    x = wholePixel(cx);
    y = wholePixel(cy);
}

// The keyboard and mouse now, from the desktop or the script.
InputState liveInput() {
    InputState input = {0, 0, 0, 0};
    for (int slot = 0; slot < keySlotCount; ++slot) {
        const int key = slotKey(slot);
        setKey(input, key, liveKey(key) != 0);
    }
    for (int button = 0; button < mouseButtonCount; ++button) {
        setButton(input, button, liveMouseButton(button) != 0);
    }
    liveMousePos(input.mouseX, input.mouseY);
    return input;
}

} // namespace

bool platformInit() { return glfwInit() == GLFW_TRUE; }

void platformTerminate() {
    glfwTerminate();
    window = nullptr;
}

bool platformOpenWindow(int width, int height, int redBits, int greenBits, int blueBits, int alphaBits,
                        int depthBits, int stencilBits) {
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_RED_BITS, redBits);
    glfwWindowHint(GLFW_GREEN_BITS, greenBits);
    glfwWindowHint(GLFW_BLUE_BITS, blueBits);
    glfwWindowHint(GLFW_ALPHA_BITS, alphaBits);
    glfwWindowHint(GLFW_DEPTH_BITS, depthBits);
    glfwWindowHint(GLFW_STENCIL_BITS, stencilBits);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE); // shown where it was placed, by platformCaptureCursor
    window = glfwCreateWindow(width, height, "", nullptr, nullptr);
    if (window == nullptr) {
        return false;
    }
    glfwMakeContextCurrent(window);
    if (epoxy_gl_version() < 20) {
        glfwDestroyWindow(window);
        window = nullptr;
        return false;
    }
    // Input is read once a frame: a key or button pressed and released between two reads (a tap
    // while a slow renderer takes 30 ms a frame) still reads as held in the next one.
    glfwSetInputMode(window, GLFW_STICKY_KEYS, GLFW_TRUE);
    glfwSetInputMode(window, GLFW_STICKY_MOUSE_BUTTONS, GLFW_TRUE);
    return true;
}

void platformCloseWindow() {
    if (window != nullptr) {
        glfwDestroyWindow(window);
        window = nullptr;
    }
}

void platformSetWindowTitle(const char* title) {
    if (window != nullptr) {
        glfwSetWindowTitle(window, title);
    }
}

VideoMode platformDesktopMode() {
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor == nullptr ? nullptr : glfwGetVideoMode(monitor);
    if (mode == nullptr) {
        return VideoMode{0, 0, 0, 0, 0};
    }
    return VideoMode{mode->width, mode->height, mode->redBits, mode->blueBits, mode->greenBits};
}

void platformSetWindowPos(int x, int y) {
    if (window != nullptr) {
        glfwSetWindowPos(window, x, y);
    }
}

void platformCaptureCursor() {
    if (window == nullptr) {
        return;
    }
    // Shown only now, in its final place: a window shown and then moved queues an enter event
    // whose position, relative to the old place, the captured cursor would take for motion.
    if (glfwGetWindowAttrib(window, GLFW_VISIBLE) == GLFW_FALSE) {
        glfwShowWindow(window);
    }
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
    // Capturing reads the pointer and warps it to the centre; what showing and capturing queued
    // (entering the window, the warp) is handled now, and the captured cursor then starts at the
    // centre, so the first frame sees no motion wherever the pointer rested.
    glfwPollEvents();
    int width = 0;
    int height = 0;
    glfwGetWindowSize(window, &width, &height);
    glfwSetCursorPos(window, width / 2, height / 2);
}

void platformSwapInterval(int interval) {
    if (window != nullptr) {
        glfwSwapInterval(sessionUnpaced() ? 0 : interval);
    }
}

void platformSwapBuffers() {
    const ScriptFrame* frame = currentScriptFrame();
    if (frame != nullptr && frame->onPresent) {
        frame->onPresent();
    }
    if (window != nullptr) {
        if (frame != nullptr && !frame->capturePath.empty()) {
            captureBackBuffer(frame->capturePath);
        }
        std::string sessionCapture = sessionCapturePath();
        if (!sessionCapture.empty()) {
            sessionCaptured(sessionCapture, captureBackBuffer(sessionCapture));
        }
        glfwSwapBuffers(window);
    }
    sessionPresented();
}

void platformEndTick() {
    sessionTickDone();
    if (window != nullptr) {
        glfwPollEvents();
    }
    if (script != nullptr) {
        ++scriptFrameIndex;
        applyScriptedMouse();
    }
}

bool platformTicksPaced() {
    return window != nullptr && script == nullptr && !sessionUnpaced();
}

double platformClock() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool platformWait(double seconds) {
    if (seconds > 0.0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
    return true;
}

bool platformWindowOpen() {
    if (window == nullptr || glfwWindowShouldClose(window)) {
        return false;
    }
    return (script == nullptr || currentScriptFrame() != nullptr) && !sessionReplayOver();
}

InputState platformPoll() { return sessionPoll(liveInput); }

void platformSetMousePos(int x, int y) {
    if (sessionReplaying()) {
        return; // the recording holds where the mouse was after the move
    }
    if (script != nullptr) {
        scriptMouseX = x;
        scriptMouseY = y;
        return;
    }
    if (window != nullptr) {
        glfwSetCursorPos(window, x, y);
    }
}

void platformUseScript(InputScript* newScript) {
    script = newScript;
    scriptFrameIndex = 0;
    scriptMouseX = 640;
    scriptMouseY = 360;
    applyScriptedMouse();
}

void platformRewind() {
    platformUseScript(script);
    sessionRewind();
}

int platformScriptFrame() { return script == nullptr ? 0 : scriptFrameIndex + 1; }

} // namespace valley
