// Mesh arrays in memory: the extent and smooth vertex normals, worked out four vertices or
// triangles at a time where the processor can. Positions and normals are Y-up; each vertex is
// floatsPerVertex floats.

#include "assets/mesh_data.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <vector>

namespace valley {

namespace {

constexpr float largestFloat = 3.4028235e38f;

Vec3 positionOf(const Mesh& mesh, int32_t vertex) {
    const float* v = mesh.vertices + static_cast<size_t>(vertex) * mesh.stride;
    return Vec3{v[0], v[1], v[2]};
}

float* normalOf(Mesh& mesh, int32_t vertex) {
    return mesh.vertices + static_cast<size_t>(vertex) * mesh.stride + 3;
}

#if defined(__SSE2__)
// normalize on four vectors at once, lane by lane the same operations: the same floats.
void normalize4(__m128& x, __m128& y, __m128& z) {
    const __m128 length =
        _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(x, x), _mm_mul_ps(y, y)), _mm_mul_ps(z, z)));
    const __m128 zero = _mm_cmpeq_ps(length, _mm_setzero_ps());
    x = _mm_andnot_ps(zero, _mm_div_ps(x, length));
    y = _mm_andnot_ps(zero, _mm_div_ps(y, length));
    z = _mm_andnot_ps(zero, _mm_div_ps(z, length));
}

// The unit normals of four triangles, (p1 - p2) x (p1 - p0) normalised, lane t for triangle t:
// lane by lane what subtract, cross and normalize do.
void faceNormals4(const Mesh& mesh, const int32_t* corners, float faces[3][4]) {
    // One axis of one corner of the four triangles, lane t for triangle t.
    auto gather = [&mesh, corners](int corner, int axis) {
        auto at = [&](int t) {
            return mesh.vertices[static_cast<size_t>(corners[3 * t + corner]) * mesh.stride + axis];
        };
        return _mm_set_ps(at(3), at(2), at(1), at(0));
    };
    const __m128 p1x = gather(1, 0);
    const __m128 p1y = gather(1, 1);
    const __m128 p1z = gather(1, 2);
    const __m128 ax = _mm_sub_ps(p1x, gather(2, 0));
    const __m128 ay = _mm_sub_ps(p1y, gather(2, 1));
    const __m128 az = _mm_sub_ps(p1z, gather(2, 2));
    const __m128 bx = _mm_sub_ps(p1x, gather(0, 0));
    const __m128 by = _mm_sub_ps(p1y, gather(0, 1));
    const __m128 bz = _mm_sub_ps(p1z, gather(0, 2));
    __m128 x = _mm_sub_ps(_mm_mul_ps(ay, bz), _mm_mul_ps(az, by));
    __m128 y = _mm_sub_ps(_mm_mul_ps(az, bx), _mm_mul_ps(ax, bz));
    __m128 z = _mm_sub_ps(_mm_mul_ps(ax, by), _mm_mul_ps(ay, bx));
    normalize4(x, y, z);
    _mm_storeu_ps(faces[0], x);
    _mm_storeu_ps(faces[1], y);
    _mm_storeu_ps(faces[2], z);
}

// Vertices first .. first + 3: each normal sum divided by its number of triangles (a vertex in
// none keeps its zero sum: dividing it by 1 leaves it), then normalised.
void meanNormals4(Mesh& mesh, int32_t first, const int32_t* uses) {
    auto gather = [&mesh, first](int axis) {
        auto at = [&](int t) { return normalOf(mesh, first + t)[axis]; };
        return _mm_set_ps(at(3), at(2), at(1), at(0));
    };
    auto countOf = [uses](int t) { return static_cast<float>(uses[t] != 0 ? uses[t] : 1); };
    const __m128 count = _mm_set_ps(countOf(3), countOf(2), countOf(1), countOf(0));
    __m128 x = _mm_div_ps(gather(0), count);
    __m128 y = _mm_div_ps(gather(1), count);
    __m128 z = _mm_div_ps(gather(2), count);
    normalize4(x, y, z);
    alignas(16) float units[3][4];
    _mm_store_ps(units[0], x);
    _mm_store_ps(units[1], y);
    _mm_store_ps(units[2], z);
    for (int t = 0; t < 4; ++t) {
        float* normal = normalOf(mesh, first + t);
        for (int axis = 0; axis < 3; ++axis) {
            normal[axis] = units[axis][t];
        }
    }
}
#endif

} // namespace

