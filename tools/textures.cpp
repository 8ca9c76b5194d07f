#include "tools/textures.h"

#include "tools/noise.h"

#include <algorithm>
#include <cmath>

namespace vgen {

namespace {

constexpr double twoPi = 6.28318530717958647692;

// Per-pixel grain in [-1, 1).
double grain(int x, int y, std::uint32_t seed) { return 2.0 * lattice(x, y, seed) - 1.0; }

template <typename F> Image paint(int w, int h, F&& shade) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.set(x, y, shade(x, y, static_cast<double>(x) / w, static_cast<double>(y) / h));
    return img;
}

} // namespace

Image makeRhyolite(int size) {
    // Kept dark: the lighting shows flat ground at 1.5 times its texture and
    // slopes facing the sun at up to twice.
    const Color dark{66, 62, 56}, light{130, 122, 108};
    const Color stain{116, 96, 74}, lichen{106, 108, 90};
    const Color crystal{166, 160, 150}, mafic{40, 37, 34};
    return paint(size, size, [&](int x, int y, double u, double v) {
        const double body = fbm(u * 6, v * 6, 11, 5, 6);
        // Weathered layering, bent by noise; integer frequency keeps it tiling.
        const double warp = fbm(u * 3, v * 3, 12, 3, 3);
        const double band = 0.5 + 0.5 * std::sin(twoPi * (3.0 * v + 1.5 * warp));
        Color c = mix(dark, light, clamp01(0.5 + 1.6 * (0.7 * body + 0.3 * band - 0.5)));
        // Rusty iron stains and grey-green lichen in broad patches.
        c = mix(c, stain, 0.4 * smoothstep(0.56, 0.74, fbm(u * 4, v * 4, 16, 3, 4)));
        c = mix(c, lichen, 0.4 * smoothstep(0.6, 0.76, fbm(u * 5, v * 5, 18, 3, 5)));
        // Dark cracks along the ridges of a folded noise.
        const double ridge = 1.0 - std::fabs(2.0 * fbm(u * 5, v * 5, 17, 4, 5) - 1.0);
        c = c * (1.0 - 0.3 * smoothstep(0.955, 0.99, ridge));
        // Sparse grains, light or dark, one colour per lattice point.
        const double fleck = valueNoise(u * 64, v * 64, 13, 64);
        const int gx = static_cast<int>(std::lround(u * 64)) % 64;
        const int gy = static_cast<int>(std::lround(v * 64)) % 64;
        const double kind = lattice(gx, gy, 15);
        c = mix(c, kind < 0.5 ? crystal : mafic, 0.45 * smoothstep(0.88, 0.93, fleck));
        return c * (1.0 + 0.07 * grain(x, y, 14));
    });
}

Image makeDarkRock(int size) {
    const Color dark{56, 56, 58}, light{122, 120, 116};
    return paint(size, size, [&](int x, int y, double u, double v) {
        const double broad = fbm(u * 4, v * 4, 21, 3, 4);
        const double fine = fbm(u * 32, v * 32, 24, 3, 32);
        Color c = mix(dark, light, clamp01(0.5 + 1.3 * (0.6 * broad + 0.4 * fine - 0.5)));
        // Thin cracks along the ridges of a folded noise.
        const double ridge = 1.0 - std::fabs(2.0 * fbm(u * 5, v * 5, 22, 4, 5) - 1.0);
        c = c * (1.0 - 0.35 * smoothstep(0.95, 0.99, ridge));
        return c * (1.0 + 0.08 * grain(x, y, 23));
    });
}

Image makeOverlayedSquare(int size) {
    const int border = size / 16;
    const int cells = 8;
    const double cell = static_cast<double>(size - 2 * border) / cells;
    const Color frame{44, 34, 30}, edge{250, 240, 210};
    const Color rust{196, 90, 40}, sand{238, 206, 140};
    return paint(size, size, [&](int x, int y, double u, double v) {
        const int dEdge = std::min(std::min(x, y), std::min(size - 1 - x, size - 1 - y));
        if (dEdge < border)
            return frame * (1.0 + 0.05 * grain(x, y, 31));
        if (dEdge < border + 3)
            return edge;
        const int cx = static_cast<int>((x - border) / cell);
        const int cy = static_cast<int>((y - border) / cell);
        const Color c = ((cx + cy) & 1) ? rust : sand;
        return c * (0.92 + 0.16 * fbm(u * 8, v * 8, 32, 3, 8));
    });
}

Image makeWater(int size) {
    // Long swell with whole numbers of periods across the tile so it
    // repeats, plus a caustic-like network of bright ripple lines.
    struct Wave {
        int kx, ky;
        double amp;
    };
    const Wave waves[] = {{2, 1, 1.0}, {-1, 3, 0.7}, {3, -2, 0.5}};
    Rng rng(41);
    double phase[3];
    for (double& p : phase)
        p = rng.range(0.0, twoPi);
    const Color deep{16, 70, 88}, shallow{52, 128, 140}, glint{170, 218, 216};
    return paint(size, size, [&](int, int, double u, double v) {
        const double warp = 1.5 * fbm(u * 3, v * 3, 42, 3, 3);
        double h = 0.0, norm = 0.0;
        for (int i = 0; i < 3; ++i) {
            h += waves[i].amp * std::sin(twoPi * (waves[i].kx * u + waves[i].ky * v) + phase[i] + warp);
            norm += waves[i].amp;
        }
        h = 0.5 + 0.5 * h / norm; // 0..1
        // Ridges of two warped noises cross into a ripple network.
        const double wx = 0.6 * fbm(u * 4, v * 4, 44, 2, 4);
        const double r1 = 1.0 - std::fabs(2.0 * fbm(u * 6 + wx, v * 6, 45, 3, 6) - 1.0);
        const double r2 = 1.0 - std::fabs(2.0 * fbm(u * 6, v * 6 + wx, 46, 3, 6) - 1.0);
        const double lines = std::pow(std::max(r1, r2), 10.0);
        const double fine = fbm(u * 16, v * 16, 43, 2, 16);
        const Color c = mix(deep, shallow, clamp01(0.65 * h + 0.35 * fine));
        return mix(c, glint, 0.75 * lines);
    });
}

Image makeGrass(int size, int variant) {
    const bool dry = variant != 0;
    // As dark as the rock, for the same lighting.
    const Color dark = dry ? Color{46, 76, 26} : Color{30, 60, 20};
    const Color light = dry ? Color{100, 130, 52} : Color{76, 114, 40};
    const Color straw{142, 130, 80};
    const std::uint32_t seed = dry ? 60U : 50U;
    return paint(size, size, [&](int x, int y, double u, double v) {
        const double patches = fbm(u * 4, v * 4, seed + 1, 4, 4);
        // Blade streaks: noise stretched along one axis (the other for the
        // dry variant, so the two read differently).
        const double blades = dry ? valueNoise2(u * 32, v * 128, seed + 2, 32, 128)
                                  : valueNoise2(u * 128, v * 32, seed + 2, 128, 32);
        Color c = mix(dark, light, clamp01(0.5 * patches + 0.5 * blades + 0.08 * grain(x, y, seed + 3)));
        if (dry) {
            const double bare = fbm(u * 6, v * 6, seed + 4, 3, 6);
            c = mix(c, straw, 0.35 * smoothstep(0.5, 0.75, bare));
        }
        return c;
    });
}

} // namespace vgen
