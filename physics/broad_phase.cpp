#include "physics/broad_phase.h"

#include "core/object_list.h"
#include "physics/physics_world.h"

#include <algorithm>
#include <cmath>

namespace valley {

namespace {

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

} // namespace

void OverlapPairs::addPair(uint32_t first, uint32_t second, float overlap) {
    if (bodies_[first] != bodies_[second]) { // a body listed twice still never meets itself
        pairs_.push_back({first, second, overlap});
    }
}

void OverlapPairs::pairIfOverlapping(const Entry& own, const Entry& theirs) {
    const float q = overlapOf(own.centre, own.radius, theirs.centre, theirs.radius);
    if (q < 0.0f) {
        addPair(own.index, theirs.index, q);
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
// below 2^61. A centre that is not a number takes cell 0.
void OverlapPairs::sortByCell(double inverseCell) {
    const double limit = 1 << 19;
    cells_.resize(3 * members_.size());
    int32_t lowest[3] = {0, 0, 0};
    int32_t highest[3] = {0, 0, 0};
    for (size_t m = 0; m < members_.size(); ++m) {
        const float along[3] = {members_[m].centre.x, members_[m].centre.y, members_[m].centre.z};
        for (int axis = 0; axis < 3; ++axis) {
            const double index = std::floor(static_cast<double>(along[axis]) * inverseCell);
            const int32_t c = std::isnan(index) ? 0 : static_cast<int32_t>(std::clamp(index, -limit, limit));
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
    const uint64_t rowSteps[4] = {rowLength_, layerLength_ - rowLength_, layerLength_,
                                  layerLength_ + rowLength_};
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

namespace {

// Keeps twice the used part, so that a crowd that stays the same size is not trimmed again.
template <typename T> void trimBuffer(std::vector<T>& buffer) {
    const size_t smallest = 1024; // elements; not worth giving back below this
    if (buffer.capacity() <= smallest || buffer.size() >= buffer.capacity() / 4) {
        return;
    }
    std::vector<T> smaller;
    smaller.reserve(std::max(2 * buffer.size(), smallest));
    smaller.assign(buffer.begin(), buffer.end());
    buffer.swap(smaller);
}

template <typename T> size_t bytesOf(const std::vector<T>& buffer) { return buffer.capacity() * sizeof(T); }

} // namespace

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

} // namespace valley
