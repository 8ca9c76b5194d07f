// Terrain height under a point: the nearest mesh vertex found through a square grid of
// cells, blended with its neighbours.
//
// Units: world units. y points up; only x and z of a query point matter. The terrain is
// placed by a position and scale, copied when the grid is built; its rotation is not taken into
// account. The grid keeps its own copy of the mesh's vertices, so the mesh may go.
#pragma once

#include "core/vec_math.h"

#include <cstdint>
#include <vector>

namespace valley {

struct Mesh;
struct PhysicsWorld;

// A mesh vertex as the grid keeps it: unscaled position and stored normal.
struct GroundPoint {
    Vec3 position;
    Vec3 normal;
};

struct HeightGrid {
    int32_t side;                   // vertices along each side
    float halfWidth;                // mesh extent along x, unscaled
    Vec3 extent;                    // mesh extent, unscaled: the grid covers it times scale
    Vec3 position;                  // the terrain's place
    Vec3 scale;                     // the terrain's scale
    std::vector<GroundPoint> cells; // the vertex in each cell, row by row along x; side x side
};

// The height and the interpolated vertex normal (not unit) of the ground under a point.
struct GroundSample {
    float height;
    Vec3 normal;
};

// Copies the mesh's vertices into the grid's cells; a cell no vertex falls into holds vertex 0.
HeightGrid& buildHeightGrid(HeightGrid& grid, const Mesh& mesh, const Vec3& position, const Vec3& scale);
void addHeightGrid(PhysicsWorld& world, HeightGrid* grid); // appends to world.heightGrids

// The ground at (x, z) of the last grid covering it; else height 0 and normal (0, 1, 0).
GroundSample groundHeightAt(const PhysicsWorld& world, float x, float z);

} // namespace valley
