// Key and mouse-button names of the engine's input layer.
//
// Letters and digits are named by their upper-case character ('A', '0'); the space bar by ' '.
// The other keys follow the named codes below, above every character code.
#pragma once

enum KeyCode : int {
    keySpace = ' ',
    keyEscape = 256,
    keyEnter,
    keyUp,
    keyDown,
    keyLeft,
    keyRight,
    keyLeftShift,
    keyRightShift,
    keyLeftControl,
    keyRightControl,
    keyLeftAlt,
    keyRightAlt,
    keyF1,
    keyF12 = keyF1 + 11,
    keyCount
};

enum MouseButton : int {
    mouseButtonLeft = 0,
    mouseButtonRight = 1,
    mouseButtonMiddle = 2,
    mouseButtonCount
};
