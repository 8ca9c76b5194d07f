#include "physics/physics_step.h"

#include "core/object_list.h"
#include "core/vec_math.h"
#include "physics/contact.h"
#include "physics/physics_world.h"
#include "render/render_object.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

const float restingSpeed = 0.3f;      // slower approaches to a box stop dead
const float boxRestitution = 0.5f;
const float approachBand = 0.075f;    // closing speeds within it blend bounce into push
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
    const FrameTurns frame = frameTurnsOf(d);
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

// Overlap of two spheres as the body pass measures it: negative when they overlap. The same
// bits whichever of the two is the own sphere: the differences only change sign, and the sum
// of the radii is commutative.
float overlapOf(const Vec3& ownCentre, float ownRadius, const Vec3& theirCentre, float theirRadius) {
    const float dx = theirCentre.x - ownCentre.x;
    const float dy = theirCentre.y - ownCentre.y;
    const float dz = theirCentre.z - ownCentre.z;
    const float reach = theirRadius + ownRadius;
    return dx * dx + dy * dy + dz * dz - reach * reach;
}

// The overlapping sphere pairs of one step, for each body in list order.
//
// A body meets every other body whose enabled sphere overlaps its own, in list order; pairs
// that do not overlap change nothing. Sphere centres, radii and enabled flags stay as they are
// during a step (only positions and velocities change), so the pairs are found once, before
// the bodies are visited: a uniform grid over the centres with cells wider than any two radii
// meets every overlapping pair in the same or a neighbouring cell. Buffers are kept from step
// to step.
class OverlapPairs {
public:
    struct Neighbour {
        uint32_t index; // in list order
        float overlap;
    };

    // Lists the bodies and finds every overlapping pair.
    void find(const ObjectList& bodies);
    RigidBody& body(uint32_t index) const { return *bodies_[index]; }
    // The bodies overlapping body index, in list order.
    const Neighbour* begin(uint32_t index) const { return neighbours_.data() + offsets_[index]; }
    const Neighbour* end(uint32_t index) const { return neighbours_.data() + offsets_[index + 1]; }

private:
    struct Cell {
        int32_t x;
        int32_t y;
        int32_t z;
        bool operator==(const Cell& other) const { return x == other.x && y == other.y && z == other.z; }
    };
    struct Entry { // a copy of the sphere's centre and radius, read close together
        Vec3 centre;
        float radius;
        Cell cell;
        uint32_t index;
    };
    struct Pair {
        uint32_t first;
        uint32_t second;
        float overlap;
    };

    Cell cellOf(const Vec3& centre) const;
    uint32_t bucketOf(const Cell& cell) const;
    void addPair(uint32_t first, uint32_t second, float overlap);
    void pairWithinGrid();
    void pairAll();
    void pairIfOverlapping(const Entry& own, const Entry& theirs) {
        const float q = overlapOf(own.centre, own.radius, theirs.centre, theirs.radius);
        if (q < 0.0f) {
            addPair(own.index, theirs.index, q);
        }
    }

    std::vector<RigidBody*> bodies_;
    std::vector<Entry> members_;   // enabled spheres with finite centres, then sorted by bucket
    std::vector<Entry> sorted_;
    std::vector<uint32_t> buckets_; // start of each bucket in sorted_, one more at the end
    std::vector<Pair> pairs_;
    std::vector<uint32_t> offsets_;
    std::vector<uint32_t> fill_;
    std::vector<Neighbour> neighbours_;
    double inverseCell_ = 1.0;
    int shift_ = 64;
};

// Cell indices are clamped: clamping keeps neighbours neighbours, so a far-off centre only
// shares a cell with more others. The limit leaves a neighbour's index 21 bits when offset.
OverlapPairs::Cell OverlapPairs::cellOf(const Vec3& centre) const {
    const double limit = (1 << 20) - 2;
    auto index = [&](float v) {
        return static_cast<int32_t>(std::clamp(std::floor(static_cast<double>(v) * inverseCell_), -limit, limit));
    };
    return {index(centre.x), index(centre.y), index(centre.z)};
}

// The top bits of the packed cell indices times the golden ratio.
uint32_t OverlapPairs::bucketOf(const Cell& cell) const {
    const uint64_t offset = 1u << 20;
    const uint64_t key = (static_cast<uint64_t>(cell.x + offset) << 42) | (static_cast<uint64_t>(cell.y + offset) << 21) |
                         static_cast<uint64_t>(cell.z + offset);
    return static_cast<uint32_t>((key * 0x9e3779b97f4a7c15u) >> shift_);
}

void OverlapPairs::addPair(uint32_t first, uint32_t second, float overlap) {
    if (bodies_[first] != bodies_[second]) { // a body listed twice still never meets itself
        pairs_.push_back({first, second, overlap});
    }
}

