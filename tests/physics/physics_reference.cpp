#include "tests/physics/physics_reference.h"

#include "core/object_list.h"
#include "physics/physics_world.h"

#include <algorithm>
#include <cmath>

using namespace valley;

namespace {

Vec3 boxToWorld(Vec3 v, const Vec3& rotation) {
    rotateX(v, -rotation.x);
    rotateZ(v, -rotation.z);
    rotateY(v, -rotation.y);
    return v;
}

// Into the frame of direction n (n along +x) and back.
void enter(Vec3& v, const Vec3& n) {
    rotateY(v, -yawOf(n));
    rotateZ(v, pitchOf(n));
}

void leave(Vec3& v, const Vec3& n) {
    rotateZ(v, -pitchOf(n));
    rotateY(v, yawOf(n));
}

void bounceOffBoxes(RigidBody& body, const ObjectList& boxes) {
    ContactResult hit = {};
    for (ListNode* node = boxes.head; node != nullptr; node = node->next) {
        referenceContactSphereBox(hit, *static_cast<const BoxCollider*>(node->payload), *body.sphere);
        if (hit.penetration < 0.0f) {
            Vec3 v = body.velocity;
            enter(v, hit.normal);
            if (v.x < 0.0f) {
                v.x = v.x > -0.3f ? 0.0f : -0.5f * v.x;
            }
            leave(v, hit.normal);
            body.velocity = v;
            body.nextPosition = {body.position.x - hit.normal.x * hit.penetration,
                                 body.position.y - hit.normal.y * hit.penetration,
                                 body.position.z - hit.normal.z * hit.penetration};
        }
    }
}

void meetBodies(RigidBody& body, const ObjectList& bodies) {
    const CollisionSphere& mine = *body.sphere;
    Vec3 push = {0.0f, 0.0f, 0.0f};
    bool pushed = false;
    body.touching = false;
    for (ListNode* node = bodies.head; mine.enabled && node != nullptr; node = node->next) {
        const RigidBody& other = *static_cast<const RigidBody*>(node->payload);
        const CollisionSphere& theirs = *other.sphere;
        if (&other == &body || !theirs.enabled) {
            continue;
        }
        const float sx = theirs.center.x - mine.center.x;
        const float sy = theirs.center.y - mine.center.y;
        const float sz = theirs.center.z - mine.center.z;
        const float sum = theirs.radius + mine.radius;
        const float q = sx * sx + sy * sy + sz * sz - sum * sum;
        if (!(q < 0.0f)) {
            continue;
        }
        body.touching = true;
        const Vec3 d = {body.position.x - other.position.x, body.position.y - other.position.y,
                        body.position.z - other.position.z};
        Vec3 theirVelocity = other.previousVelocity;
        Vec3 mySpeed = body.velocity;
        Vec3 myLast = body.previousVelocity;
        enter(theirVelocity, d);
        enter(mySpeed, d);
        enter(myLast, d);
        const float t = std::clamp((myLast.x - theirVelocity.x + 0.075f) / 0.15f, 0.0f, 1.0f);
        const float along =
            mySpeed.x + 0.85f * (1.0f - t) *
                            (theirVelocity.x * theirs.mass / mine.mass - myLast.x * mine.mass / theirs.mass);
        if (body.touchingBefore) {
            Vec3 u = d;
            normalize(u);
            push = {push.x + u.x * -q * 0.095f * t, push.y + u.y * -q * 0.095f * t,
                    push.z + u.z * -q * 0.095f * t};
            pushed = true;
        }
        Vec3 v = {along, 0.99f * mySpeed.y + 0.01f * theirVelocity.y,
                  0.99f * mySpeed.z + 0.01f * theirVelocity.z};
        leave(v, d);
        body.velocity = v;
    }
    if (pushed) {
        body.nextPosition = {body.nextPosition.x + push.x, body.nextPosition.y + push.y,
                             body.nextPosition.z + push.z};
    }
}

} // namespace

// Every face in turn, for an enabled sphere; the result starts as no contact.
static void searchFaces(ContactResult& result, const BoxCollider& box, const CollisionSphere& sphere) {
    Vec3 c = {sphere.center.x - box.position.x, sphere.center.y - box.position.y,
              sphere.center.z - box.position.z};
    rotateY(c, box.rotation.y);
    rotateZ(c, box.rotation.z);
    rotateX(c, box.rotation.x);
    const float local[3] = {c.x, c.y, c.z};
    const float half[3] = {box.halfExtent.x, box.halfExtent.y, box.halfExtent.z};
    const float r = sphere.radius;
    // Faces +x, +z, -z, -x, +y, -y; the in-face axes of each, lower first.
    const int across[6] = {0, 2, 2, 0, 1, 1};
    const float side[6] = {1.0f, 1.0f, -1.0f, -1.0f, 1.0f, -1.0f};
    for (int f = 0; f < 6; ++f) {
        const int a = across[f];
        const int inFace[2] = {a == 0 ? 1 : 0, a == 2 ? 1 : 2};
        const float q = side[f] * local[a];
        const float pen = q - r - half[a];
        EdgeBand bands[2];
        classifyEdgeBands(a, r, c, box.halfExtent, bands);
        const bool outside = bands[0] == EdgeBand::outside || bands[1] == EdgeBand::outside;
        if (outside || !(pen > -half[a])) {
            continue;
        }
        if (f == 0 ? !(pen < 10.0f) : !(pen < 0.0f && std::fabs(pen) < std::fabs(result.penetration))) {
            continue;
        }
        float axis[3] = {0.0f, 0.0f, 0.0f};
        axis[a] = side[f];
        result.penetration = pen;
        result.normal = boxToWorld({axis[0], axis[1], axis[2]}, box.rotation);
        if ((bands[0] != EdgeBand::inside || bands[1] != EdgeBand::inside) && q - half[a] > 0.0f) {
            float gap[3] = {0.0f, 0.0f, 0.0f};
            gap[a] = side[f] * (q - half[a]);
            for (int i = 0; i < 2; ++i) {
                const int b = inFace[i];
                if (bands[i] == EdgeBand::positiveBand) {
                    gap[b] = local[b] - half[b];
                } else if (bands[i] == EdgeBand::negativeBand) {
                    gap[b] = local[b] + half[b];
                }
            }
            const Vec3 g = {gap[0], gap[1], gap[2]};
            result.edgeContact = true;
            result.normal = boxToWorld(g, box.rotation);
            result.penetration = length(g) - r;
        }
    }
}

void referenceContactSphereBox(ContactResult& result, const BoxCollider& box, const CollisionSphere& sphere) {
    result.penetration = 10.0f;
    result.normal = {0.0f, 0.0f, 0.0f};
    if (sphere.enabled) {
        result.edgeContact = false;
        searchFaces(result, box, sphere);
    }
}

void referenceStepPhysics(ObjectList& bodies, PhysicsWorld& world) {
    for (bodies.cursor = bodies.head; bodies.cursor != nullptr; bodies.cursor = bodies.cursor->next) {
        RigidBody& body = *static_cast<RigidBody*>(bodies.cursor->payload);
        if (body.active) {
            body.position = body.place;
            body.nextPosition = body.position;
            bounceOffBoxes(body, world.boxes);
            meetBodies(body, bodies);
        }
    }
}
