// The program-wide state: one Kernel for the whole run. Only app/ reads it; the layers below are
// handed what they work on (docs/code_tour.md, "Layers").
//
// The Kernel owns everything its pointers refer to until the process ends.
#pragma once

#include "core/random.h"
#include "game/player_control.h"
#include "platform/window.h"

#include <cstdint>

namespace valley {

struct Camera;
struct ObjectList;
struct PhysicsWorld;
struct RenderObject;
struct ResourceCache;
struct Texture;
struct Tick;

struct Kernel {
    int32_t windowWidth;             // 1280, also the viewport width
    int32_t windowHeight;            // 720
    VideoMode desktopMode;           // read at start-up to centre the window
    int32_t frameCount;              // 0 after start-up, counted at the start of every tick (1/60 s)
    InputState input;                // this tick's poll, read by every later step of the tick
    InputState lastInput;            // the last tick's
    Camera* camera;                  // the one camera, made before main with its defaults
    ObjectList* bodyList;            // rigid bodies the physics step moves
    PhysicsWorld* physicsWorld;      // height grids, spheres, boxes, last ground query
    ResourceCache* resources;        // meshes and textures by file name
    Texture* rockTexture;            // shared by the blocks and every rock
    RenderObject* frustumPlates[4];  // oriented by the frustum test
    int32_t liveRockCount;           // rocks set up minus rocks that began fading
    RandomGenerator random;          // the rocks' draws, seeded at start-up
    bool stopRequested;              // ends the frame loop
};

extern Kernel kernel;
extern PlayerState player; // walking, no switch held, the look at rest when the frame loop starts

// Starts a run's kernel and player: every field 0 or none, and the one camera back to its defaults. The
// previous run's containers are not freed: they stay with whoever keeps them.
void resetKernel();

// What the behaviours work on in the running tick, made of the kernel's records.
Tick kernelTick();

} // namespace valley