Mesh emptyMesh() { return Mesh{0, floatsPerVertex, nullptr, 0, nullptr, 0, 0, Vec3{0.0f, 0.0f, 0.0f}}; }

void computeExtent(Mesh& mesh) {
    float lowest[3] = {largestFloat, largestFloat, largestFloat};
    float highest[3] = {-largestFloat, -largestFloat, -largestFloat};
    for (int32_t i = 0; i < mesh.vertexCount; ++i) {
        const float* position = mesh.vertices + static_cast<size_t>(i) * mesh.stride;
        for (int axis = 0; axis < 3; ++axis) {
            if (position[axis] < lowest[axis]) {
                lowest[axis] = position[axis];
            }
            if (position[axis] > highest[axis]) {
                highest[axis] = position[axis];
            }
        }
    }
    float extent[3];
    for (int axis = 0; axis < 3; ++axis) {
        extent[axis] = -lowest[axis] > highest[axis] ? -lowest[axis] : highest[axis];
    }
    mesh.extent = Vec3{extent[0], extent[1], extent[2]};
}

void smoothVertexNormals(Mesh& mesh) {
    std::vector<int32_t> uses(static_cast<size_t>(mesh.vertexCount), 0);
    for (int32_t i = 0; i < mesh.vertexCount; ++i) {
        float* normal = normalOf(mesh, i);
        normal[0] = normal[1] = normal[2] = 0.0f;
    }
    // Summing in triangle order per vertex gives the same floats as walking a per-vertex list
    // of its triangles. Face normals are worked out four at a time where the processor can.
    auto addFace = [&mesh, &uses](const int32_t* corner, float x, float y, float z) {
        for (int c = 0; c < 3; ++c) {
            float* normal = normalOf(mesh, corner[c]);
            normal[0] += x;
            normal[1] += y;
            normal[2] += z;
            ++uses[corner[c]];
        }
    };
    int32_t j = 0;
#if defined(__SSE2__)
    for (; j + 4 <= mesh.triangleCount; j += 4) {
        const int32_t* corners = mesh.indices + 3 * static_cast<size_t>(j);
        float faces[3][4];
        faceNormals4(mesh, corners, faces);
        for (int t = 0; t < 4; ++t) {
            addFace(corners + 3 * t, faces[0][t], faces[1][t], faces[2][t]);
        }
    }
#endif
    for (; j < mesh.triangleCount; ++j) {
        const int32_t* corner = mesh.indices + 3 * static_cast<size_t>(j);
        const Vec3 p0 = positionOf(mesh, corner[0]);
        const Vec3 p1 = positionOf(mesh, corner[1]);
        const Vec3 p2 = positionOf(mesh, corner[2]);
        Vec3 face = cross(subtract(p1, p2), subtract(p1, p0));
        normalize(face);
        addFace(corner, face.x, face.y, face.z);
    }
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= mesh.vertexCount; i += 4) {
        meanNormals4(mesh, i, uses.data() + i);
    }
#endif
    for (; i < mesh.vertexCount; ++i) {
        float* normal = normalOf(mesh, i);
        Vec3 sum{normal[0], normal[1], normal[2]};
        if (uses[i] != 0) {
            const float count = static_cast<float>(uses[i]);
            sum = Vec3{sum.x / count, sum.y / count, sum.z / count};
        }
        normalize(sum);
        normal[0] = sum.x;
        normal[1] = sum.y;
        normal[2] = sum.z;
    }
}

} // namespace valley
