#include "physics/physics_step.h"

#include "core/object_list.h"
#include "core/vec_math.h"
#include "physics/contact.h"
#include "physics/physics_world.h"
#include "render/render_object.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
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
// the bodies are visited: a uniform grid over the centres, with cells wider than any two radii,
// meets every overlapping pair in the same or a neighbouring cell. The spheres are sorted by
// cell, row by row, and swept once: the rows next to a sphere's own are found by cursors that
// only move forward. Buffers are kept from step to step, and given back once a step uses less
// than a quarter of one, so that they follow the crowd down as well as up.
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
    // Gives back the room of every buffer this step used less than a quarter of.
    void trim();
    size_t bytesHeld() const;

private:
    struct Entry { // a copy of the sphere's centre and radius, read close together
        Vec3 centre;
        float radius;
        uint64_t key; // the cell, numbered row by row
        uint32_t index;
    };
    struct Pair {
        uint32_t first;
        uint32_t second;
        float overlap;
    };

    void addPair(uint32_t first, uint32_t second, float overlap) {
        if (bodies_[first] != bodies_[second]) { // a body listed twice still never meets itself
            pairs_.push_back({first, second, overlap});
        }
    }
    void pairIfOverlapping(const Entry& own, const Entry& theirs) {
        const float q = overlapOf(own.centre, own.radius, theirs.centre, theirs.radius);
        if (q < 0.0f) {
            addPair(own.index, theirs.index, q);
        }
    }
    void sortByCell(double inverseCell);
    void pairWithinGrid();
    void pairAll();
    void listByBody();

    std::vector<RigidBody*> bodies_;
    std::vector<Entry> members_; // enabled spheres with finite centres
    std::vector<Entry> sorted_;  // the same, by cell
    std::vector<int32_t> cells_; // three a member while sorting
    std::vector<uint32_t> counts_;
    std::vector<Pair> pairs_;
    std::vector<uint32_t> offsets_;
    std::vector<uint32_t> fill_;
    std::vector<Neighbour> neighbours_;
    uint64_t rowLength_ = 0;   // cells in a row along x
    uint64_t layerLength_ = 0; // cells in a layer of rows
};

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
            members_.push_back({sphere.center, sphere.radius, 0, index});
            largestRadius = std::max(largestRadius, std::fabs(static_cast<double>(sphere.radius)));
        }
    }
    // Two centres of an overlapping pair are at most the sum of two radii apart, give or take
    // a few float roundings, which the 1% margin covers.
    const double cell = std::max(2.02 * largestRadius, 1e-3);
    if (std::isfinite(cell)) {
        sortByCell(1.0 / cell);
        pairWithinGrid();
    } else {
        pairAll();
    }
    listByBody();
}

// Numbers each member's cell x + rowLength * (y + layerRows * z), from 1 in each direction so
// that every neighbouring cell has a number too, and sorts the members by it (radix sort, 11
// bits a pass, stable). Cell indices are clamped to 2^19 either way: clamping keeps neighbours
// neighbours, so a far-off centre only shares a cell with more others, and the numbers stay
// below 2^61.
void OverlapPairs::sortByCell(double inverseCell) {
    const double limit = 1 << 19;
    cells_.resize(3 * members_.size());
    int32_t lowest[3] = {0, 0, 0};
    int32_t highest[3] = {0, 0, 0};
    for (size_t m = 0; m < members_.size(); ++m) {
        const float along[3] = {members_[m].centre.x, members_[m].centre.y, members_[m].centre.z};
        for (int axis = 0; axis < 3; ++axis) {
            const double index = std::floor(static_cast<double>(along[axis]) * inverseCell);
            const int32_t c = static_cast<int32_t>(std::clamp(index, -limit, limit));
            cells_[3 * m + axis] = c;
            lowest[axis] = m == 0 ? c : std::min(lowest[axis], c);
            highest[axis] = m == 0 ? c : std::max(highest[axis], c);
        }
    }
    rowLength_ = static_cast<uint64_t>(highest[0] - lowest[0]) + 3;
    layerLength_ = rowLength_ * (static_cast<uint64_t>(highest[1] - lowest[1]) + 3);
    uint64_t largestKey = 0;
    for (size_t m = 0; m < members_.size(); ++m) {
        const uint64_t x = static_cast<uint64_t>(cells_[3 * m] - lowest[0] + 1);
        const uint64_t y = static_cast<uint64_t>(cells_[3 * m + 1] - lowest[1] + 1);
        const uint64_t z = static_cast<uint64_t>(cells_[3 * m + 2] - lowest[2] + 1);
        members_[m].key = x + rowLength_ * y + layerLength_ * z;
        largestKey = std::max(largestKey, members_[m].key);
    }

    const int digitBits = 11;
    const uint64_t digitMask = (1u << digitBits) - 1;
    sorted_.resize(members_.size());
    for (int shift = 0; shift == 0 || (shift < 64 && (largestKey >> shift) != 0); shift += digitBits) {
        counts_.assign(digitMask + 2, 0);
        for (const Entry& entry : members_) {
            ++counts_[((entry.key >> shift) & digitMask) + 1];
        }
        for (size_t d = 1; d < counts_.size(); ++d) {
            counts_[d] += counts_[d - 1];
        }
        for (const Entry& entry : members_) {
            sorted_[counts_[(entry.key >> shift) & digitMask]++] = entry;
        }
        members_.swap(sorted_);
    }
    members_.swap(sorted_); // the last pass's output
}

