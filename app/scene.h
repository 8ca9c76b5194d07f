// Assembly of the valley scene: terrain, cliff, water, blocks, frustum plates and sky cube.
// Positions and scales in world units, rotations in degrees (x, then z, then y), y up.
#pragma once

#include "game/player_control.h"

namespace valley {

// Below it a rock's centre is under water: 14 above the drawn water (app/scene.cpp) and apart
// from the player's water line (game/player_control.h) on purpose, as the rocks' motion was made.
const float rockWaterLevel = -11.0f;

SceneHandles buildScene(); // once, after start-up
void addFrustumPlates();   // the four frustum plates and the plain cube, sharing one mesh

} // namespace valley
