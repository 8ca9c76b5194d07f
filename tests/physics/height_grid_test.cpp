#include "physics/height_grid.h"

#include "physics/physics_world.h"
#include "tests/physics/physics_fixtures.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

using namespace valley;

namespace {

// side x side vertices `spacing` apart centred on the origin, row by row along x; height
// 0.1 x + 0.2 z and normal (x, 1, z).
std::vector<float> gridVertices(int side, float spacing) {
    std::vector<float> vertices;
    const int half = side / 2;
    for (int row = -half; row <= half; ++row) {
        for (int column = -half; column <= half; ++column) {
            const float x = column * spacing;
            const float z = row * spacing;
            vertices.insert(vertices.end(), {x, 0.1f * x + 0.2f * z, z, x, 1, z, 0, 0});
        }
    }
    return vertices;
}

void appendVertex(std::vector<float>& vertices, float x, float z) {
    vertices.insert(vertices.end(), {x, 0, z, 0, 1, 0, 0, 0});
}

// The first vertex whose position and normal the cell holds, bit for bit; -1 for none.
int vertexInCell(const HeightGrid& grid, int cell, const std::vector<float>& vertices) {
    for (size_t j = 0; j < vertices.size() / 8; ++j) {
        const GroundPoint& point = grid.cells[cell];
        if (std::memcmp(&point.position, &vertices[8 * j], sizeof(Vec3)) == 0 &&
            std::memcmp(&point.normal, &vertices[8 * j + 3], sizeof(Vec3)) == 0) {
            return static_cast<int>(j);
        }
    }
    return -1;
}

void expectEachVertexInItsOwnCell(const HeightGrid& grid, const std::vector<float>& vertices) {
    for (int j = 0; j < grid.side * grid.side; ++j) {
        ASSERT_EQ(vertexInCell(grid, j, vertices), j);
    }
}

class HeightQuery : public PhysicsTest {
protected:
    // The grid keeps its own copy: the mesh it was built from is gone afterwards.
    HeightGrid& addGrid(std::vector<float> vertices, Vec3 extent, Vec3 position = {0, 0, 0},
                        Vec3 scale = {1, 1, 1}) {
        grids.push_back(std::make_unique<HeightGrid>());
        buildHeightGrid(*grids.back(), makeTestMesh(std::move(vertices), extent)->mesh, position, scale);
        addHeightGrid(world, grids.back().get());
        return *grids.back();
    }
    HeightGrid& addUnitGrid(Vec3 position = {0, 0, 0}, Vec3 scale = {1, 1, 1}) {
        return addGrid(gridVertices(5, 1), {2, 0.6f, 2}, position, scale);
    }
    std::vector<std::unique_ptr<HeightGrid>> grids;
};

struct HeightCase {
    float x, z;
    float height;
};

} // namespace

TEST_F(HeightQuery, NoGridOrOutsideEveryGridIsFlatGround) {
    GroundSample ground = groundHeightAt(world, 1, 3);
    EXPECT_EQ(ground.height, 0.0f);
    expectVec3Near(ground.normal, {0, 1, 0});
    addUnitGrid();
    for (Vec3 p : {Vec3{2, 0, 0}, Vec3{0, 0, -2}, Vec3{7, 0, 1}}) {
        ground = groundHeightAt(world, p.x, p.z);
        EXPECT_EQ(ground.height, 0.0f);
        expectVec3Near(ground.normal, {0, 1, 0});
    }
}

TEST_F(HeightQuery, BlendsTheNearestVertexWithItsNeighbours) {
    addUnitGrid();
    const HeightCase cases[] = {{0.4f, 0, 0.055f},          {0.4f, 0.3f, 0.1f},
                                {-1.6f, 0.2f, -0.14f},      {1.9f, 1.9f, 0.5775f},
                                {0.33325f, 0, 0.04999375f}, {1, 1, 0.3f}}; // 0.33325: x = 1 nearest
    for (const HeightCase& c : cases) {
        EXPECT_NEAR(groundHeightAt(world, c.x, c.z).height, c.height, 1e-6f) << c.x << ", " << c.z;
    }
    expectVec3Near(groundHeightAt(world, 1, 1).normal, {1, 1, 1}); // exactly above the vertex (1, 1)
    expectVec3Near(groundHeightAt(world, 0.4f, 0).normal, {0.55f, 1, 0});
}

