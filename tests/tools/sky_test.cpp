// The sky as a player sees it: the generated cube turned by the engine's own
// object transform (the scene turns it about x by 90, then about y by 105),
// looked through from its centre in many directions, each sampling the
// generated panorama at the texcoord the engine would interpolate there.
#include "tests/tools/generated_data.h"

#include "core/vec_math.h"
#include "render/camera.h"
#include "render/render_object.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

using namespace valley;

namespace {

constexpr double pi = 3.14159265358979323846;

vt::V3 direction(double azimuthDegrees, double elevationDegrees) {
    const double a = azimuthDegrees * pi / 180.0, e = elevationDegrees * pi / 180.0;
    return {std::cos(e) * std::cos(a), std::sin(e), std::cos(e) * std::sin(a)};
}

struct Look {
    double u = 0, v = 0;
    std::array<int, 3> rgb{};
};

class TurnedSky {
public:
    TurnedSky() : mesh_(vt::readMesh("skyCube")), sky_(vt::loadTexture("skybox_texture.bmp")) {
        RenderObject sky{};
        sky.rotation = {90, 105, 0};
        sky.scale = {1, 1, 1};
        Camera atOrigin{};
        atOrigin.yaw = -90; // leaves world axes as they are
        buildModelView(sky, atOrigin);
        const float* m = sky.modelView.m;
        for (const vt::V3& p : mesh_.positions)
            world_.push_back({m[0] * p.x + m[4] * p.y + m[8] * p.z, m[1] * p.x + m[5] * p.y + m[9] * p.z,
                              m[2] * p.x + m[6] * p.y + m[10] * p.z});
    }

    const std::vector<vt::V3>& world() const { return world_; }

    // What the ray from the centre along d meets: the hit triangle's
    // interpolated texcoord and the texel there (nearest, wrapping in u).
    Look look(vt::V3 d) const {
        for (const auto& t : mesh_.triangles) {
            const vt::V3 a = world_[t[0]], b = world_[t[1]], c = world_[t[2]];
            const vt::V3 e1{b.x - a.x, b.y - a.y, b.z - a.z}, e2{c.x - a.x, c.y - a.y, c.z - a.z};
            const vt::V3 p = cross(d, e2);
            const double det = vt::dot(e1, p);
            if (std::fabs(det) < 1e-12)
                continue;
            const vt::V3 s{-a.x, -a.y, -a.z};
            const double w1 = vt::dot(s, p) / det;
            const vt::V3 q = cross(s, e1);
            const double w2 = vt::dot(d, q) / det, along = vt::dot(e2, q) / det;
            if (along <= 0 || w1 < -1e-9 || w2 < -1e-9 || w1 + w2 > 1 + 1e-9)
                continue;
            const double w0 = 1 - w1 - w2;
            const auto& uv = mesh_.vertexTexcoords;
            Look l;
            l.u = w0 * uv[2 * t[0]] + w1 * uv[2 * t[1]] + w2 * uv[2 * t[2]];
            l.v = w0 * uv[2 * t[0] + 1] + w1 * uv[2 * t[1] + 1] + w2 * uv[2 * t[2] + 1];
            // v = 0 is the bottom row; SOIL hands the top row first.
            const int x = ((static_cast<int>(std::floor(l.u * sky_.w)) % sky_.w) + sky_.w) % sky_.w;
            const int y = std::clamp(static_cast<int>(std::floor((1 - l.v) * sky_.h)), 0, sky_.h - 1);
            for (int k = 0; k < 3; ++k)
                l.rgb[k] = sky_.at(x, y)[k];
            return l;
        }
        ADD_FAILURE() << "no triangle in direction " << d.x << " " << d.y << " " << d.z;
        return {};
    }

private:
    static vt::V3 cross(vt::V3 a, vt::V3 b) {
        return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    }

