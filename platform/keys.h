// Key and mouse-button names of the engine's input layer.
//
// Letters and digits are named by their upper-case character ('A', '0'); the space bar by ' '.
// The other keys follow the named codes below, above every character code: GLFW 3's own key
// codes, so that the window asks for a key by its name (platform/window_glfw.cpp checks them).
// Which keys the engine reads at all is the key table of platform/input.h.
#pragma once

namespace valley {

enum KeyCode : int {
    keySpace = ' ',
    keyEscape = 256,
    keyEnter = 257,
    keyRight = 262,
    keyLeft = 263,
    keyDown = 264,
    keyUp = 265,
    keyF1 = 290,
    keyF3 = keyF1 + 2,
    keyF11 = keyF1 + 10,
    keyF12 = keyF1 + 11,
    keyLeftShift = 340,
    keyLeftControl = 341,
    keyLeftAlt = 342,
    keyRightShift = 344,
    keyRightControl = 345,
    keyRightAlt = 346,
};

enum MouseButton : int { mouseButtonLeft = 0, mouseButtonRight = 1, mouseButtonMiddle = 2, mouseButtonCount };

} // namespace valley
