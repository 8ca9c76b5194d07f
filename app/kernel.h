// The program-wide record: one Kernel for the whole run, held by the run object (app/run.h).
// Only app/ reads it; the layers below are handed what they work on (docs/code_tour.md, "Layers").
//
// The Kernel owns everything its pointers refer to until the process ends.
#pragma once

#include "core/random.h"
#include "platform/window.h"

#include <cstdint>

namespace valley {

struct Camera;
struct ObjectList;
struct PhysicsWorld;
struct RenderObject;
struct ResourceCache;
struct Texture;

struct Kernel {
    int32_t windowWidth;            // 1280, also the viewport width
    int32_t windowHeight;           // 720
    VideoMode desktopMode;          // read at start-up to centre the window
    int32_t frameCount;             // 0 after start-up, counted at the start of every tick (1/60 s)
    Camera* camera;                 // the run's one camera
    ObjectList* bodyList;           // rigid bodies the physics step moves
    PhysicsWorld* physicsWorld;     // height grids, spheres, boxes, last ground query
    ResourceCache* resources;       // meshes and textures by file name
    Texture* rockTexture;           // shared by the blocks and every rock
    RenderObject* frustumPlates[4]; // oriented by the frustum test
    int32_t liveRockCount;          // rocks set up minus rocks that began fading
    RandomGenerator random;         // the rocks' draws, seeded at start-up
    bool stopRequested;             // ends the frame loop
};

} // namespace valley
