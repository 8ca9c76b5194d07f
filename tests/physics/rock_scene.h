// Scenes of many rocks for the physics step's differential tests and benchmarks: bodies with
// spheres, and boxes, in lists of their own rather than a run's, so
// that two copies of one scene can be stepped side by side.
#pragma once

#include "core/object_list.h"
#include "physics/physics_world.h"

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

using namespace valley;

struct RockState {
    Vec3 position;     // the body's place
    Vec3 centreOffset; // of the sphere centre from the place, as its owner sets it
    float radius;
    float mass;
    Vec3 velocity;
    Vec3 previousVelocity;
    bool active;
    bool sphereEnabled;
    bool touchingBefore;
};

struct BoxState {
    Vec3 position;
    Vec3 halfExtent;
    Vec3 rotation;
};

// The valley's five stone blocks (a cube mesh of extent 1 scaled by each block's scale).
std::vector<BoxState> valleyBlocks();

// Uniform floats from a fixed-seed generator, the same on every standard library.
class SceneRandom {
public:
    explicit SceneRandom(uint32_t seed) : engine_(seed) {}
    float between(float low, float high) {
        return low + (high - low) * static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
    }
    bool chance(float p) { return between(0.0f, 1.0f) < p; }
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(engine_() % n); }

private:
    std::mt19937 engine_;
};

class RockScene {
public:
    RockScene(const std::vector<RockState>& rocks, const std::vector<BoxState>& boxes);
    ~RockScene();
    RockScene(const RockScene&) = delete;
    RockScene& operator=(const RockScene&) = delete;

    ObjectList& bodyList() { return bodyList_; }
    PhysicsWorld& world() { return world_; }
    size_t size() const { return bodies_.size(); }
    RigidBody& body(size_t i) { return bodies_[i]; }
    const RigidBody& body(size_t i) const { return bodies_[i]; }
    CollisionSphere& sphere(size_t i) { return spheres_[i]; }
    const CollisionSphere& sphere(size_t i) const { return spheres_[i]; }

    // What the rocks' own updates do between steps: each active rock keeps its last velocity
    // less drag and gravity, lands on the ground (height at x, z) and rolls down its slope,
    // and moves its sphere centre to itself.
    void updateRocks(const std::function<float(float x, float z)>& groundAt);
    void updateRocks(float groundHeight) {
        updateRocks([groundHeight](float, float) { return groundHeight; });
    }

    // Every rock's body (with its place) and sphere, to be put back later.
    struct Saved {
        std::vector<RigidBody> bodies;
        std::vector<CollisionSphere> spheres;
    };
    Saved save() const;
    void restore(const Saved& saved);

private:
    std::vector<CollisionSphere> spheres_;
    std::vector<RigidBody> bodies_;
    std::vector<BoxCollider> boxes_;
    std::vector<Vec3> offsets_;
    ObjectList bodyList_ = {};
    PhysicsWorld world_ = {};
};
