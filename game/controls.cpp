// The player's controls, one binding a line.
#include "game/controls.h"

#include "core/programmer_error.h"
#include "platform/keys.h"

namespace valley {

const ControlBinding controlTable[controlCount] = {
    {Control::quit, false, keyEscape, "quit"},
    {Control::moveForward, false, 'W', "move forward"},
    {Control::moveBack, false, 'S', "move back"},
    {Control::moveLeft, false, 'A', "move left"},
    {Control::moveRight, false, 'D', "move right"},
    {Control::boost, false, keyLeftShift, "move 4.5 times faster"},
    {Control::boostAlt, false, keyLeftAlt, "move 4.5 times faster"},
    {Control::flyToggle, false, 'Q', "switch between walking and flying"},
    {Control::jump, false, keySpace, "jump (walking), swim up (in the water)"},
    {Control::throwRock, true, mouseButtonLeft, "throw a rock"},
    {Control::fastThrow, false, 'G', "a fast throw"},
    {Control::steeredThrow, true, mouseButtonRight, "rocks thrown while it is held are steered"},
    {Control::frustumReport, true, mouseButtonRight, "report whether block 1 is in view"},
    {Control::steerForward, false, 'I', "steer steered rocks"},
    {Control::steerBack, false, 'K', "steer steered rocks"},
    {Control::steerLeft, false, 'J', "steer steered rocks"},
    {Control::steerRight, false, 'L', "steer steered rocks"},
    {Control::fastSteer, false, 'G', "steered rocks are steered five times harder"},
    {Control::rockJump, false, keySpace, "steered rocks jump off the ground"},
    {Control::shake, false, 'E', "shake every rock"},
    {Control::pause, false, 'F', "pause the physics and the rocks"},
    {Control::heightReport, false, 'H', "print the terrain height under you"},
    {Control::freezeCamera, false, '0', "freeze the camera and reset its angles"},
    {Control::freeCamera, false, '1', "look around again"},
    {Control::blockTurnUp, false, 'I', "turn the selected block"},
    {Control::blockTurnDown, false, 'K', "turn the selected block"},
    {Control::blockTurnLeft, false, 'J', "turn the selected block"},
    {Control::blockTurnRight, false, 'L', "turn the selected block"},
    {Control::blockLift, false, 'V', "lift the selected block"},
    {Control::blockLower, false, 'B', "lower the selected block"},
    {Control::fullscreen, false, keyF11, "switch between the window and fullscreen"},
    {Control::showControls, false, keyF1, "show or hide the controls"},
    {Control::showStats, false, keyF3,
     "show or hide pictures and ticks per second, rocks alive, position and mode"},
};

bool controlHeld(const InputState& input, Control control) {
    VALLEY_ASSERT(control >= Control::quit && control < Control::count);
    const ControlBinding& binding = controlTable[static_cast<int>(control)];
    return binding.mouse ? buttonHeld(input, binding.code) : isHeld(input, binding.code);
}

MoveControls moveControlsHeld(const InputState& input) {
    return MoveControls{controlHeld(input, Control::moveForward), controlHeld(input, Control::moveBack),
                        controlHeld(input, Control::moveLeft), controlHeld(input, Control::moveRight),
                        controlHeld(input, Control::boost) || controlHeld(input, Control::boostAlt)};
}

} // namespace valley
