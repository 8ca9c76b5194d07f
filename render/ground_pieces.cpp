// Ground drawn in pieces by slope and tile: the slope class and tile of a triangle and the
// index buffer that holds a mesh's triangles class by class, tile by tile.
//
// Normals as the terrain shader sees them (identity normal matrix), y up.
#include "render/ground_pieces.h"

#include "assets/mesh_data.h"
#include "platform/gl.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace valley {

namespace {

// Far above the rounding of the interpolation and normalisation a fragment's normal goes
// through (a few units in the last place), far below any slope a player could tell apart.
const float margin = 1.0f / 1024.0f;

bool unitLength(const Vec3& normal) { return std::fabs(length(normal) - 1.0f) <= margin; }

Vec3 cornerAt(const Mesh& mesh, int32_t vertex, int32_t offset) {
    const float* v = &mesh.vertices[static_cast<size_t>(vertex) * mesh.stride + offset];
    return {v[0], v[1], v[2]};
}

// Clamped before it becomes an integer: a corner far out (or a mean that overflowed) gives the
// last cell, a NaN the first.
int cellOf(float value, float low, float high) {
    const float cell = (value - low) / (high - low) * groundTilesPerSide;
    if (!(cell >= 0.0f)) {
        return 0;
    }
    return cell < static_cast<float>(groundTilesPerSide) ? static_cast<int>(cell) : groundTilesPerSide - 1;
}

// The box around a tile's corners, as it grows.
struct TileBox {
    Vec3 low = {INFINITY, INFINITY, INFINITY};
    Vec3 high = {-INFINITY, -INFINITY, -INFINITY};

    void take(const Vec3& p) {
        low = {std::fmin(low.x, p.x), std::fmin(low.y, p.y), std::fmin(low.z, p.z)};
        high = {std::fmax(high.x, p.x), std::fmax(high.y, p.y), std::fmax(high.z, p.z)};
    }
    GroundTile tile() const {
        if (!(low.x <= high.x)) {
            return {{0, 0, 0}, 0.0f};
        }
        const Vec3 half = scale(subtract(high, low), 0.5f);
        return {add(low, half), length(half) * (1.0f + margin)};
    }
};

// A triangle's tile: where the mean of its corners' x and z falls on the grid over the box's
// x-z extent, row by row along z.
int tileOf(const Vec3 corners[3], const TileBox& extent) {
    const float x = (corners[0].x + corners[1].x + corners[2].x) / 3.0f;
    const float z = (corners[0].z + corners[1].z + corners[2].z) / 3.0f;
    return cellOf(z, extent.low.z, extent.high.z) * groundTilesPerSide +
           cellOf(x, extent.low.x, extent.high.x);
}

} // namespace

GroundSlope groundSlopeOf(const Vec3 normals[3]) {
    for (int i = 0; i < 3; ++i) {
        if (!unitLength(normals[i])) {
            return mixedGround; // a zero or broken normal: the shader's result is its own affair
        }
    }
    const float lowest = std::fmin(normals[0].y, std::fmin(normals[1].y, normals[2].y));
    const float highest = std::fmax(normals[0].y, std::fmax(normals[1].y, normals[2].y));
    // The unit vectors whose y is at least k > 0 form a convex cone: every blend of three
    // normals inside it stays inside, so its normalised y is at least k.
    if (lowest >= grassAbove + margin) {
        return flatGround;
    }
    // A blend v of the three has v.y <= highest, and |v| >= v.c >= the least n.c for the unit
    // mean direction c: its normalised y is at most highest / (least n.c).
    const Vec3 sum = add(add(normals[0], normals[1]), normals[2]);
    const float sumLength = length(sum);
    if (!(sumLength > margin)) {
        return mixedGround;
    }
    const Vec3 mean = scale(sum, 1.0f / sumLength);
    const float nearest =
        std::fmin(dot(normals[0], mean), std::fmin(dot(normals[1], mean), dot(normals[2], mean)));
    if (nearest > margin && highest <= (rockBelow - margin) * nearest) {
        return steepGround;
    }
    return mixedGround;
}

GroundPieces* makeGroundPieces(const Mesh& mesh) {
    TileBox extent;
    for (int32_t v = 0; v < mesh.vertexCount; ++v) {
        extent.take(cornerAt(mesh, v, 0));
    }
    std::vector<uint32_t> runs[3][groundTileCount];
    TileBox boxes[groundTileCount];
    for (int32_t t = 0; t < mesh.triangleCount; ++t) {
        const int32_t* corners = &mesh.indices[3 * t];
        Vec3 positions[3];
        Vec3 normals[3];
        for (int i = 0; i < 3; ++i) {
            positions[i] = cornerAt(mesh, corners[i], 0);
            normals[i] = cornerAt(mesh, corners[i], 3);
        }
        const int tile = tileOf(positions, extent);
        for (const Vec3& p : positions) {
            boxes[tile].take(p);
        }
        std::vector<uint32_t>& run = runs[groundSlopeOf(normals)][tile];
        run.insert(run.end(), corners, corners + 3);
    }
    GroundPieces* pieces = new GroundPieces{};
    std::vector<uint32_t> ordered;
    ordered.reserve(3 * static_cast<size_t>(mesh.triangleCount));
    for (int slope = steepGround; slope <= mixedGround; ++slope) {
        for (int tile = 0; tile < groundTileCount; ++tile) {
            const std::vector<uint32_t>& run = runs[slope][tile];
            pieces->runs[slope][tile] = {static_cast<int32_t>(ordered.size()),
                                         static_cast<int32_t>(run.size())};
            pieces->triangleCount[slope] += static_cast<int32_t>(run.size() / 3);
            ordered.insert(ordered.end(), run.begin(), run.end());
        }
    }
    for (int tile = 0; tile < groundTileCount; ++tile) {
        pieces->tiles[tile] = boxes[tile].tile();
    }
    glGenBuffers(1, &pieces->indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, pieces->indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(ordered.size() * sizeof(uint32_t)),
                 ordered.data(), GL_STATIC_DRAW);
    return pieces;
}

void freeGroundPieces(GroundPieces* pieces) {
    if (pieces != nullptr) {
        glDeleteBuffers(1, &pieces->indexBuffer);
        delete pieces;
    }
}

} // namespace valley
