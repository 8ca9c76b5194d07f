// The player's controls, applied once per tick after drawing: frustum report, fly toggle,
// throwing rocks, camera-mode keys, walking over the terrain, and the selected block's keys.
// All amounts are per tick; distances in world units, angles in degrees; y up.
#pragma once

#include "game/camera_control.h"

namespace valley {

struct BoxCollider;
struct Camera;
struct Mat4;
struct Mesh;
struct RenderObject;
struct Tick;

// What the scene hands the frame loop and the player's controls act on.
struct SceneHandles {
    Mesh* rockMesh;                // the mesh of every thrown rock
    RenderObject* frustumTarget;   // block 1, tested by the frustum report
    RenderObject* selectedBlock;   // block 5, turned and lifted by the player
    BoxCollider* selectedCollider; // block 5's collider, kept in step with it
    Mat4* selectedNormalMatrix;    // block 5's normal matrix, rebuilt every tick
};

// A run starts walking, at rest, with no switch held.
struct PlayerState {
    bool flyToggleHeld = false;  // the fly toggle was held in the previous tick: it acts once per press
    bool flyMode = false;        // flying freely; otherwise walking on the terrain
    bool fullscreenHeld = false; // the fullscreen switch was held in the previous tick
    LookSmoothing look = {0, 0}; // the mouse look's smoothing (game/camera_control.h)
};

// Below it the walking player's eye swims: an eye height, 1.4 above the drawn water
// (app/scene.cpp); the rocks have a water level of their own (app/scene.h).
const float waterLine = -23.6f;
const float standingHeight = 6.0f; // eye height above the ground

// One tick's controls from the tick's input, on the camera the tick's view is; the frustum
// report orients the four plates.
void applyPlayerControl(PlayerState& player, Camera& camera, const Tick& tick, const SceneHandles& scene,
                        RenderObject* const (&frustumPlates)[4]);

} // namespace valley
