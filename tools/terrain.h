// The valley's ground and the rock wall at its far end.
#pragma once

#include "tools/mesh.h"

#include <vector>

namespace vgen {

// Terrain mesh: side x side grid, mesh units; the scene scales it by 40.
constexpr int terrainSide = 129;
constexpr double terrainHalfWidth = 50.0;
constexpr double terrainScale = 40.0;

// Cliff mesh: placed by the scene at world (0, 0, cliffWorldZ), scale 5.
constexpr int cliffSide = 65;
constexpr double cliffHalfWidth = 60.0;
constexpr double cliffScale = 5.0;
constexpr double cliffWorldZ = 2000.0;

// Ground height in world units at world (x, z) before grid sampling.
double valleyHeight(double x, double z);

// World-unit heights of a square grid centred on the origin, sampled with
// the same triangle split as buildGridMesh uses.
struct HeightField {
    int side = 0;
    double halfWidth = 0;        // world units
    std::vector<double> heights; // index i + side * k
    double sample(double x, double z) const;
};

Mesh buildTerrainMesh();
// Terrain mesh heights in world units.
HeightField terrainHeights(const Mesh& terrain);
// Cliff height in world units at world (x, z); it starts at the terrain
// surface along its front edge and climbs steeply behind it.
double cliffHeight(const HeightField& terrain, double x, double z);
Mesh buildCliffMesh(const HeightField& terrain);

} // namespace vgen
