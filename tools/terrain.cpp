#include "tools/terrain.h"

#include "tools/noise.h"

#include <algorithm>
#include <cmath>

namespace vgen {

namespace {

// Layout in world units. The lake is a union of circles west to east: a
// bay close to the start position, the main basin, and the river mouth in
// the north-east. Block sites (-60, -70) and (180, 180) stay out of reach of
// the shore slope, and the river keeps east of the slabs at x = 120.
struct Circle {
    double x, z, r;
};
const Circle lakeCircles[] = {
    {-60.0, -275.0, 90.0},
    {130.0, -260.0, 150.0},
    {330.0, -150.0, 230.0},
    {560.0, 40.0, 130.0},
};
constexpr double lakeBed = -110.0;
constexpr double lakeInner = -150.0; // shore slope from here (signed distance)...
constexpr double lakeOuter = 80.0;   // ...out to here
constexpr double riverBed = -42.0;
constexpr double riverInner = 30.0;
constexpr double riverOuter = 150.0;

constexpr std::uint32_t floorSeed = 101;
constexpr std::uint32_t hillSeed = 202;
constexpr std::uint32_t bedSeed = 303;
constexpr std::uint32_t cliffSeed = 404;
constexpr std::uint32_t cliffDetailSeed = 505;
constexpr std::uint32_t shoreSeed = 606;

// Polynomial smooth minimum, blends within k of the crossing.
double smin(double a, double b, double k) {
    const double h = clamp01(0.5 + 0.5 * (b - a) / k);
    return lerp(b, a, h) - k * h * (1.0 - h);
}

double lakeDistance(double x, double z) {
    double d = 1e9;
    for (const Circle& c : lakeCircles)
        d = smin(d, std::hypot(x - c.x, z - c.z) - c.r, 60.0);
    // Ragged shoreline.
    return d + 30.0 * (fbm(x / 120.0, z / 120.0, shoreSeed, 3) - 0.5);
}

double riverX(double z) {
    return 520.0 + 130.0 * std::sin(z / 260.0 + 0.8) + 40.0 * std::sin(z / 110.0 + 2.0);
}

// The river comes in through the north end and winds south into the
// north-east lobe of the lake.
const std::vector<Vec2>& riverPath() {
    static const std::vector<Vec2> path = [] {
        std::vector<Vec2> pts;
        for (double z = 2100.0; z >= 40.0; z -= 20.0)
            pts.push_back({riverX(z), z});
        return pts;
    }();
    return path;
}

double riverDistance(double x, double z) {
    const std::vector<Vec2>& pts = riverPath();
    double best = 1e18;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        const double ax = pts[i].x, az = pts[i].y;
        const double dx = pts[i + 1].x - ax, dz = pts[i + 1].y - az;
        const double t = clamp01(((x - ax) * dx + (z - az) * dz) / (dx * dx + dz * dz));
        const double ex = x - (ax + t * dx), ez = z - (az + t * dz);
        best = std::min(best, ex * ex + ez * ez);
    }
    return std::sqrt(best);
}

} // namespace

