#include "tools/sky.h"

#include "tools/noise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace vgen {

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double radiansPerDegree = pi / 180.0;

// Cosine and sine of a turn, exact for whole quarter turns (so the
// quarter turn about x leaves no stray 1e-17 in the written positions).
std::array<double, 2> cosSin(double degrees) {
    const double quarters = std::floor(degrees / 90.0);
    const double rest = (degrees - 90.0 * quarters) * radiansPerDegree;
    const double c = std::cos(rest), s = std::sin(rest);
    switch (static_cast<int>(quarters) & 3) {
    case 1:
        return {-s, c};
    case 2:
        return {-c, -s};
    case 3:
        return {s, -c};
    default:
        return {c, s};
    }
}

double elevationDegrees(Vec3 direction) {
    return std::asin(std::clamp(direction.y, -1.0, 1.0)) / radiansPerDegree;
}

// Colours of the clear sky by elevation, and of the clouds.
const Color haze{202, 212, 222}, lowSky{146, 182, 226}, zenith{52, 100, 188};
const Color cloud{248, 249, 252}, cloudShade{196, 204, 218};

} // namespace

Vec3 turnAboutX(Vec3 p, double degrees) {
    const auto [c, s] = cosSin(degrees);
    return {p.x, c * p.y - s * p.z, s * p.y + c * p.z};
}

Vec3 turnAboutY(Vec3 p, double degrees) {
    const auto [c, s] = cosSin(degrees);
    return {c * p.x + s * p.z, p.y, -s * p.x + c * p.z};
}

Vec3 skyWorldFromMesh(Vec3 mesh) { return turnAboutY(turnAboutX(mesh, skyTurnX), skyTurnY); }

Vec3 skyMeshFromWorld(Vec3 world) { return turnAboutX(turnAboutY(world, -skyTurnY), -skyTurnX); }

Vec2 skyTexcoord(Vec3 direction) {
    double u = std::atan2(direction.z, direction.x) / (2.0 * pi);
    if (u < 0.0)
        u += 1.0;
    if (u >= 1.0) // -tiny + 1 rounds to 1
        u = 0.0;
    return {u, 0.5 + elevationDegrees(direction) / 180.0};
}

Color skyColour(Vec3 direction) {
    const double e = elevationDegrees(direction);
    Color c = mix(haze, lowSky, smoothstep(0.0, 14.0, e));
    c = mix(c, zenith, smoothstep(8.0, 80.0, e));
    // Clouds thin out towards the horizon, where they would shrink below a
    // texel, and towards the zenith, where the cube's texcoords bunch up
    // round the pole: there the sky is one colour all the way round.
    const double band = smoothstep(4.0, 14.0, e) * smoothstep(60.0, 38.0, e);
    if (band <= 0.0)
        return c;
    // A cloud layer overhead: further off, clouds look smaller and flatter,
    // though less so near the horizon than on a truly flat layer, which the
    // texture's rows could not resolve.
    const double reach = 2.0 / (direction.y + 0.2);
    const double n = fbm(40.0 + direction.x * reach, 40.0 + direction.z * reach, 71, 3);
    const double density = smoothstep(0.46, 0.8, n) * band;
    const Color puff = mix(cloudShade, cloud, smoothstep(0.55, 0.85, n));
    return mix(c, puff, 0.8 * density);
}

Mesh buildSkyCube(const std::string& name) {
    Mesh m;
    m.name = name;
    // Corners keyed by world position and texcoord: a corner whose
    // texcoord differs between triangles (at the u = 0 / 1 wrap and at the
    // poles) gets a position of its own, since a vertex carries one texcoord.
    std::map<std::array<double, 5>, std::uint32_t> corners;
    auto corner = [&](Vec3 world, Vec2 uv, std::uint32_t normal) {
        const auto [it, added] = corners.try_emplace({world.x, world.y, world.z, uv.x, uv.y},
                                                     static_cast<std::uint32_t>(m.positions.size()));
        if (added) {
            m.positions.push_back(skyMeshFromWorld(world));
            m.texcoords.push_back(uv);
        }
        return Corner{it->second, normal, it->second};
    };
    // One triangle: texcoords of its corners brought within half a turn of
    // each other (past u = 1 where it crosses the wrap, which the texture
    // repeats); a corner at a pole, which has no azimuth, takes the mean u
    // of the other two.
    auto triangle = [&](const std::array<Vec3, 3>& world, std::uint32_t normal) {
        std::array<Vec2, 3> uv;
        std::array<bool, 3> pole;
        double lo = 1.0, hi = 0.0;
        for (int k = 0; k < 3; ++k) {
            uv[k] = skyTexcoord(normalize(world[k]));
            pole[k] = world[k].x == 0.0 && world[k].z == 0.0;
            if (!pole[k])
                lo = std::min(lo, uv[k].x), hi = std::max(hi, uv[k].x);
        }
        double sum = 0.0;
        for (int k = 0; k < 3; ++k) {
            if (!pole[k] && hi - lo > 0.5 && uv[k].x < 0.5)
                uv[k].x += 1.0;
            sum += pole[k] ? 0.0 : uv[k].x;
        }
        for (int k = 0; k < 3; ++k)
            if (pole[k])
                uv[k].x = sum / 2.0;
        m.triangles.push_back({corner(world[0], uv[0], normal), corner(world[1], uv[1], normal),
                               corner(world[2], uv[2], normal)});
    };

    const Vec3 outwards[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const Vec3& out : outwards) {
        // Face axes with a x b = -out: cells run counter-clockwise seen from inside.
        const Vec3 b = out.y != 0.0 ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
        const Vec3 a = cross(b, out * -1.0);
        const auto normal = static_cast<std::uint32_t>(m.normals.size());
        m.normals.push_back(skyMeshFromWorld(out * -1.0));
        auto at = [&](int i, int j) {
            return out + a * (2.0 * i / skyFaceSteps - 1.0) + b * (2.0 * j / skyFaceSteps - 1.0);
        };
        for (int j = 0; j < skyFaceSteps; ++j) {
            for (int i = 0; i < skyFaceSteps; ++i) {
                triangle({at(i, j), at(i + 1, j), at(i + 1, j + 1)}, normal);
                triangle({at(i, j), at(i + 1, j + 1), at(i, j + 1)}, normal);
            }
        }
    }
    return m;
}

Image makeSky(int width, int height) {
    Image img(width, height);
    for (int y = 0; y < height; ++y) {
        // Row 0 is the top of the image: the zenith, v = 1.
        const double elevation = (0.5 - (y + 0.5) / height) * pi;
        for (int x = 0; x < width; ++x) {
            const double azimuth = 2.0 * pi * (x + 0.5) / width;
            const Vec3 d{std::cos(elevation) * std::cos(azimuth), std::sin(elevation),
                         std::cos(elevation) * std::sin(azimuth)};
            // A little grain keeps the smooth gradient from settling into
            // rings when the driver compresses the texture.
            const double grain = 5.0 * lattice(x, y, 72) - 2.5;
            const Color c = skyColour(d);
            img.set(x, y, {c.r + grain, c.g + grain, c.b + grain});
        }
    }
    return img;
}

} // namespace vgen
