#include "physics/physics_step.h"

#include "core/object_list.h"
#include "core/vec_math.h"
#include "physics/contact.h"
#include "physics/physics_world.h"
#include "render/render_object.h"

#include <algorithm>

namespace {

const float restingSpeed = 0.3f;      // slower approaches to a box stop dead
const float boxRestitution = 0.5f;
const float approachBand = 0.075f;    // closing speeds within it blend bounce into push
const float approachWidth = 0.15f;
const float bodyRestitution = 0.85f;
const float pushFactor = 0.095f;
const float tangentKeep = 0.99f;
const float tangentTake = 0.01f;

struct Frame {
    float yaw;
    float pitch;
};

Frame frameOf(const Vec3& n) { return {yawOf(n), pitchOf(n)}; }

void intoFrame(Vec3& v, const Frame& frame) {
    rotateY(v, -frame.yaw);
    rotateZ(v, frame.pitch);
}

void outOfFrame(Vec3& v, const Frame& frame) {
    rotateZ(v, -frame.pitch);
    rotateY(v, frame.yaw);
}

// Bounces off every box the sphere overlaps; the push out of the last one is kept.
void collideWithBoxes(RigidBody& body, const ObjectList& boxes) {
    ContactResult contact = {};
    for (ListNode* node = boxes.head; node != nullptr; node = node->next) {
        contactSphereBox(contact, *static_cast<const BoxCollider*>(node->payload), *body.sphere);
        if (!(contact.penetration < 0.0f)) {
            continue;
        }
        const Vec3& n = contact.normal;
        const float e = contact.penetration;
        const Frame frame = frameOf(n);
        Vec3 v = body.velocity;
        intoFrame(v, frame);
        if (v.x < 0.0f) {
            v.x = v.x > -restingSpeed ? 0.0f : -boxRestitution * v.x;
        }
        body.nextPosition = {body.position.x - n.x * e, body.position.y - n.y * e, body.position.z - n.z * e};
        outOfFrame(v, frame);
        body.velocity = v;
    }
}

// Exchanges momentum with one overlapping body (overlap q < 0) and adds to the push apart.
void respondToBody(RigidBody& body, const RigidBody& other, float q, Vec3& push, int& pushCount) {
    const CollisionSphere& own = *body.sphere;
    const CollisionSphere& theirs = *other.sphere;
    const Vec3 d = {body.position.x - other.position.x, body.position.y - other.position.y,
                    body.position.z - other.position.z};
    Vec3 u = d;
    normalize(u);
    const Frame frame = frameOf(d);
    Vec3 o = other.previousVelocity;
    intoFrame(o, frame);
    Vec3 s = body.velocity;
    intoFrame(s, frame);
    Vec3 previous = body.previousVelocity;
    intoFrame(previous, frame);
    const float p = previous.x;

    // t is 0 for a closing approach (full bounce), 1 when separating (full push).
    const float t = std::clamp((p - o.x + approachBand) / approachWidth, 0.0f, 1.0f);
    const float k = 1.0f - t;
    const float x =
        s.x + bodyRestitution * k * (o.x * theirs.mass / own.mass - p * own.mass / theirs.mass);
    if (body.touchingBefore) {
        push.x += u.x * -q * pushFactor * t;
        push.y += u.y * -q * pushFactor * t;
        push.z += u.z * -q * pushFactor * t;
        ++pushCount;
    }
    Vec3 v = {x, tangentKeep * s.y + tangentTake * o.y, tangentKeep * s.z + tangentTake * o.z};
    outOfFrame(v, frame);
    body.velocity = v;
}

void collideWithBodies(RigidBody& body, const ObjectList& bodies) {
    const CollisionSphere& own = *body.sphere;
    Vec3 push = {0.0f, 0.0f, 0.0f};
    int pushCount = 0;
    bool touched = false;
    if (own.enabled) {
        for (ListNode* node = bodies.head; node != nullptr; node = node->next) {
            const RigidBody& other = *static_cast<const RigidBody*>(node->payload);
            const CollisionSphere& theirs = *other.sphere;
            if (&other == &body || !theirs.enabled) {
                continue;
            }
            const float dx = theirs.center.x - own.center.x;
            const float dy = theirs.center.y - own.center.y;
            const float dz = theirs.center.z - own.center.z;
            const float reach = theirs.radius + own.radius;
            const float q = dx * dx + dy * dy + dz * dz - reach * reach;
            if (q < 0.0f) {
                touched = true;
                respondToBody(body, other, q, push, pushCount);
            }
        }
    }
    if (pushCount > 0) {
        body.nextPosition.x += push.x;
        body.nextPosition.y += push.y;
        body.nextPosition.z += push.z;
    }
    body.touching = touched;
}

} // namespace

void stepPhysics(ObjectList& bodies, PhysicsWorld& world) {
    for (bodies.cursor = bodies.head; bodies.cursor != nullptr; bodies.cursor = bodies.cursor->next) {
        RigidBody& body = *static_cast<RigidBody*>(bodies.cursor->payload);
        if (!body.active) {
            continue;
        }
        body.position = body.renderObject->position;
        body.nextPosition = body.position;
        collideWithBoxes(body, world.boxes);
        collideWithBodies(body, bodies);
    }
}

void integrateBodies(ObjectList& bodies) {
    for (bodies.cursor = bodies.head; bodies.cursor != nullptr; bodies.cursor = bodies.cursor->next) {
        RigidBody& body = *static_cast<RigidBody*>(bodies.cursor->payload);
        if (!body.active) {
            continue;
        }
        body.touchingBefore = body.touching;
        body.nextPosition.x += body.velocity.x;
        body.nextPosition.y += body.velocity.y;
        body.nextPosition.z += body.velocity.z;
        body.renderObject->position = body.nextPosition;
        body.position = body.nextPosition;
        body.previousVelocity = body.velocity;
    }
}
