// Assembly of the valley scene: terrain, cliff, water, blocks, frustum plates and sky cube.
// Positions and scales in world units, rotations in degrees (x, then z, then y), y up.
#pragma once

namespace valley {

// Below it a rock's centre is under water: 14 above the drawn water (app/scene.cpp) and apart
// from the player's water line (app/player_control.h) on purpose, as the rocks' motion was made.
const float rockWaterLevel = -11.0f;

struct BoxCollider;
struct Mat4;
struct Mesh;
struct RenderObject;

// What the scene hands the frame loop.
struct SceneHandles {
    Mesh* rockMesh;             // the mesh of every thrown rock
    RenderObject* frustumTarget; // block 1, tested by the frustum report
    RenderObject* selectedBlock; // block 5, turned and lifted by the player
    BoxCollider* selectedCollider; // block 5's collider, kept in step with it
    Mat4* selectedNormalMatrix;  // block 5's normal matrix, rebuilt every tick
};

SceneHandles buildScene(); // once, after start-up
void addFrustumPlates();   // the four frustum plates and the plain cube, sharing one mesh

} // namespace valley
