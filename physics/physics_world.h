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

namespace valley {

struct RenderObject;

struct PhysicsWorld {
    ObjectList heightGrids; // HeightGrid payloads, queried in order
    ObjectList spheres;     // CollisionSphere payloads
    ObjectList boxes;       // BoxCollider payloads, tested in order
    float groundHeight;     // result of the last ground query
    Vec3 groundNormal;      // interpolated vertex normal of the last ground query (not unit)
};

struct CollisionSphere {
    float radius;
    float mass;
    Vec3 center;                // kept up to date by the owner; the contact tests read it
    Vec3 velocity;
    RenderObject* renderObject; // not owned
    bool enabled;               // a disabled sphere touches nothing
    ListNode* sphereNode;       // node in the world's spheres, set by addSphere

    static void* operator new(size_t) { return takeSlot<CollisionSphere>(); }
    static void operator delete(void* sphere) { giveSlot<CollisionSphere>(sphere); }
};

struct RigidBody {
    Vec3 position;              // copied from the render object at the start of a step
    Vec3 previousVelocity;      // velocity as of the last integration
    Vec3 nextPosition;          // where integration puts the body
    Vec3 velocity;
    RenderObject* renderObject; // not owned
    bool active;                // an inactive body is neither moved nor read
    bool touching;              // touched another body in the last step
    bool touchingBefore;        // touching as of the last integration
    CollisionSphere* sphere;    // set by the caller
    ListNode* bodyNode;         // node in the body list, set by addBody

    static void* operator new(size_t) { return takeSlot<RigidBody>(); }
    static void operator delete(void* body) { giveSlot<RigidBody>(body); }
};

// The turns a box's contact test makes, worked out for one rotation.
struct BoxTurns {
    Vec3 rotation;      // the rotation they belong to, compared bit for bit
    AxisTurn into[3];   // by rotation.x, .y, .z: world offsets into box space
    AxisTurn outOf[3];  // by -rotation.x, -.y, -.z: box directions out to the world
    bool valid;
};

struct BoxCollider {
    Vec3 halfExtent;
    Vec3 position;              // set when the collider is made; player control moves one
    Vec3 rotation;              // degrees about x, y, z; player control turns one
    RenderObject* renderObject; // not owned
    bool enabled;
    // Kept by contactSphereBox, which works the turns out again whenever rotation changes.
    mutable BoxTurns turns = {};
};

// Sizes the sphere from the object's mesh extent and x scale; does not register it.
CollisionSphere& makeCollisionSphere(CollisionSphere& sphere, RenderObject& object);
void addSphere(PhysicsWorld& world, CollisionSphere* sphere); // appends to world.spheres

RigidBody& initRigidBody(RigidBody& body, RenderObject& object); // sphere left to the caller
void addBody(ObjectList& bodies, RigidBody* body);               // appends to the body list

// Allocates a box sized by the object's extent and scale at its current place, appends it to
// world.boxes and returns it. The world keeps it for the rest of the run.
BoxCollider* addBoxCollider(PhysicsWorld& world, RenderObject& object);

// Takes a body registered with addBody, and its sphere registered with addSphere, out of
// their lists and deletes both (each allocated with new). Never call it during a step.
void releaseBody(PhysicsWorld& world, ObjectList& bodies, RigidBody* body);

} // namespace valley
