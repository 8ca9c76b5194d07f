// The falling rock: a sphere mesh thrown from the camera that falls under a constant per-tick
// gravity, is slowed by air, ground and water, bounces off the terrain, turns towards its
// direction of travel and rolls, is pushed by the physics step through its collision sphere and
// rigid body, and fades out and disappears once more than 200 rocks are alive.
//
// Units: world units and degrees; velocities, drags and ages are per tick; y up.
#pragma once

#include "core/slot_pool.h"
#include "core/vec_math.h"
#include "game/tick.h"
#include "render/object_logic.h"

#include <cstdint>

namespace valley {

struct CollisionSphere;
struct RigidBody;

const int32_t crowdLimit = 200;    // beyond this many live rocks, rocks age
const int32_t rockKindPlain = 0;   // the shared rock texture
const int32_t rockKindDark = 1;    // "Textures/rock1.bmp"
const int32_t rockKindSteered = 2; // follows the steering controls and jumps (game/controls.h)

class Fall final : public ObjectLogic {
public:
    static void* operator new(size_t) { return takeSlot<Fall>(); }
    static void operator delete(void* fall) { giveSlot<Fall>(fall); }

    void setUp(const Tick& tick) override;            // registers the rock with the tick's physics
    void update(const Tick& tick) override;           // may destroy the owner and this behaviour
    uint32_t hashState(uint32_t hash) const override; // the owner's position, then the velocity

    Vec3 velocity = {0, 0, 0};         // set by the thrower after creation
    Vec3 lastPosition = {0, 0, 0};     // owner position at the end of the previous update
    Vec3 displacement = {0, 0, 0};     // owner movement during the last tick
    float waterLevel = 0;              // below this height the rock is under water
    uint8_t frozen = 0;                // the pause control was held during this update
    int32_t age = 0;                   // ticks counted towards removal
    int32_t lifeSpan = 0;              // an age above this removes the rock
    int32_t fadeParts = 0;             // the fade takes the last 1/fadeParts of the life span
    int32_t kind = 0;                  // rockKindPlain, rockKindDark or rockKindSteered
    uint8_t fading = 0;                // fading has begun; no longer counted as live
    uint8_t firstUpdate = 0;           // no update has run yet
    Mat4 rotationMatrix = {};          // the owner's rotation, bound to its normal-matrix slot
    float blend = 0;                   // bound to the owner's "Blend1" slot
    float steerStep = 0;               // velocity change per tick and steering key
    float groundOffset = 0;            // height above the ground at which the rock rests
    uint8_t airborne = 0;              // above the ground at the last ground test
    CollisionSphere* sphere = nullptr; // the body's sphere
    RigidBody* body = nullptr;         // registered in the body list; holds the rock's place
    float spin = 0;                    // rolling speed

private:
    void steer(const Tick& tick);
    void turnAndRoll(float heading);
    float touchGround(const Tick& tick);
    void slowInWater(const Tick& tick);
    void handToPhysics();
    void fade(const Tick& tick);
    void remove(const Tick& tick);
};

} // namespace valley
