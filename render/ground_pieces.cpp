// Ground drawn in pieces by slope: the slope class of a triangle and the index buffer that
// holds a mesh's triangles class by class.
//
// Normals as the terrain shader sees them (identity normal matrix), y up.
#include "render/ground_pieces.h"

#include "assets/mesh.h"

#include <epoxy/gl.h>

#include <cmath>
#include <vector>

namespace {

// Far above the rounding of the interpolation and normalisation a fragment's normal goes
// through (a few units in the last place), far below any slope a player could tell apart.
const float margin = 1.0f / 1024.0f;

bool unitLength(const Vec3& normal) {
    return std::fabs(std::sqrt(dot(normal, normal)) - 1.0f) <= margin;
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
    const float length = std::sqrt(dot(sum, sum));
    if (!(length > margin)) {
        return mixedGround;
    }
    const Vec3 mean = scale(sum, 1.0f / length);
    const float nearest =
        std::fmin(dot(normals[0], mean), std::fmin(dot(normals[1], mean), dot(normals[2], mean)));
    if (nearest > margin && highest <= (rockBelow - margin) * nearest) {
        return steepGround;
    }
    return mixedGround;
}

GroundPieces* makeGroundPieces(const Mesh& mesh) {
    std::vector<uint32_t> bySlope[3];
    for (int32_t t = 0; t < mesh.triangleCount; ++t) {
        const int32_t* corners = &mesh.indices[3 * t];
        Vec3 normals[3] = {};
        for (int i = 0; i < 3; ++i) {
            const float* n = &mesh.vertices[static_cast<size_t>(corners[i]) * mesh.stride + 3];
            normals[i] = {n[0], n[1], n[2]};
        }
        std::vector<uint32_t>& piece = bySlope[groundSlopeOf(normals)];
        piece.insert(piece.end(), corners, corners + 3);
    }
    GroundPieces* pieces = new GroundPieces{};
    std::vector<uint32_t> ordered;
    ordered.reserve(3 * static_cast<size_t>(mesh.triangleCount));
    for (int slope = 0; slope < 3; ++slope) {
        pieces->triangleCount[slope] = static_cast<int32_t>(bySlope[slope].size() / 3);
        ordered.insert(ordered.end(), bySlope[slope].begin(), bySlope[slope].end());
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