void OverlapPairs::find(const ObjectList& bodies) {
    bodies_.clear();
    members_.clear();
    pairs_.clear();
    double largestRadius = 0.0;
    for (ListNode* node = bodies.head; node != nullptr; node = node->next) {
        RigidBody* body = static_cast<RigidBody*>(node->payload);
        const CollisionSphere& sphere = *body->sphere;
        const uint32_t index = static_cast<uint32_t>(bodies_.size());
        bodies_.push_back(body);
        // A sphere that is off, or whose centre is not finite, overlaps nothing (q is never < 0).
        if (sphere.enabled && std::isfinite(sphere.center.x) && std::isfinite(sphere.center.y) &&
            std::isfinite(sphere.center.z)) {
            members_.push_back({sphere.center, sphere.radius, {0, 0, 0}, index});
            largestRadius = std::max(largestRadius, std::fabs(static_cast<double>(sphere.radius)));
        }
    }
    // Two centres of an overlapping pair are at most the sum of two radii apart, give or take
    // a few float roundings, which the 1% margin covers.
    const double cell = std::max(2.02 * largestRadius, 1e-3);
    if (std::isfinite(cell)) {
        inverseCell_ = 1.0 / cell;
        pairWithinGrid();
    } else {
        pairAll();
    }

    // Each pair once for either body, then each body's list in list order.
    offsets_.assign(bodies_.size() + 1, 0);
    for (const Pair& pair : pairs_) {
        ++offsets_[pair.first + 1];
        ++offsets_[pair.second + 1];
    }
    for (size_t i = 1; i < offsets_.size(); ++i) {
        offsets_[i] += offsets_[i - 1];
    }
    fill_.assign(offsets_.begin(), offsets_.end() - 1);
    neighbours_.resize(offsets_.back());
    for (const Pair& pair : pairs_) {
        neighbours_[fill_[pair.first]++] = {pair.second, pair.overlap};
        neighbours_[fill_[pair.second]++] = {pair.first, pair.overlap};
    }
    for (size_t i = 0; i < bodies_.size(); ++i) {
        std::sort(neighbours_.data() + offsets_[i], neighbours_.data() + offsets_[i + 1],
                  [](const Neighbour& a, const Neighbour& b) { return a.index < b.index; });
    }
}

void OverlapPairs::pairWithinGrid() {
    uint32_t buckets = 8;
    shift_ = 61;
    while (buckets < 2 * members_.size()) {
        buckets *= 2;
        --shift_;
    }
    buckets_.assign(buckets + 1, 0);
    for (Entry& entry : members_) {
        entry.cell = cellOf(entry.centre);
        ++buckets_[bucketOf(entry.cell) + 1];
    }
    for (uint32_t b = 1; b <= buckets; ++b) {
        buckets_[b] += buckets_[b - 1];
    }
    fill_.assign(buckets_.begin(), buckets_.end() - 1);
    sorted_.resize(members_.size());
    for (const Entry& entry : members_) {
        sorted_[fill_[bucketOf(entry.cell)]++] = entry;
    }

    // Every pair once: the other in the same cell with a higher index, or in one of the 13
    // neighbouring cells that come after this one.
    static const Cell forward[13] = {{1, 0, 0},  {-1, 1, 0}, {0, 1, 0},   {1, 1, 0},  {-1, -1, 1},
                                     {0, -1, 1}, {1, -1, 1}, {-1, 0, 1},  {0, 0, 1},  {1, 0, 1},
                                     {-1, 1, 1}, {0, 1, 1},  {1, 1, 1}};
    for (const Entry& own : sorted_) {
        const uint32_t ownBucket = bucketOf(own.cell);
        for (uint32_t k = buckets_[ownBucket]; k < buckets_[ownBucket + 1]; ++k) {
            const Entry& theirs = sorted_[k];
            if (theirs.index > own.index && theirs.cell == own.cell) {
                pairIfOverlapping(own, theirs);
            }
        }
        for (const Cell& step : forward) {
            const Cell near = {own.cell.x + step.x, own.cell.y + step.y, own.cell.z + step.z};
            const uint32_t bucket = bucketOf(near);
            for (uint32_t k = buckets_[bucket]; k < buckets_[bucket + 1]; ++k) {
                if (sorted_[k].cell == near) {
                    pairIfOverlapping(own, sorted_[k]);
                }
            }
        }
    }
}

// Radii too large for a grid: every pair of members.
void OverlapPairs::pairAll() {
    for (size_t a = 0; a < members_.size(); ++a) {
        for (size_t b = a + 1; b < members_.size(); ++b) {
            pairIfOverlapping(members_[a], members_[b]);
        }
    }
}

OverlapPairs overlapPairs;

void collideWithBodies(RigidBody& body, uint32_t index) {
    Vec3 push = {0.0f, 0.0f, 0.0f};
    int pushCount = 0;
    bool touched = false;
    if (body.sphere->enabled) {
        for (const OverlapPairs::Neighbour* n = overlapPairs.begin(index); n != overlapPairs.end(index); ++n) {
            touched = true;
            respondToBody(body, overlapPairs.body(n->index), n->overlap, push, pushCount);
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
    overlapPairs.find(bodies);
    uint32_t index = 0;
    for (bodies.cursor = bodies.head; bodies.cursor != nullptr; bodies.cursor = bodies.cursor->next, ++index) {
        RigidBody& body = *static_cast<RigidBody*>(bodies.cursor->payload);
        if (!body.active) {
            continue;
        }
        body.position = body.renderObject->position;
        body.nextPosition = body.position;
        collideWithBoxes(body, world.boxes);
        collideWithBodies(body, index);
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
