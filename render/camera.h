// The first-person camera: the view the lists are drawn from. What moves it (mouse look and the
// movement controls, game/camera_control.h; walking and flying, game/player_control.h) is the
// game's; render only reads where it stands and where it looks.
//
// Units: world units and degrees; velocities and damping are per tick. y points up.
// Yaw 0 looks along +x and 90 along +z; positive pitch looks down, kept within -89.9..89.9.
#pragma once

#include "core/vec_math.h"

#include <cstdint>

namespace valley {

struct RenderList;

struct Camera {
    float fieldOfView;     // degrees, whole vertical angle fed to perspective
    int32_t mode;          // 2: mouse look and movement active; otherwise input is only polled
    float moveSpeed;       // scales the key input; player control rewrites it every tick
    Vec3 position;         // eye position
    float roll;            // degrees
    float yaw;             // degrees
    float pitch;           // degrees
    Vec3 velocity;         // world units per tick
    RenderList* sceneList; // drawn first; created by start-up
    RenderList* waterList; // drawn second
    float damping;         // velocity factor per tick
};

Camera& initCamera(Camera& camera);

} // namespace valley
