// The window layer over GLFW 3, with the scripted and the recorded input sources beside it.
#include "core/printable.h"
#include "core/report.h"
#include "platform/file_read.h"
#include "platform/file_write.h"
#include "platform/frame_capture.h"
#include "platform/input_mapping.h"
#include "platform/input_script.h"
#include "platform/keys.h"
#include "platform/platform_state.h"
#include "platform/recording.h"
#include "platform/session_input.h"
#include "platform/window.h"

#include <epoxy/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <stb/stb_image.h>

namespace valley {

namespace {

// The key names are GLFW's own codes (platform/keys.h).
static_assert(keyEscape == GLFW_KEY_ESCAPE && keyEnter == GLFW_KEY_ENTER && keyRight == GLFW_KEY_RIGHT &&
                  keyLeft == GLFW_KEY_LEFT && keyDown == GLFW_KEY_DOWN && keyUp == GLFW_KEY_UP &&
                  keyF1 == GLFW_KEY_F1 && keyF12 == GLFW_KEY_F12 && keyLeftShift == GLFW_KEY_LEFT_SHIFT &&
                  keyLeftControl == GLFW_KEY_LEFT_CONTROL && keyLeftAlt == GLFW_KEY_LEFT_ALT &&
                  keyRightShift == GLFW_KEY_RIGHT_SHIFT && keyRightControl == GLFW_KEY_RIGHT_CONTROL &&
                  keyRightAlt == GLFW_KEY_RIGHT_ALT && keySpace == GLFW_KEY_SPACE && 'A' == GLFW_KEY_A &&
                  '0' == GLFW_KEY_0,
              "key names are GLFW key codes");

// The run's window, or none.
GLFWwindow* theWindow() { return platform.run.window.window; }

bool listed(const std::vector<int>& held, int code) {
    return std::find(held.begin(), held.end(), code) != held.end();
}

// Reads the back buffer into a PNG file.
Problem captureBackBuffer(const std::string& path) {
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(theWindow(), &width, &height);
    glReadBuffer(GL_BACK);
    return captureFrame(path, width, height);
}

int liveKey(int key) {
    if (platform.script != nullptr) {
        const ScriptFrame* frame = currentScriptFrame();
        return frame != nullptr && listed(frame->keys, key) ? 1 : 0;
    }
    if (theWindow() == nullptr) {
        return 0;
    }
    return glfwGetKey(theWindow(), key) == GLFW_PRESS ? 1 : 0;
}

int liveMouseButton(int button) {
    if (platform.script != nullptr) {
        const ScriptFrame* frame = currentScriptFrame();
        return frame != nullptr && listed(frame->buttons, button) ? 1 : 0;
    }
    if (theWindow() == nullptr) {
        return 0;
    }
    return glfwGetMouseButton(theWindow(), GLFW_MOUSE_BUTTON_1 + button) == GLFW_PRESS ? 1 : 0;
}

// A cursor coordinate in whole pixels, clamped first: a captured cursor's position is virtual
// and keeps growing with the motion.
int wholePixel(double coordinate) {
    const double bound = 1 << 30;
    return static_cast<int>(std::clamp(std::isnan(coordinate) ? 0.0 : coordinate, -bound, bound));
}

void liveMousePos(int& x, int& y) {
    if (platform.script != nullptr) {
        x = platform.run.script.mouseX;
        y = platform.run.script.mouseY;
        return;
    }
    double cx = 0.0;
    double cy = 0.0;
    if (theWindow() != nullptr) {
        glfwGetCursorPos(theWindow(), &cx, &cy);
    }
    x = wholePixel(cx);
    y = wholePixel(cy);
}

// The keyboard and mouse now, from the script, or from the desktop through the mapping.
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
    if (platform.script != nullptr) {
        return input;
    }
    InputState game = mapKeys(platform.mapping, input);
    mapPointer(platform.mapping, platform.run.window.anchor, input.mouseX, input.mouseY, game.mouseX,
               game.mouseY);
    return game;
}

// The desktop's pointer was put at (x, y), where the game's is now too.
void anchorPointer(int x, int y) { platform.run.window.anchor = PointerAnchor{x, y, x, y}; }

// Why the last GLFW call failed, in GLFW's words, or `otherwise` when it gave none.
std::string glfwReason(const char* otherwise) {
    const char* description = nullptr;
    glfwGetError(&description);
    return description != nullptr ? description : otherwise;
}

} // namespace

