// What a behaviour may touch in one tick: the tick's input and the last tick's, the physics, the
// resources, the scene lists, the view and the rocks' shared values. The frame loop hands one to
// every behaviour's update (game/behaviour_pass.h) and to the setUp of an object made during the
// tick. Everything it refers to outlives the tick.
//
// Units: world units, y up; the water level is a height.
#pragma once

#include "platform/input.h"

#include <cstdint>

namespace valley {

struct Camera;
struct ObjectList;
struct PhysicsWorld;
struct RandomGenerator;
struct RenderList;
struct ResourceCache;
struct Texture;

struct Tick {
    const InputState& input;     // this tick's poll
    const InputState& lastInput; // the last tick's: a control held now and not then was pressed this tick
    PhysicsWorld& world;         // collision records and the ground query
    ObjectList& bodies;          // rigid bodies the physics step moves
    ResourceCache& resources;    // meshes and textures by file name
    RenderList& sceneList;       // where behaviours' objects live (createLogicObject)
    RenderList& waterList;
    const Camera& view;         // where the player looks from: steering follows its yaw
    const Texture* rockTexture; // shared by the blocks and every plain rock
    int32_t& liveRocks;         // rocks set up minus rocks that began fading
    RandomGenerator& random;    // the run's one source of randomness
    float waterLevel;           // below it a rock's centre is under water
};

} // namespace valley
