#include "physics/height_grid.h"

#include "assets/mesh_data.h"
#include "core/object_list.h"
#include "physics/physics_world.h"
#include "render/render_object.h"

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

const float* vertexAt(const Mesh& mesh, const HeightGrid& grid, int32_t column, int32_t row) {
    return mesh.vertices + grid.cells[column + grid.side * row] * mesh.stride;
}

// Height of the terrain at (x, z), known to lie within its bounds; also sets the normal.
float gridHeight(const HeightGrid& grid, float x, float z, Vec3& normal) {
    const RenderObject& object = *grid.renderObject;
    const Mesh& mesh = *object.mesh;
    const Vec3& p = object.position;
    const Vec3& s = object.scale;
    const int32_t n = grid.side;
    const float w = grid.halfWidth;
    // n - 2 rather than n - 1: the blend weights were tuned with this cell size.
    const float c = std::fabs(2.0f * s.x * w / static_cast<float>(n - 2));
    const float halfCell = cellRounding * c;
    const int32_t i = cellIndex(x - p.x, s.x, w, halfCell, n);
    const int32_t k = cellIndex(z - p.z, s.z, w, halfCell, n);

    const float* a = vertexAt(mesh, grid, i, k);
    const float wx = a[0] * s.x + p.x;
    const float wz = a[2] * s.z + p.z;
    // Beyond a border vertex the border vertex stands in for the missing neighbour.
    const int32_t i2 = clampIndex(x - wx >= 0.0f ? i + 1 : i - 1, n);
    const int32_t k2 = clampIndex(z - wz >= 0.0f ? k + 1 : k - 1, n);
    const float* b = vertexAt(mesh, grid, i2, k);
    const float* cv = vertexAt(mesh, grid, i, k2);
    const float* d = vertexAt(mesh, grid, i2, k2);

    const float fx = std::fabs(x - wx) / c;
    const float fz = std::fabs(z - wz) / c;
    const float weightA = std::fabs((1.0f - fx) * (1.0f - fz));
    const float weightB = std::fabs(fx * (1.0f - fz));
    const float weightC = std::fabs((1.0f - fx) * fz);
    const float weightD = std::fabs(fx * fz);
    normal.x = weightA * a[3] + weightB * b[3] + weightC * cv[3] + weightD * d[3];
    normal.y = weightA * a[4] + weightB * b[4] + weightC * cv[4] + weightD * d[4];
    normal.z = weightA * a[5] + weightB * b[5] + weightC * cv[5] + weightD * d[5];
    return weightA * (a[1] * s.y) + weightB * (b[1] * s.y) + weightC * (cv[1] * s.y) + weightD * (d[1] * s.y);
}

} // namespace

HeightGrid& buildHeightGrid(HeightGrid& grid, RenderObject& object) {
    const Mesh& mesh = *object.mesh;
    grid.renderObject = &object;
    grid.side = static_cast<int32_t>(std::trunc(std::sqrt(static_cast<float>(mesh.vertexCount))));
    grid.halfWidth = mesh.extent.x;
    grid.cells = new int32_t[mesh.vertexCount]();
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
            grid.cells[cell] = j;
        }
    }
    return grid;
}

void addHeightGrid(PhysicsWorld& world, HeightGrid* grid) { appendToList(world.heightGrids, grid); }

float groundHeightAt(PhysicsWorld& world, float x, float /*y*/, float z) {
    world.groundNormal = {0.0f, 1.0f, 0.0f};
    float height = 0.0f;
    for (ListNode* node = world.heightGrids.head; node != nullptr; node = node->next) {
        const HeightGrid& grid = *static_cast<const HeightGrid*>(node->payload);
        const RenderObject& object = *grid.renderObject;
        const Vec3& e = object.mesh->extent;
        // A grid without cells (a mesh without vertices) has no height to give.
        if (grid.side > 0 && std::fabs(x - object.position.x) < e.x * object.scale.x &&
            std::fabs(z - object.position.z) < e.z * object.scale.z) {
            height = gridHeight(grid, x, z, world.groundNormal);
        }
    }
    world.groundHeight = height;
    return height;
}

} // namespace valley