TEST_F(HeightQuery, PlacedAndScaledTerrainIgnoresItsOwnHeight) {
    addUnitGrid({100, 50, -30}, {10, 2, 10});
    EXPECT_NEAR(groundHeightAt(world, 104, -30).height, 0.11f, 1e-6f);
    EXPECT_NEAR(groundHeightAt(world, 95, -35).height, -0.375f, 1e-6f);
    EXPECT_NEAR(groundHeightAt(world, 114, -16).height, 0.93f,
                1e-6f); // mesh (1.55, 1.55) on the plane, doubled
    grids.back()->position.y = 5;
    EXPECT_NEAR(groundHeightAt(world, 95, -35).height, -0.375f, 1e-6f);
}

TEST_F(HeightQuery, LaterOverlappingGridDecidesHeightAndNormal) {
    addUnitGrid();
    addUnitGrid({1, 0, 0}, {1, 3, 1});
    const GroundSample ground = groundHeightAt(world, 0.4f, 0);
    EXPECT_NEAR(ground.height, -0.21f, 1e-6f);
    expectVec3Near(ground.normal, {-0.7f, 1, 0});
    EXPECT_NEAR(groundHeightAt(world, -1.5f, 0).height, -0.1625f, 1e-6f); // outside the later grid
}

TEST_F(HeightQuery, BuildRoundsCoordinatesToCellsLaterVertexWins) {
    std::vector<float> vertices = gridVertices(5, 20);
    vertices[11 * 8] = -19;       // (-20, 0): column -1
    vertices[7 * 8 + 2] = -19;    // (0, -20): row -1
    vertices[13 * 8] = 19;        // (20, 0): column 1
    appendVertex(vertices, 1, 1); // shares the centre cell with vertex 12
    HeightGrid& grid = addGrid(vertices, {40, 1, 40});
    EXPECT_EQ(grid.side, 5);
    EXPECT_EQ(grid.halfWidth, 40.0f);
    EXPECT_EQ(vertexInCell(grid, 12, vertices), 25);
    grid.cells[12] = {{0, 0, 0}, {0, 1, 0}}; // vertex 12
    expectEachVertexInItsOwnCell(grid, vertices);
}

TEST_F(HeightQuery, EvenSideMapsWithHalfOfSideLessOne) {
    std::vector<float> vertices;
    for (float z : {-1.5f, -0.5f, 0.5f, 1.5f}) {
        for (float x : {-1.5f, -0.5f, 0.5f, 1.5f}) {
            appendVertex(vertices, x, z);
        }
    }
    // Coordinates go to columns 1, 2, 2, 3: the middle two share, column 0 stays empty.
    const HeightGrid& grid = addGrid(vertices, {1.5f, 0, 1.5f});
    EXPECT_EQ(vertexInCell(grid, 1 + 4 * 1, vertices), 0);
    EXPECT_EQ(vertexInCell(grid, 2 + 4 * 1, vertices), 2);
    EXPECT_EQ(vertexInCell(grid, 2 + 4 * 2, vertices), 10);
    EXPECT_EQ(vertexInCell(grid, 3 + 4 * 3, vertices), 15);
    EXPECT_EQ(vertexInCell(grid, 3 + 4 * 0, vertices), 0);
}

TEST_F(HeightQuery, BeyondTheBorderTheBorderVertexIsReused) {
    std::vector<float> vertices = gridVertices(5, 1);
    appendVertex(vertices, 0, 3); // both map past the cells and are left out
    appendVertex(vertices, 0, -3);
    HeightGrid& grid = addGrid(vertices, {2, 1, 3});
    expectEachVertexInItsOwnCell(grid, vertices);
    EXPECT_NEAR(groundHeightAt(world, 0.4f, 2.5f).height, 0.455f, 1e-6f);
    EXPECT_NEAR(groundHeightAt(world, 0.4f, -2.5f).height, -0.345f, 1e-6f);
    grid.extent.x = 3; // bounds wider than the vertices along x too
    EXPECT_NEAR(groundHeightAt(world, 2.5f, 0).height, 0.2f, 1e-6f);
}

TEST_F(HeightQuery, FullSizeTerrainGridUsesCellSizeOverSideLessTwo) {
    const std::vector<float> vertices = gridVertices(129, 1);
    const HeightGrid& grid = addGrid(vertices, {64, 19.2f, 64});
    EXPECT_EQ(grid.side, 129);
    expectEachVertexInItsOwnCell(grid, vertices);
    const float c = 128.0f / 127.0f;
    EXPECT_NEAR(groundHeightAt(world, 0.4f, 0).height, 0.1f * 0.4f / c, 1e-6f);
    EXPECT_NEAR(groundHeightAt(world, 63.5f, 0).height, 6.4f - 0.1f * 0.5f / c, 1e-5f);
}

