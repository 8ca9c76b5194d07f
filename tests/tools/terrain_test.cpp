// The valley's layout, checked on the vertex data as the engine reads it
// (world units: the scene scales the terrain by 40).
#include "tests/tools/generated_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int gridSide = 129;
constexpr double gridStep = 4000.0 / (gridSide - 1);
double coord(int i) { return -2000.0 + i * gridStep; }

// World heights binned by position onto the grid, index i + gridSide * k.
const std::vector<double>& ground() {
    static const std::vector<double> h = [] {
        std::vector<double> h(gridSide * gridSide, NAN);
        for (const vt::V3& p : vt::readMesh("riverlake_terrain").positions) {
            const long i = std::lround((p.x + 50.0) * 1.28), k = std::lround((p.z + 50.0) * 1.28);
            if (i >= 0 && k >= 0 && i < gridSide && k < gridSide && std::isnan(h[i + gridSide * k]))
                h[i + gridSide * k] = p.y * 40.0;
        }
        return h;
    }();
    return h;
}

// Lowest and highest vertex within r (square) of world (x, z).
std::pair<double, double> range(double x, double z, double r) {
    double lo = 1e9, hi = -1e9;
    for (int k = 0; k < gridSide; ++k)
        for (int i = 0; i < gridSide; ++i)
            if (std::fabs(coord(i) - x) <= r && std::fabs(coord(k) - z) <= r)
                lo = std::min(lo, ground()[i + gridSide * k]), hi = std::max(hi, ground()[i + gridSide * k]);
    return {lo, hi};
}

TEST(Terrain, IsARegularGridCentredOnTheOrigin) {
    const auto m = vt::readMesh("riverlake_terrain");
    ASSERT_TRUE(m.errors.empty()) << m.errors.front();
    EXPECT_EQ(m.positions.size(), 16641u);
    EXPECT_EQ(std::count_if(ground().begin(), ground().end(), [](double h) { return !std::isnan(h); }),
              16641);
    double extent = 0;
    for (const auto& p : m.positions)
        extent = std::max({extent, std::fabs(p.x), std::fabs(p.z)});
    EXPECT_EQ(extent, 50.0);
}

TEST(Terrain, GroundUnderStartAndBlocksSuitsTheScene) {
    struct Site {
        double x, z, lo, hi;
    };
    std::vector<Site> sites = {{-190, -195, -20, 30}, {-60, -70, 5, 18}, {180, 180, -10, 20}};
    for (double z = 1000; z <= 1900; z += 60)
        sites.push_back({120, z, 0, 60}); // under the long slabs
    for (const auto& s : sites) {
        const auto [lo, hi] = range(s.x, s.z, 35);
        EXPECT_GE(lo, s.lo) << s.x << ", " << s.z;
        EXPECT_LE(hi, s.hi) << s.x << ", " << s.z;
    }
}

TEST(Terrain, LakeLiesAheadOfTheStartAndTheRiverReachesTheFarEnd) {
    const auto& h = ground();
    // Looking along +x from the start, the water begins close ahead.
    const long row = std::lround((-195.0 + 2000.0) / gridStep);
    int i = static_cast<int>(std::ceil((-190.0 + 2000.0) / gridStep));
    while (i < gridSide && h[i + gridSide * row] >= -25.0)
        ++i;
    EXPECT_GT(coord(i), -160.0);
    EXPECT_LT(coord(i), 60.0);
    EXPECT_LT(range(250, -50, 350).first, -60.0); // lake bed well under the water plane
    EXPECT_GT(range(250, -50, 350).first, -150.0);

    // Flood the under-water vertices from the deepest one: lake and river
    // are one body of water reaching the far edge.
    std::vector<long> todo{std::min_element(h.begin(), h.end()) - h.begin()};
    std::vector<char> wet(h.size(), 0);
    long farthest = 0;
    while (!todo.empty()) {
        const long c = todo.back();
        todo.pop_back();
        farthest = std::max(farthest, c / gridSide);
        for (long n : {c - 1, c + 1, c - gridSide, c + gridSide})
            if (n >= 0 && n < gridSide * gridSide && std::labs(n % gridSide - c % gridSide) <= 1 && !wet[n] &&
                h[n] < -25.0)
                wet[n] = 1, todo.push_back(n);
    }
    EXPECT_EQ(farthest, gridSide - 1);
}

TEST(Terrain, RimsRiseAndSomeSlopesAreSteep) {
    double rim = -1e9;
    for (int n = 0; n < gridSide; ++n)
        rim = std::max({rim, ground()[n * gridSide], ground()[n * gridSide + gridSide - 1], ground()[n]});
    EXPECT_GT(rim, 250.0);
    EXPECT_LT(*std::max_element(ground().begin(), ground().end()), 1000.0);

    // Smooth normals as the engine builds them, summed over the triangles.
    const auto m = vt::readMesh("riverlake_terrain");
    std::vector<vt::V3> sum(m.positions.size());
    for (std::size_t t = 0; t < m.triangles.size(); ++t) {
        const vt::V3 n = vt::faceNormal(m, t);
        for (auto i : m.triangles[t])
            sum[i] = {sum[i].x + n.x, sum[i].y + n.y, sum[i].z + n.z};
    }
    double steepest = 0;
    for (const auto& n : sum)
        steepest = std::max(steepest, std::hypot(n.x, n.z) / std::sqrt(vt::dot(n, n)));
    EXPECT_GT(steepest, 0.7);
}

TEST(Cliff, MeetsTheTerrainAtItsFrontAndRisesWellAboveIt) {
    const auto cliff = vt::readMesh("cliff");
    ASSERT_EQ(cliff.positions.size(), 65u * 65u);
    const double farEdge = range(0, 2000, 300).second;
    std::vector<double> back; // scene placement: world = (5x, 5y, 2000 + 5z)
    for (const auto& p : cliff.positions) {
        if (p.z >= 0)
            back.push_back(5 * p.y);
        if (p.z == -60) { // front edge, world z 1700, sits just into the ground
            const auto [lo, hi] = range(5 * p.x, 1700, gridStep);
            EXPECT_TRUE(5 * p.y > lo - 15 && 5 * p.y < hi + 5) << p.x;
        }
    }
    std::sort(back.begin(), back.end());
    EXPECT_GT(back[back.size() / 4], farEdge + 300.0);
    EXPECT_GT(back[back.size() / 2], 400.0);
    EXPECT_LT(back.back(), 900.0);
}

} // namespace
