// Assembly of the valley scene: terrain, cliff, water, blocks, frustum plates and sky cube.
// Positions and scales in world units, rotations in degrees (x, then z, then y), y up.
#pragma once

#include "core/vec_math.h"
#include "game/player_control.h"

namespace valley {

// Below it a rock's centre is under water: 14 above the drawn water (app/scene.cpp) and apart
// from the player's water line (game/player_control.h) on purpose, as the rocks' motion was made.
const float rockWaterLevel = -11.0f;

struct Kernel;
struct RunState;

// Values the render objects read by reference for the whole run.
struct SceneValues {
    Mat4 cliffNormal;
    Mat4 terrainNormal;
    Mat4 upperWaterNormal;
    Mat4 lowerWaterNormal;
    Mat4 blockNormals[5];
    float upperWaterBlend;
    float lowerWaterBlend;
};

// Once, after start-up: the scene into the run's kernel; the render objects read run.values.
SceneHandles buildScene(RunState& run);
void addFrustumPlates(Kernel& kernel); // the four frustum plates and the plain cube, sharing one mesh

} // namespace valley
