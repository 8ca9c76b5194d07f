#include "tools/icon.h"

#include "tools/noise.h"
#include "tools/sky.h"
#include "tools/terrain.h"
#include "tools/textures.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vgen {

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double waterLevel = -25.0; // the scene's water plane, world units
constexpr double farthest = 3600.0;  // the terrain mesh ends about here
constexpr double eyeX = 120.0, eyeZ = -1150.0, eyeAbove = 260.0;
constexpr double fieldOfView = 64.0; // degrees, across
constexpr int supersample = 2;       // pixels per icon pixel along each axis

Color meanColour(const Image& img) {
    double sum[3] = {0, 0, 0};
    for (std::size_t i = 0; i < img.rgb.size(); ++i)
        sum[i % 3] += img.rgb[i];
    const double n = static_cast<double>(img.rgb.size() / 3);
    return {sum[0] / n, sum[1] / n, sum[2] / n};
}

struct Palette {
    Color grass = meanColour(makeGrass(64, 0));
    Color dryGrass = meanColour(makeGrass(64, 1));
    Color rock = meanColour(makeRhyolite(64));
    Color water = meanColour(makeWater(64));
};

// The ground's colour at (x, z): water below the plane, meadow on gentle slopes, rock on steep
// ones, lit by a sun from the south-west above.
Color groundColour(const Palette& palette, double x, double z, double height) {
    if (height < waterLevel)
        return palette.water * 0.9;
    const double step = 15.0;
    const Vec3 normal = normalize({valleyHeight(x - step, z) - valleyHeight(x + step, z), 2.0 * step,
                                   valleyHeight(x, z - step) - valleyHeight(x, z + step)});
    const double steep = smoothstep(0.85, 0.6, normal.y);
    Color c = mix(mix(palette.grass, palette.dryGrass, smoothstep(0.0, 300.0, height)), palette.rock, steep);
    const double sun = std::max(0.0, dot(normal, normalize({-0.5, 0.8, -0.4})));
    return c * (0.55 + 0.9 * sun);
}

} // namespace

Image makeIcon(int size) {
    const Palette palette;
    const int side = size * supersample;
    const double eyeY = valleyHeight(eyeX, eyeZ) + eyeAbove;
    const double focal = 0.5 * side / std::tan(0.5 * fieldOfView * pi / 180.0);
    const double horizon = 0.3 * side; // the view looks a little down
    std::vector<Color> pixels(static_cast<std::size_t>(side) * side);
    for (int column = 0; column < side; ++column) {
        const double across = (column + 0.5 - 0.5 * side) / focal;
        const double length = std::sqrt(1.0 + across * across);
        const double dx = across / length, dz = 1.0 / length;
        // Walks away from the eye, painting each column bottom up as the ground rises into view.
        int lowestUnpainted = side;
        for (double distance = 20.0; distance < farthest && lowestUnpainted > 0;
             distance += 2.0 + 0.01 * distance) {
            const double x = eyeX + dx * distance, z = eyeZ + dz * distance;
            const double height = valleyHeight(x, z);
            const double surface = std::max(height, waterLevel);
            const int row =
                static_cast<int>(std::floor(horizon + (eyeY - surface) / (distance * dz) * focal));
            if (row >= lowestUnpainted)
                continue;
            const double haze = smoothstep(300.0, farthest, distance);
            const Color c = mix(groundColour(palette, x, z, height), skyColour({dx, 0.0, dz}), 0.8 * haze);
            for (int y = std::max(row, 0); y < lowestUnpainted; ++y)
                pixels[static_cast<std::size_t>(y) * side + column] = c;
            lowestUnpainted = std::max(row, 0);
        }
        for (int y = 0; y < lowestUnpainted; ++y)
            pixels[static_cast<std::size_t>(y) * side + column] =
                skyColour(normalize({dx, (horizon - y - 0.5) / focal * dz, dz}));
    }
    Image icon(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Color sum;
            for (int j = 0; j < supersample; ++j)
                for (int i = 0; i < supersample; ++i) {
                    const Color& c =
                        pixels[static_cast<std::size_t>(y * supersample + j) * side + x * supersample + i];
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            icon.set(x, y, sum * (1.0 / (supersample * supersample)));
        }
    return icon;
}

} // namespace vgen
