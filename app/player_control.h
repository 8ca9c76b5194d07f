// The player's controls, applied once per frame after drawing: frustum report, fly toggle,
// throwing rocks, camera-mode keys, walking over the terrain, and the selected block's keys.
// All amounts are per frame; distances in world units, angles in degrees.
#pragma once

struct SceneHandles;

void applyPlayerControl(SceneHandles& scene);