TEST_F(HeightQuery, GridCoordinatesBeyondIntegersClampInfiniteToTheBorderAndNotANumberToTheMiddle) {
    // Side 2: the cell size 2 W / (side - 2) is infinite, so every grid coordinate is. All four
    // vertices round to the centre cell (1, 1); the last one wins and the others name vertex 0.
    std::vector<float> corners;
    for (float z : {-1.0f, 1.0f}) {
        for (float x : {-1.0f, 1.0f}) {
            appendVertex(corners, x, z);
        }
    }
    for (int j = 0; j < 4; ++j) {
        corners[8 * j + 1] = static_cast<float>(j + 1);
    }
    addGrid(corners, {1, 4, 1});
    const HeightCase sideTwo[] = {{0.5f, 0.5f, 4},  {0.2f, 0.9f, 4},  {-0.5f, -0.5f, 1},
                                  {0.5f, -0.5f, 1}, {-0.5f, 0.5f, 1}, {0, 0, 1}};
    for (const HeightCase& c : sideTwo) {
        EXPECT_EQ(groundHeightAt(world, c.x, c.z).height, c.height) << c.x << ", " << c.z;
    }

    // An infinite half width makes the grid coordinate inf / inf: the middle vertex, whose
    // height (7) stands for the whole grid. Its neighbours weigh nothing (fractions over an
    // infinite cell).
    std::vector<float> vertices = gridVertices(5, 1);
    vertices[12 * 8 + 1] = 7;
    addGrid(vertices, {2, 7, 2}, {10, 0, 0}).halfWidth = INFINITY;
    for (Vec3 p : {Vec3{10.4f, 0, 0.3f}, Vec3{8.1f, 0, -1.9f}, Vec3{11.9f, 0, 1.9f}}) {
        const GroundSample ground = groundHeightAt(world, p.x, p.z);
        EXPECT_EQ(ground.height, 7.0f) << p.x << ", " << p.z;
        expectVec3Near(ground.normal, {0, 1, 0});
    }
}

TEST_F(HeightQuery, DegenerateMeshesLeaveOutVerticesWithoutACell) {
    std::vector<float> column; // all at x = 0: half width 0
    for (float z : {-2.0f, -1.0f, 0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f}) {
        appendVertex(column, 0, z);
    }
    std::vector<float> unreadable = gridVertices(5, 1);
    unreadable[7 * 8] = NAN;        // x
    unreadable[13 * 8 + 2] = NAN;   // z
    unreadable[16 * 8 + 2] = 1e30f; // far beyond any row
    unreadable[17 * 8] = -INFINITY; // x
    std::vector<float> single;
    appendVertex(single, 0, 0);
    const struct {
        const char* what;
        std::vector<float> vertices;
        Vec3 extent;
        int side;
        std::vector<int> cells; // expected, side x side
        float height;           // at (1, 1) from the grid's position
    } cases[] = {
        {"one vertex", single, {0, 0, 0}, 1, {0}, 0},
        {"every vertex at x = 0", column, {0, 0, 6}, 3, std::vector<int>(9, 0), 0},
        {"coordinates not a number, huge or infinite",
         unreadable,
         {2, 1, 2},
         5,
         {0, 1, 2, 3, 4, 5, 6, 0, 8, 9, 10, 11, 12, 0, 14, 15, 0, 0, 18, 19, 20, 21, 22, 23, 24},
         unreadable[18 * 8 + 1]},
        {"no vertex", {}, {2, 1, 2}, 0, {}, 0}, // bounds without cells
    };
    float x = 0;
    for (const auto& c : cases) {
        x += 100; // apart, so that each query meets its own grid only
        const HeightGrid& grid = addGrid(c.vertices, c.extent, {x, 0, 0});
        ASSERT_EQ(grid.side, c.side) << c.what;
        for (int j = 0; j < c.side * c.side; ++j) {
            EXPECT_EQ(vertexInCell(grid, j, c.vertices), c.cells[j]) << c.what << ", cell " << j;
        }
        EXPECT_EQ(groundHeightAt(world, x + 1, 1).height, c.height) << c.what;
    }
}
