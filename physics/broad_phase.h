// The sphere-pair search of the physics step (broad phase): which bodies' enabled collision
// spheres overlap, found once per step through a uniform grid over the sphere centres.
//
// Units: world units; an overlap is the squared centre distance minus the squared sum of the
// radii, negative when two spheres overlap. y points up, though the grid treats all axes alike.
// The step's one search keeps its buffers between steps, sized by the recent crowds.
#pragma once

#include "core/vec_math.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace valley {

struct ObjectList;
struct RigidBody;

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

    void addPair(uint32_t first, uint32_t second, float overlap);
    void pairIfOverlapping(const Entry& own, const Entry& theirs);
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

} // namespace valley