double valleyHeight(double x, double z) {
    // Valley floor: rises gently towards the far end, with small undulation.
    const double floor = 12.0 + 0.014 * z + 10.0 * (fbm(x / 500.0, z / 500.0, floorSeed, 3) - 0.5);

    // Rims: steep-sided hills along both long sides and the near end, and
    // around the cliff at the far end (leaving the river's gap in the east).
    const double centre = 120.0 * std::sin(z / 800.0 + 0.5);
    const double u = std::fabs(x - centre);
    const double rimSide = 400.0 * smoothstep(1000.0, 1450.0, u) + 0.15 * std::max(0.0, u - 1450.0);
    const double rimNear = 360.0 * smoothstep(-1000.0, -1500.0, z) + 0.15 * std::max(0.0, -1500.0 - z);
    const double farMask = x < 0.0 ? smoothstep(250.0, 550.0, -x) : smoothstep(700.0, 1000.0, x);
    const double rimFar = 330.0 * smoothstep(1350.0, 1850.0, z) * farMask;
    const double rim = std::max({rimSide, rimNear, rimFar});
    const double hills = fbm(x / 420.0, z / 420.0, hillSeed, 4);
    const double ground = floor + rim * (0.6 + 0.8 * hills);

    // Lake basin and river channel are carved below the water plane.
    const double bedNoise = fbm(x / 150.0, z / 150.0, bedSeed, 3) - 0.5;
    const double lake =
        lerp(lakeBed + 12.0 * bedNoise, ground, smoothstep(lakeInner, lakeOuter, lakeDistance(x, z)));
    const double river =
        lerp(riverBed + 4.0 * bedNoise, ground, smoothstep(riverInner, riverOuter, riverDistance(x, z)));
    return std::min({ground, lake, river});
}

double HeightField::sample(double x, double z) const {
    const int n = side - 1;
    const double step = 2.0 * halfWidth / n;
    const double gx = std::clamp((x + halfWidth) / step, 0.0, static_cast<double>(n));
    const double gz = std::clamp((z + halfWidth) / step, 0.0, static_cast<double>(n));
    const int i = std::min(static_cast<int>(gx), n - 1);
    const int k = std::min(static_cast<int>(gz), n - 1);
    const double fx = gx - i, fz = gz - k;
    auto h = [&](int di, int dk) { return heights[static_cast<std::size_t>(i + di + side * (k + dk))]; };
    // Same diagonal (b = (i+1, k) to c = (i, k+1)) as the mesh triangles.
    if (fx + fz <= 1.0)
        return h(0, 0) + fx * (h(1, 0) - h(0, 0)) + fz * (h(0, 1) - h(0, 0));
    return h(1, 1) + (1.0 - fx) * (h(0, 1) - h(1, 1)) + (1.0 - fz) * (h(1, 0) - h(1, 1));
}

Mesh buildTerrainMesh() {
    return buildGridMesh(
        "riverlake_terrain", terrainSide, terrainHalfWidth,
        [](double x, double z) { return valleyHeight(x * terrainScale, z * terrainScale) / terrainScale; },
        0.25);
}

HeightField terrainHeights(const Mesh& terrain) {
    HeightField g;
    g.side = terrainSide;
    g.halfWidth = terrainHalfWidth * terrainScale;
    for (const Vec3& p : terrain.positions)
        g.heights.push_back(p.y * terrainScale);
    return g;
}

double cliffHeight(const HeightField& terrain, double x, double z) {
    const double half = cliffHalfWidth * cliffScale;
    const double front = cliffWorldZ - half;
    const double depth = (z - front) / (2.0 * half); // 0 at the front edge, 1 at the back
    const double ground = terrain.sample(x, std::min(z, terrain.halfWidth));

    const double rock = fbm(x / 90.0, z / 90.0, cliffSeed, 5);
    const double detail = 1.0 - std::fabs(2.0 * fbm(x / 35.0, z / 35.0, cliffDetailSeed, 3) - 1.0);
    // The wall tapers somewhat towards its open sides.
    const double lateral = 0.45 + 0.55 * smoothstep(half, 0.6 * half, std::fabs(x));
    const double wall = (560.0 + 160.0 * (rock - 0.5)) * smoothstep(0.02, 0.42, depth) * lateral;
    const double crags = 40.0 * detail * smoothstep(0.0, 0.2, depth);
    // Front edge sits a little below the ground so no gap shows.
    return ground - 6.0 + wall + crags;
}

Mesh buildCliffMesh(const HeightField& terrain) {
    return buildGridMesh(
        "cliff", cliffSide, cliffHalfWidth,
        [&](double x, double z) {
            return cliffHeight(terrain, x * cliffScale, cliffWorldZ + z * cliffScale) / cliffScale;
        },
        0.25);
}

} // namespace vgen
