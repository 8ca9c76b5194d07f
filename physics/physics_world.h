// The collision world and the records the physics step reads: rigid bodies with their
// collision spheres, box colliders, and the world that lists them.
//
// Units: world units and degrees; velocities are per-tick amounts. y points up.
// Rotations follow core/vec_math.h (vector rotations, angles in degrees).
#pragma once

#include "core/object_list.h"
#include "core/slot_pool.h"
#include "core/vec_math.h"
#include "physics/axis_turn.h"
#include "physics/broad_phase.h"

namespace valley {

struct Mesh;

struct PhysicsWorld {
    ObjectList heightGrids;    // HeightGrid payloads, queried in order
    ObjectList boxes;          // BoxCollider payloads, tested in order
    OverlapPairs overlapPairs; // the step's pair search, its buffers kept from step to step
};

struct CollisionSphere {
    float radius;
    float mass;
    Vec3 center; // kept up to date by the owner; the contact tests read it
    Vec3 velocity;
    bool enabled; // a disabled sphere touches nothing

    static void* operator new(size_t) { return takeSlot<CollisionSphere>(); }
    static void operator delete(void* sphere) { giveSlot<CollisionSphere>(sphere); }
};

struct RigidBody {
    Vec3 place;            // the body's place: integration moves it, its owner may between steps
    Vec3 position;         // place as the step reads it: taken up when the step reaches the
                           // body, so until then as the last integration left it
    Vec3 previousVelocity; // velocity as of the last integration
    Vec3 nextPosition;     // where integration puts the body
    Vec3 velocity;
    bool active;             // an inactive body is neither moved nor read
    bool touching;           // touched another body in the last step
    bool touchingBefore;     // touching as of the last integration
    CollisionSphere* sphere; // set by the caller
    ListNode* bodyNode;      // node in the body list, set by addBody

    static void* operator new(size_t) { return takeSlot<RigidBody>(); }
    static void operator delete(void* body) { giveSlot<RigidBody>(body); }
};

// The turns a box's contact test makes, worked out for one rotation.
struct BoxTurns {
    Vec3 rotation;     // the rotation they belong to, compared bit for bit
    AxisTurn into[3];  // by rotation.x, .y, .z: world offsets into box space
    AxisTurn outOf[3]; // by -rotation.x, -.y, -.z: box directions out to the world
    bool valid;
};

struct BoxCollider {
    Vec3 halfExtent;
    Vec3 position; // set when the collider is made; player control moves one
    Vec3 rotation; // degrees about x, y, z; player control turns one
    bool enabled;
    // Kept by contactSphereBox, which works the turns out again whenever rotation changes.
    mutable BoxTurns turns = {};
};

// Sizes the sphere from the mesh extent and the x of the mesh's scale; centre at the origin.
CollisionSphere& makeCollisionSphere(CollisionSphere& sphere, const Mesh& mesh, const Vec3& scale);

RigidBody& initRigidBody(RigidBody& body, const Vec3& position); // sphere left to the caller
void addBody(ObjectList& bodies, RigidBody* body);               // appends to the body list

// Allocates a box sized by the mesh extent and scale, placed and turned as given, appends it to
// world.boxes and returns it. The world keeps it for the rest of the run.
BoxCollider* addBoxCollider(PhysicsWorld& world, const Mesh& mesh, const Vec3& scale, const Vec3& position,
                            const Vec3& rotation);

// Takes a body registered with addBody out of the body list and deletes it and its sphere
// (each allocated with new). Never call it during a step.
void releaseBody(ObjectList& bodies, RigidBody* body);

} // namespace valley
