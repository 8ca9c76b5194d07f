// The player's controls: which key or mouse button each action of the game is read from. The
// table in game/controls.cpp is the one place a control is bound, one line each; the README's
// controls table lists the same bindings (a test holds the two together). Looking around with the
// mouse is the camera control's (game/camera_control.h), which moves by the movement controls here. The
// settings file moves keys, not table lines (platform/input_mapping.h).
#pragma once

#include "platform/input.h"

namespace valley {

enum class Control {
    quit,
    moveForward,
    moveBack,
    moveLeft,
    moveRight,
    boost,
    boostAlt,
    flyToggle,
    jump,
    throwRock,
    fastThrow,
    steeredThrow,
    frustumReport,
    steerForward,
    steerBack,
    steerLeft,
    steerRight,
    fastSteer,
    rockJump,
    shake,
    pause,
    heightReport,
    freezeCamera,
    freeCamera,
    blockTurnUp,
    blockTurnDown,
    blockTurnLeft,
    blockTurnRight,
    blockLift,
    blockLower,
    fullscreen,
    showControls,
    showStats,
    count
};

// The movement controls held in one poll.
struct MoveControls {
    bool forward;
    bool back;
    bool left;
    bool right;
    bool boost; // 4.5 times faster
};

struct ControlBinding {
    Control control;
    bool mouse;       // a mouse button rather than a key
    int code;         // a key name of platform/keys.h, or a mouse button
    const char* what; // the action as the README's controls table words it
};

const int controlCount = static_cast<int>(Control::count);
extern const ControlBinding controlTable[controlCount]; // in the order of Control

bool controlHeld(const InputState& input, Control control);
MoveControls moveControlsHeld(const InputState& input); // what the camera moves by (game/camera_control.h)

} // namespace valley