// Every pair once, from the member that comes first by cell: later members of its own cell
// and of the next cell along x, and the three cells around x in the rows of the next y, and
// of y - 1, y and y + 1 in the next layer (the 13 neighbours after a cell; the 13 before it
// find it in turn).
void OverlapPairs::pairWithinGrid() {
    const uint64_t rowSteps[4] = {rowLength_, layerLength_ - rowLength_, layerLength_, layerLength_ + rowLength_};
    size_t cursors[4] = {0, 0, 0, 0};
    const size_t count = sorted_.size();
    for (size_t i = 0; i < count; ++i) {
        const Entry& own = sorted_[i];
        for (size_t j = i + 1; j < count && sorted_[j].key <= own.key + 1; ++j) {
            pairIfOverlapping(own, sorted_[j]);
        }
        for (int row = 0; row < 4; ++row) {
            const uint64_t first = own.key + rowSteps[row] - 1;
            size_t& j = cursors[row];
            while (j < count && sorted_[j].key < first) {
                ++j;
            }
            for (size_t k = j; k < count && sorted_[k].key <= first + 2; ++k) {
                pairIfOverlapping(own, sorted_[k]);
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

// Each pair once for either body, then each body's few in list order.
void OverlapPairs::listByBody() {
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
    for (size_t i = 0; i < bodies_.size(); ++i) { // insertion sort
        Neighbour* first = neighbours_.data() + offsets_[i];
        Neighbour* last = neighbours_.data() + offsets_[i + 1];
        for (Neighbour* n = first + 1; n < last; ++n) {
            const Neighbour moving = *n;
            Neighbour* hole = n;
            for (; hole > first && (hole - 1)->index > moving.index; --hole) {
                *hole = *(hole - 1);
            }
            *hole = moving;
        }
    }
}

// Keeps twice the used part, so that a crowd that stays the same size is not trimmed again.
template <typename T>
void trimBuffer(std::vector<T>& buffer) {
    const size_t smallest = 1024; // elements; not worth giving back below this
    if (buffer.capacity() <= smallest || buffer.size() >= buffer.capacity() / 4) {
        return;
    }
    std::vector<T> smaller;
    smaller.reserve(std::max(2 * buffer.size(), smallest));
    smaller.assign(buffer.begin(), buffer.end());
    buffer.swap(smaller);
}

template <typename T>
size_t bytesOf(const std::vector<T>& buffer) {
    return buffer.capacity() * sizeof(T);
}

void OverlapPairs::trim() {
    trimBuffer(bodies_);
    trimBuffer(members_);
    trimBuffer(sorted_);
    trimBuffer(cells_);
    trimBuffer(pairs_);
    trimBuffer(offsets_);
    trimBuffer(fill_);
    trimBuffer(neighbours_);
}

size_t OverlapPairs::bytesHeld() const {
    return bytesOf(bodies_) + bytesOf(members_) + bytesOf(sorted_) + bytesOf(cells_) + bytesOf(counts_) +
           bytesOf(pairs_) + bytesOf(offsets_) + bytesOf(fill_) + bytesOf(neighbours_);
}

OverlapPairs overlapPairs;

void collideWithBodies(RigidBody& body, uint32_t index) {
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
                respondToBody(body, overlapPairs.body(n[k].index), n[k].overlap, gaps[k], frames[k], push, pushCount);
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
    overlapPairs.trim();
}

size_t broadPhaseBytes() { return overlapPairs.bytesHeld(); }

void integrateBodies(ObjectList& bodies) {
    for (bodies.cursor = bodies.head; bodies.cursor != nullptr; bodies.cursor = bodies.cursor->next) {
        RigidBody& body = *static_cast<RigidBody*>(bodies.cursor->payload);
        if (!body.active) {
            continue;
        }
        body.touchingBefore = body.touching;
        body.nextPosition = add(body.nextPosition, body.velocity);
        body.renderObject->position = body.nextPosition;
        body.position = body.nextPosition;
        body.previousVelocity = body.velocity;
    }
}