Problem platformInit() {
    glfwGetError(nullptr); // what an earlier run left is not this one's reason
    if (glfwInit() == GLFW_TRUE) {
        return std::nullopt;
    }
    return glfwReason("no window system could be reached");
}

// The run ends: its state goes with the window system.
void platformTerminate() {
    glfwTerminate();
    freshPlatformRun();
}

Problem platformOpenWindow(int width, int height, int redBits, int greenBits, int blueBits, int alphaBits,
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
    glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
    // The class the desktop entry's StartupWMClass names.
    glfwWindowHintString(GLFW_X11_CLASS_NAME, "valley");
    glfwWindowHintString(GLFW_X11_INSTANCE_NAME, "valley");
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE); // shown where it was placed, by platformCaptureCursor
    glfwGetError(nullptr);
    freshPlatformRun(); // a run starts with its window
    GLFWwindow*& window = platform.run.window.window;
    window = glfwCreateWindow(width, height, "", nullptr, nullptr);
    if (window == nullptr) {
        return glfwReason("no window with OpenGL 2.0 could be made");
    }
    glfwMakeContextCurrent(window);
    const int version = epoxy_gl_version();
    if (version < 20) {
        glfwDestroyWindow(window);
        window = nullptr;
        return "OpenGL 2.0 is not available, only " + std::to_string(version / 10) + "." +
               std::to_string(version % 10);
    }
    // Input is read once a frame: a key or button pressed and released between two reads (a tap
    // while a slow renderer takes 30 ms a frame) still reads as held in the next one.
    glfwSetInputMode(window, GLFW_STICKY_KEYS, GLFW_TRUE);
    glfwSetInputMode(window, GLFW_STICKY_MOUSE_BUTTONS, GLFW_TRUE);
    return std::nullopt;
}

void platformCloseWindow() {
    GLFWwindow*& window = platform.run.window.window;
    if (window != nullptr) {
        glfwDestroyWindow(window);
        window = nullptr;
    }
}

