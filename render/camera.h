// The first-person camera, which polls the keyboard and mouse at the start of every tick (and
// again after re-centring the mouse) and moves with them.
//
// Units: world units and degrees; velocities and damping are per tick. y points up.
// Yaw 0 looks along +x and 90 along +z; positive pitch looks down, kept within -89.9..89.9.
// The mouse is hidden and re-centred at the middle of the window (platform/input.h) whenever it
// reaches the window's edge.
#pragma once

#include "core/vec_math.h"
#include "platform/input.h"

#include <cstdint>

namespace valley {

struct RenderList;

// The movement controls held in one poll; which inputs they are is the controls table's
// (game/controls.h).
struct MoveControls {
    bool forward;
    bool back;
    bool left;
    bool right;
    bool boost; // 4.5 times faster
};
using MoveControlReader = MoveControls (*)(const InputState& input);

// Smoothed mouse motion, kept from tick to tick.
struct LookSmoothing {
    float x;
    float y;
};

struct Camera {
    float fieldOfView;    // degrees, whole vertical angle fed to perspective
    int32_t mode;         // 2: mouse look and movement active; otherwise input is only polled
    float moveSpeed;      // scales the key input; player control rewrites it every tick
    InputState input;     // polled by updateCamera (platformPoll), read by the player's controls
    Vec3 position;        // eye position
    float roll;           // degrees
    float yaw;            // degrees
    float pitch;          // degrees
    Vec3 velocity;        // world units per tick
    RenderList* sceneList; // drawn first; created by start-up
    RenderList* waterList; // drawn second
    float damping;        // velocity factor per tick
    LookSmoothing look;   // degrees per tick; none after initCamera: a run starts at rest
};

Camera& initCamera(Camera& camera);
void updateCamera(Camera& camera, MoveControlReader moveControls);

} // namespace valley
