#include "physics/physics_step.h"

#include "core/object_list.h"
#include "core/vec_math.h"
#include "physics/broad_phase.h"
#include "physics/contact.h"
#include "physics/physics_world.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace valley {

namespace {

const float restingSpeed = 0.3f; // slower approaches to a box stop dead
const float boxRestitution = 0.5f;
const float approachBand = 0.075f; // closing speeds within it blend bounce into push
const float approachWidth = 0.15f;
const float bodyRestitution = 0.85f;
const float pushFactor = 0.095f;
const float tangentKeep = 0.99f;
const float tangentTake = 0.01f;

// False only when the sphere cannot overlap the box nor touch its rim. Where the contact test
// finds an overlap, the box-space centre lies within halfExtent + |radius| of the box centre
// along each box axis, so within the length of that sum; the 1% margin is far above the float
// rounding of the test's own offset and turns. Worked in double; any non-finite value keeps the
// full test.
bool mayTouch(const BoxCollider& box, const CollisionSphere& sphere) {
    const double r = std::fabs(static_cast<double>(sphere.radius));
    const double hx = std::fabs(static_cast<double>(box.halfExtent.x)) + r;
    const double hy = std::fabs(static_cast<double>(box.halfExtent.y)) + r;
    const double hz = std::fabs(static_cast<double>(box.halfExtent.z)) + r;
    const double dx = static_cast<double>(sphere.center.x) - static_cast<double>(box.position.x);
    const double dy = static_cast<double>(sphere.center.y) - static_cast<double>(box.position.y);
    const double dz = static_cast<double>(sphere.center.z) - static_cast<double>(box.position.z);
    const double distanceSquared = dx * dx + dy * dy + dz * dz;
    const double reachSquared = (hx * hx + hy * hy + hz * hz) * 1.01;
    return !(std::isfinite(distanceSquared) && distanceSquared > reachSquared);
}

// Bounces off every box the sphere overlaps; the push out of the last one is kept.
void collideWithBoxes(RigidBody& body, const ObjectList& boxes) {
    ContactResult contact = {};
    for (ListNode* node = boxes.head; node != nullptr; node = node->next) {
        const BoxCollider& box = *static_cast<const BoxCollider*>(node->payload);
        if (!mayTouch(box, *body.sphere)) {
            continue; // its penetration could not be negative
        }
        contactSphereBox(contact, box, *body.sphere);
        if (!(contact.penetration < 0.0f)) {
            continue;
        }
        const Vec3& n = contact.normal;
        const float e = contact.penetration;
        const FrameTurns frame = frameTurnsOf(n);
        Vec3 v = body.velocity;
        intoFrame(v, frame);
        if (v.x < 0.0f) {
            v.x = v.x > -restingSpeed ? 0.0f : -boxRestitution * v.x;
        }
        body.nextPosition = subtract(body.position, scale(n, e));
        outOfFrame(v, frame);
        body.velocity = v;
    }
}

// Exchanges momentum with one overlapping body (overlap q < 0) and adds to the push apart.
// d runs from the other body to this one, and frame is its frame.
void respondToBody(RigidBody& body, const RigidBody& other, float q, const Vec3& d, const FrameTurns& frame,
                   Vec3& push, int& pushCount) {
    const CollisionSphere& own = *body.sphere;
    const CollisionSphere& theirs = *other.sphere;
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
    const float x = s.x + bodyRestitution * k * (o.x * theirs.mass / own.mass - p * own.mass / theirs.mass);
    if (body.touchingBefore) {
        Vec3 u = d;
        normalize(u);
        push.x += u.x * -q * pushFactor * t;
        push.y += u.y * -q * pushFactor * t;
        push.z += u.z * -q * pushFactor * t;
        ++pushCount;
    }
    Vec3 v = {x, tangentKeep * s.y + tangentTake * o.y, tangentKeep * s.z + tangentTake * o.z};
    outOfFrame(v, frame);
    body.velocity = v;
}

void collideWithBodies(RigidBody& body, uint32_t index, const OverlapPairs& overlapPairs) {
    Vec3 push = {0.0f, 0.0f, 0.0f};
    int pushCount = 0;
    bool touched = false;
    if (body.sphere->enabled) {
        // The frames depend only on places, which stay put during this body's pass: worked out
        // a few at a time ahead of the responses, their long chains of dependent operations
        // can overlap.
        const int batch = 8;
        Vec3 gaps[batch];
        FrameTurns frames[batch];
        const OverlapPairs::Neighbour* begin = overlapPairs.begin(index);
        const std::ptrdiff_t total = overlapPairs.end(index) - begin;
        for (std::ptrdiff_t first = 0; first < total; first += batch) {
            const OverlapPairs::Neighbour* n = begin + first;
            const int count = static_cast<int>(std::min<std::ptrdiff_t>(batch, total - first));
            for (int k = 0; k < count; ++k) {
                const RigidBody& other = overlapPairs.body(n[k].index);
                gaps[k] = subtract(body.position, other.position);
                frames[k] = frameTurnsOf(gaps[k]);
            }
            for (int k = 0; k < count; ++k) {
                touched = true;
                respondToBody(body, overlapPairs.body(n[k].index), n[k].overlap, gaps[k], frames[k], push,
                              pushCount);
            }
        }
    }
    if (pushCount > 0) {
        body.nextPosition = add(body.nextPosition, push);
    }
    body.touching = touched;
}

} // namespace

void stepPhysics(ObjectList& bodies, PhysicsWorld& world) {
    OverlapPairs& overlapPairs = world.overlapPairs;
    overlapPairs.find(bodies);
    uint32_t index = 0;
    for (bodies.cursor = bodies.head; bodies.cursor != nullptr;
         bodies.cursor = bodies.cursor->next, ++index) {
        RigidBody& body = *static_cast<RigidBody*>(bodies.cursor->payload);
        if (!body.active) {
            continue;
        }
        body.position = body.place;
        body.nextPosition = body.position;
        collideWithBoxes(body, world.boxes);
        collideWithBodies(body, index, overlapPairs);
    }
    overlapPairs.trim();
}

void integrateBodies(ObjectList& bodies) {
    for (bodies.cursor = bodies.head; bodies.cursor != nullptr; bodies.cursor = bodies.cursor->next) {
        RigidBody& body = *static_cast<RigidBody*>(bodies.cursor->payload);
        if (!body.active) {
            continue;
        }
        body.touchingBefore = body.touching;
        body.nextPosition = add(body.nextPosition, body.velocity);
        body.place = body.nextPosition;
        body.position = body.nextPosition;
        body.previousVelocity = body.velocity;
    }
}

} // namespace valley