    vt::DaeMesh mesh_;
    vt::Pixels sky_;
    std::vector<vt::V3> world_;
};

const TurnedSky& turnedSky() {
    static const TurnedSky sky;
    return sky;
}

int blueness(const Look& l) { return l.rgb[2] - l.rgb[0]; }

TEST(Sky, TurnedByTheSceneItIsACubeAroundTheWorldAxes) {
    for (const vt::V3& p : turnedSky().world())
        ASSERT_NEAR(std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}), 1.0, 1e-6);
}

// Where the ray along (azimuth, elevation) meets the cube, the interpolated
// texcoord names that same direction in the panorama: the horizon is level
// and no face edge, corner or wrap of u shows. Tightest low down, where the
// cube's cells subtend least and the sky changes most; near the zenith, where
// it is one colour, the cells are largest.
void expectTexcoordFollows(double azimuth, double elevation, const Look& l) {
    const double dv = std::fabs(l.v - (0.5 + elevation / 180)) * 180;
    EXPECT_LT(dv, elevation <= 45 ? 0.25 : (elevation <= 75 ? 0.6 : 1.5))
        << "elevation off by " << dv << " at " << azimuth << " " << elevation;
    // Round the zenith, azimuth is ill-defined and the sky is one colour.
    const double du = std::fabs(std::remainder(l.u - azimuth / 360, 1.0)) * 360;
    EXPECT_TRUE(elevation >= 60 || du < 0.5)
        << "azimuth off by " << du << " at " << azimuth << " " << elevation;
}

// Rings all the way round, half a degree apart, from below the horizon to
// the zenith, and meridians across every face edge and the wrap of u.
TEST(Sky, ZenithOverheadLevelHazeAtTheHorizonAndNoSeam) {
    struct Ring {
        double elevation;
        bool clear;      // one colour all the way round, up to the texture's grain
        int minBlueness; // blue minus red, every sample
        int maxBlueness;
    };
    const Ring rings[] = {{-20, true, -10, 30}, {-2, true, -10, 30},   {0, true, -10, 30},
                          {2, true, -10, 40},   {20, false, -10, 200}, {45, false, -10, 200},
                          {70, true, 90, 200},  {89.5, true, 120, 200}};
    double lowerMean = -100;
    for (const Ring& ring : rings) {
        SCOPED_TRACE("elevation " + std::to_string(ring.elevation));
        std::array<int, 3> lo{255, 255, 255}, hi{0, 0, 0};
        double sum = 0;
        for (int i = 0; i < 720; ++i) {
            const double azimuth = 0.5 * i;
            const Look l = turnedSky().look(direction(azimuth, ring.elevation));
            expectTexcoordFollows(azimuth, ring.elevation, l);
            for (int k = 0; k < 3; ++k)
                lo[k] = std::min(lo[k], l.rgb[k]), hi[k] = std::max(hi[k], l.rgb[k]);
            EXPECT_TRUE(blueness(l) >= ring.minBlueness && blueness(l) <= ring.maxBlueness)
                << "azimuth " << azimuth << " blueness " << blueness(l);
            sum += blueness(l);
        }
        for (int k = 0; k < 3 && ring.clear; ++k)
            EXPECT_LE(hi[k] - lo[k], 6) << "channel " << k << " varies round the ring";
        if (ring.elevation >= 0) {
            EXPECT_GT(sum / 720, lowerMean) << "bluer higher up";
            lowerMean = sum / 720;
        }
    }
    // The haze at the horizon is light.
    const Look horizon = turnedSky().look(direction(30, 0));
    EXPECT_GT(horizon.rgb[0] + horizon.rgb[1] + horizon.rgb[2], 3 * 190);

    for (double azimuth : {0.0, 45.0, 90.0, 105.0, 180.0, 270.0, 345.0})
        for (double elevation = -30; elevation < 90; elevation += 0.5)
            expectTexcoordFollows(azimuth, elevation, turnedSky().look(direction(azimuth, elevation)));
}

} // namespace
