// A flat 5 x 5 ground patch around the origin (x and z from -2 to 2) at one height, with one
// stored normal on every vertex: a terrain whose height query answers exactly these values.
#pragma once

#include "assets/mesh_data.h"
#include "physics/height_grid.h"

#include <cmath>
#include <vector>

using namespace valley;

struct GroundPatch {
    GroundPatch(float height, Vec3 normal, float scale = 1.0f) {
        for (int k = -2; k <= 2; ++k) {
            for (int i = -2; i <= 2; ++i) {
                float vertex[8] = {float(i), height / scale, float(k), normal.x, normal.y, normal.z, 0, 0};
                vertices.insert(vertices.end(), vertex, vertex + 8);
            }
        }
        mesh.vertexCount = 25;
        mesh.stride = 8;
        mesh.vertices = vertices.data();
        mesh.extent = {2, std::fabs(height / scale), 2};
        scales = {scale, scale, scale};
    }
    GroundPatch(const GroundPatch&) = delete;
    GroundPatch& operator=(const GroundPatch&) = delete;

    // Builds the grid and registers it with the physics world.
    void addToWorld(PhysicsWorld& world) {
        addHeightGrid(world, &buildHeightGrid(grid, mesh, {0, 0, 0}, scales));
    }

    std::vector<float> vertices;
    Mesh mesh = {};
    Vec3 scales = {};
    HeightGrid grid = {};
};