void platformSetWindowTitle(const char* title) {
    if (theWindow() != nullptr) {
        glfwSetWindowTitle(theWindow(), title);
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
    if (theWindow() != nullptr) {
        glfwSetWindowPos(theWindow(), x, y);
    }
}

void platformFramebufferSize(int& width, int& height) {
    width = 0;
    height = 0;
    if (theWindow() != nullptr) {
        glfwGetFramebufferSize(theWindow(), &width, &height);
    }
}

bool platformFullscreen() { return theWindow() != nullptr && glfwGetWindowMonitor(theWindow()) != nullptr; }

void platformSetFullscreen(bool fullscreen) {
    int* place = platform.run.window.windowedPlace;
    if (theWindow() == nullptr || fullscreen == platformFullscreen()) {
        return;
    }
    if (!fullscreen) {
        glfwSetWindowMonitor(theWindow(), nullptr, place[0], place[1], place[2], place[3], GLFW_DONT_CARE);
        return;
    }
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor == nullptr ? nullptr : glfwGetVideoMode(monitor);
    if (mode == nullptr) {
        return;
    }
    glfwGetWindowPos(theWindow(), &place[0], &place[1]);
    glfwGetWindowSize(theWindow(), &place[2], &place[3]);
    glfwSetWindowMonitor(theWindow(), monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
}

Problem platformSetWindowIcon(const std::vector<std::string>& paths) {
    std::vector<GLFWimage> images;
    std::vector<stbi_uc*> pixels;
    Problem problem;
    // An icon is a small PNG: read with a bound, regular files only, its size checked before
    // it is decoded.
    constexpr uint64_t largestIconFile = 4 * 1024 * 1024;
    constexpr int largestIconSide = 1024;
    for (const std::string& path : paths) {
        if (!std::filesystem::exists(path)) {
            continue;
        }
        std::vector<uint8_t> bytes;
        if (Problem unread = readWholeFile(path, largestIconFile, bytes)) {
            problem = printable(path) + ": " + *unread;
            break;
        }
        int width = 0;
        int height = 0;
        int channels = 0;
        const int size = static_cast<int>(bytes.size());
        stbi_uc* rgba = nullptr;
        if (stbi_info_from_memory(bytes.data(), size, &width, &height, &channels) &&
            width <= largestIconSide && height <= largestIconSide) {
            rgba = stbi_load_from_memory(bytes.data(), size, &width, &height, &channels, 4);
        }
        if (rgba == nullptr) {
            problem = printable(path) + ": not a PNG of at most 1024 x 1024 pixels";
            break;
        }
        pixels.push_back(rgba);
        images.push_back(GLFWimage{width, height, rgba});
    }
    if (theWindow() != nullptr && !problem && !images.empty()) {
        glfwSetWindowIcon(theWindow(), static_cast<int>(images.size()), images.data());
    }
    for (stbi_uc* rgba : pixels) {
        stbi_image_free(rgba);
    }
    return problem;
}

void platformCaptureCursor() {
    if (theWindow() == nullptr) {
        return;
    }
    // Shown only now, in its final place: a window shown and then moved queues an enter event
    // whose position, relative to the old place, the captured cursor would take for motion.
    if (glfwGetWindowAttrib(theWindow(), GLFW_VISIBLE) == GLFW_FALSE) {
        glfwShowWindow(theWindow());
    }
    glfwSetInputMode(theWindow(), GLFW_CURSOR, GLFW_CURSOR_DISABLED);
    // Capturing reads the pointer and warps it to the centre; what showing and capturing queued
    // (entering the window, the warp) is handled now, and the captured cursor then starts at the
    // centre, so the first frame sees no motion wherever the pointer rested.
    glfwPollEvents();
    int width = 0;
    int height = 0;
    glfwGetWindowSize(theWindow(), &width, &height);
    glfwSetCursorPos(theWindow(), width / 2, height / 2);
    anchorPointer(width / 2, height / 2);
}

void platformSwapInterval(int interval) {
    if (theWindow() != nullptr) {
        glfwSwapInterval(sessionUnpaced() ? 0 : interval);
    }
}

void platformSwapBuffers() {
    const ScriptFrame* frame = currentScriptFrame();
    if (frame != nullptr && frame->onPresent) {
        frame->onPresent();
    }
    if (theWindow() != nullptr) {
        if (frame != nullptr && !frame->capturePath.empty()) {
            report(captureBackBuffer(frame->capturePath), Failure::write, frame->capturePath);
        }
        std::string sessionCapture = sessionCapturePath();
        if (!sessionCapture.empty()) {
            sessionCaptured(sessionCapture, captureBackBuffer(sessionCapture));
        }
        glfwSwapBuffers(theWindow());
    }
    sessionPresented();
}

void platformEndTick() {
    sessionTickDone();
    if (theWindow() != nullptr) {
        glfwPollEvents();
    }
    if (platform.script != nullptr) {
        ++platform.run.script.frameIndex;
        applyScriptedMouse();
    }
}

bool platformTicksPaced() {
    return theWindow() != nullptr && platform.script == nullptr && !sessionUnpaced();
}

bool platformTickCaptured() { return theWindow() != nullptr && !sessionCapturePath().empty(); }

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
    if (theWindow() == nullptr || glfwWindowShouldClose(theWindow())) {
        return false;
    }
    return (platform.script == nullptr || currentScriptFrame() != nullptr) && !sessionReplayOver();
}

InputState platformPoll() { return sessionPoll(liveInput); }

void platformSetMousePos(int x, int y) {
    if (sessionReplaying()) {
        return; // the recording holds where the mouse was after the move
    }
    if (platform.script != nullptr) {
        platform.run.script.mouseX = x;
        platform.run.script.mouseY = y;
        return;
    }
    if (theWindow() != nullptr) {
        glfwSetCursorPos(theWindow(), x, y);
        anchorPointer(x, y);
    }
}

void platformUseMapping(const InputMapping& mapping) { platform.mapping = mapping; }

void platformUseScript(InputScript* script) {
    platform.script = script;
    platform.run.script = ScriptProgress{};
    applyScriptedMouse();
}

void platformRewind() { freshPlatformRun(); }

int platformScriptFrame() { return platform.script == nullptr ? 0 : platform.run.script.frameIndex + 1; }

} // namespace valley
