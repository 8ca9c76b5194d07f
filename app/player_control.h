// The player's controls, applied once per tick after drawing: frustum report, fly toggle,
// throwing rocks, camera-mode keys, walking over the terrain, and the selected block's keys.
// All amounts are per tick; distances in world units, angles in degrees; y up.
#pragma once

namespace valley {

struct SceneHandles;

struct PlayerState {
    bool flyToggleHeld = false;  // the fly toggle was held in the previous tick: it acts once per press
    bool flyMode = false;        // flying freely; otherwise walking on the terrain
    bool fullscreenHeld = false; // the fullscreen switch was held in the previous tick
};

extern PlayerState player; // both false when the frame loop starts

void resetPlayer(); // walking, no switch held: as every run starts

// Below it the walking player's eye swims: an eye height, 1.4 above the drawn water
// (app/scene.cpp); the rocks have a water level of their own (app/scene.h).
const float waterLine = -23.6f;
const float standingHeight = 6.0f;  // eye height above the ground

void applyPlayerControl(SceneHandles& scene);

} // namespace valley
