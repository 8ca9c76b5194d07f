// Terrain height under a point: the nearest mesh vertex found through a square grid of
// cells, blended with its neighbours.
//
// Units: world units. y points up; only x and z of a query point matter. The terrain object
// is placed by its position and scale; its rotation is not taken into account.
#pragma once

#include <cstdint>

namespace valley {

struct PhysicsWorld;
struct RenderObject;

struct HeightGrid {
    int32_t side;               // vertices along each side
    float halfWidth;            // mesh extent along x, unscaled
    RenderObject* renderObject; // the terrain; not owned
    int32_t* cells;             // vertex number per cell, row by row along x; owned
};

HeightGrid& buildHeightGrid(HeightGrid& grid, RenderObject& object);
void addHeightGrid(PhysicsWorld& world, HeightGrid* grid); // appends to world.heightGrids

// Height at (x, z) of the last grid covering it, else 0; also sets the world's groundHeight
// and groundNormal ((0, 1, 0) outside every grid).
float groundHeightAt(PhysicsWorld& world, float x, float y, float z);

} // namespace valley
