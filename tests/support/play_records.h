// The records one tick of play works on, made fresh for a test as start-up makes them: the camera
// at its defaults drawing two empty render lists, a body list, a physics world, a resource cache,
// this and the last tick's input, the live rock count, the random generator, the player and the
// frustum plates' places. The rocks' water level is the scene's.
//
// The engine keeps its records for the whole run; so do these: they are never freed, and stay
// reachable, so that a leak check at exit reports only records that were really lost.
#pragma once

#include "assets/resource_cache.h"
#include "core/object_list.h"
#include "core/random.h"
#include "game/player_control.h"
#include "game/tick.h"
#include "physics/physics_world.h"
#include "render/camera.h"
#include "render/render_object.h"

#include <cstdint>

using namespace valley;

struct PlayRecords {
    Camera camera;
    RenderList sceneList;
    RenderList waterList;
    ObjectList bodies;
    PhysicsWorld world;
    ResourceCache resources;
    InputState input;
    InputState lastInput;
    const Texture* rockTexture;
    int32_t liveRocks;
    RandomGenerator random;
    float waterLevel;
    PlayerState player;
    RenderObject* frustumPlates[4];
};

// Every object made into the two lists starts with `material`, as the default material.
PlayRecords& freshPlayRecords(ShaderProgram* material = nullptr);
Tick tickOf(PlayRecords& records);
