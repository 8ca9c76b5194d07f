// Mouse look and movement of the first-person camera (render/camera.h), once per tick with the
// tick's poll. The mouse is hidden and re-centred at the middle of the window (platform/input.h)
// whenever it reaches the window's edge.
//
// Units: world units and degrees; velocities and damping are per tick. y points up.
#pragma once

#include "platform/input.h"

namespace valley {

struct Camera;

// Smoothed mouse motion, kept from tick to tick; none at the start of a run: it starts at rest.
struct LookSmoothing {
    float x;
    float y;
};

// Turns the camera by the mouse's motion since `last` (the last tick's poll) and moves it by the
// movement controls held in `input`, the tick's poll. Only while the camera's mode is 2. When
// the pointer has reached the window's border it is put back to the centre and `input` polled
// again: the second poll is the tick's input from then on, as recordings hold it.
void updateCamera(Camera& camera, LookSmoothing& look, InputState& input, const InputState& last);

} // namespace valley
