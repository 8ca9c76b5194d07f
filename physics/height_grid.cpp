#include "physics/height_grid.h"

#include "assets/mesh_data.h"
#include "core/object_list.h"
#include "physics/physics_world.h"

#include <cmath>

namespace valley {

namespace {

const float cellRounding = 0.5001f; // rounds half-way coordinates away from the centre

// Column (or row) offset from the centre cell of a vertex coordinate; false when there is none
// to take: the grid coordinate is not a number or beyond 32-bit integers (a NaN coordinate, a
// half width of 0, a coordinate far outside the half width).
bool builtOffset(float coordinate, float h, float halfWidth, int64_t& offset) {
    float g = coordinate * h / halfWidth;
    g = coordinate > 0.0f ? g + cellRounding : g - cellRounding;
    if (!(std::fabs(g) < 2147483648.0f)) {
        return false;
    }
    offset = static_cast<int32_t>(g);
    return true;
}

int32_t clampIndex(int32_t i, int32_t n) { return i < 0 ? 0 : (i > n - 1 ? n - 1 : i); }

// Column (or row) of the vertex nearest to an offset from the terrain's position. The grid
// coordinate is clamped before it becomes an integer: an infinite or huge one (a grid of side
// 2 has infinitely wide cells) gives the border on its side, one that is not a number the
// middle.
int32_t cellIndex(float offset, float scale, float halfWidth, float halfCell, int32_t n) {
    const float h = static_cast<float>(n / 2);
    const float g = offset > 0.0f ? ((offset + halfCell) / scale / halfWidth) * h
                                  : ((offset - halfCell) / scale / halfWidth) * h;
    if (std::isnan(g)) {
        return n / 2;
    }
    const double i = static_cast<double>(n / 2) + std::trunc(static_cast<double>(g));
    return i < 0.0 ? 0 : (i > static_cast<double>(n - 1) ? n - 1 : static_cast<int32_t>(i));
}

const GroundPoint& pointAt(const HeightGrid& grid, int32_t column, int32_t row) {
    return grid.cells[column + grid.side * row];
}

// The ground at (x, z), known to lie within the grid's bounds.
GroundSample gridGround(const HeightGrid& grid, float x, float z) {
    const Vec3& p = grid.position;
    const Vec3& s = grid.scale;
    const int32_t n = grid.side;
    const float w = grid.halfWidth;
    // n - 2 rather than n - 1: the blend weights were tuned with this cell size.
    const float c = std::fabs(2.0f * s.x * w / static_cast<float>(n - 2));
    const float halfCell = cellRounding * c;
    const int32_t i = cellIndex(x - p.x, s.x, w, halfCell, n);
    const int32_t k = cellIndex(z - p.z, s.z, w, halfCell, n);

    const GroundPoint& a = pointAt(grid, i, k);
    const float wx = a.position.x * s.x + p.x;
    const float wz = a.position.z * s.z + p.z;
    // Beyond a border vertex the border vertex stands in for the missing neighbour.
    const int32_t i2 = clampIndex(x - wx >= 0.0f ? i + 1 : i - 1, n);
    const int32_t k2 = clampIndex(z - wz >= 0.0f ? k + 1 : k - 1, n);
    const GroundPoint& b = pointAt(grid, i2, k);
    const GroundPoint& cv = pointAt(grid, i, k2);
    const GroundPoint& d = pointAt(grid, i2, k2);

    const float fx = std::fabs(x - wx) / c;
    const float fz = std::fabs(z - wz) / c;
    const float weightA = std::fabs((1.0f - fx) * (1.0f - fz));
    const float weightB = std::fabs(fx * (1.0f - fz));
    const float weightC = std::fabs((1.0f - fx) * fz);
    const float weightD = std::fabs(fx * fz);
    GroundSample ground;
    ground.normal.x =
        weightA * a.normal.x + weightB * b.normal.x + weightC * cv.normal.x + weightD * d.normal.x;
    ground.normal.y =
        weightA * a.normal.y + weightB * b.normal.y + weightC * cv.normal.y + weightD * d.normal.y;
    ground.normal.z =
        weightA * a.normal.z + weightB * b.normal.z + weightC * cv.normal.z + weightD * d.normal.z;
    ground.height = weightA * (a.position.y * s.y) + weightB * (b.position.y * s.y) +
                    weightC * (cv.position.y * s.y) + weightD * (d.position.y * s.y);
    return ground;
}

} // namespace

HeightGrid& buildHeightGrid(HeightGrid& grid, const Mesh& mesh, const Vec3& position, const Vec3& scale) {
    grid.side = static_cast<int32_t>(std::trunc(std::sqrt(static_cast<float>(mesh.vertexCount))));
    grid.halfWidth = mesh.extent.x;
    grid.extent = mesh.extent;
    grid.position = position;
    grid.scale = scale;
    std::vector<int32_t> vertexOf(static_cast<size_t>(mesh.vertexCount), 0);
    const int32_t centre = grid.side / 2;
    const float h = static_cast<float>((grid.side - 1) / 2);
    for (int32_t j = 0; j < mesh.vertexCount; ++j) {
        const float* v = mesh.vertices + j * mesh.stride;
        int64_t column = 0;
        int64_t row = 0;
        // A mesh that is not a square grid may map a vertex past the cells; it is left out.
        if (!builtOffset(v[0], h, grid.halfWidth, column) || !builtOffset(v[2], h, grid.halfWidth, row)) {
            continue;
        }
        const int64_t cell = (centre + column) + grid.side * (centre + row);
        if (cell >= 0 && cell < mesh.vertexCount) {
            vertexOf[static_cast<size_t>(cell)] = j;
        }
    }
    const size_t cellCount = static_cast<size_t>(grid.side) * static_cast<size_t>(grid.side);
    grid.cells.resize(cellCount);
    for (size_t cell = 0; cell < cellCount; ++cell) {
        const float* v = mesh.vertices + vertexOf[cell] * mesh.stride;
        grid.cells[cell] = {{v[0], v[1], v[2]}, {v[3], v[4], v[5]}};
    }
    return grid;
}

void addHeightGrid(PhysicsWorld& world, HeightGrid* grid) { appendToList(world.heightGrids, grid); }

GroundSample groundHeightAt(const PhysicsWorld& world, float x, float z) {
    GroundSample ground = {0.0f, {0.0f, 1.0f, 0.0f}};
    for (ListNode* node = world.heightGrids.head; node != nullptr; node = node->next) {
        const HeightGrid& grid = *static_cast<const HeightGrid*>(node->payload);
        const Vec3& e = grid.extent;
        // A grid without cells (a mesh without vertices) has no height to give.
        if (grid.side > 0 && std::fabs(x - grid.position.x) < e.x * grid.scale.x &&
            std::fabs(z - grid.position.z) < e.z * grid.scale.z) {
            ground = gridGround(grid, x, z);
        }
    }
    return ground;
}

} // namespace valley
