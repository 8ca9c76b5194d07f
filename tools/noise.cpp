#include "tools/noise.h"

#include <cmath>

namespace vgen {

std::uint64_t Rng::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double Rng::uniform() {
    // 53 random bits give every representable step in [0, 1).
    return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0);
}

std::uint32_t hash32(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352DU;
    x ^= x >> 15;
    x *= 0x846CA68BU;
    x ^= x >> 16;
    return x;
}

double lattice(int x, int y, std::uint32_t seed) {
    std::uint32_t h = hash32(static_cast<std::uint32_t>(x) * 0x9E3779B1U ^ seed);
    h = hash32(h ^ (static_cast<std::uint32_t>(y) * 0x85EBCA77U + 0x165667B1U));
    return static_cast<double>(h >> 8) * (1.0 / 16777216.0);
}

namespace {

int wrap(int i, int period) {
    if (period <= 0)
        return i;
    int r = i % period;
    return r < 0 ? r + period : r;
}

double fade(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

} // namespace

double valueNoise(double x, double y, std::uint32_t seed, int period) {
    return valueNoise2(x, y, seed, period, period);
}

double valueNoise2(double x, double y, std::uint32_t seed, int periodX, int periodY) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const double tx = fade(x - fx);
    const double ty = fade(y - fy);
    const int x0 = wrap(ix, periodX), x1 = wrap(ix + 1, periodX);
    const int y0 = wrap(iy, periodY), y1 = wrap(iy + 1, periodY);
    const double a = lattice(x0, y0, seed);
    const double b = lattice(x1, y0, seed);
    const double c = lattice(x0, y1, seed);
    const double d = lattice(x1, y1, seed);
    return lerp(lerp(a, b, tx), lerp(c, d, tx), ty);
}

double fbm(double x, double y, std::uint32_t seed, int octaves, int period) {
    double sum = 0.0, norm = 0.0, amp = 1.0, freq = 1.0;
    for (int o = 0; o < octaves; ++o) {
        const int p = period > 0 ? period << o : 0;
        sum += amp * valueNoise(x * freq, y * freq, seed + 1013U * static_cast<std::uint32_t>(o), p);
        norm += amp;
        amp *= 0.5;
        freq *= 2.0;
    }
    return sum / norm;
}

double clamp01(double x) { return x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x); }

double smoothstep(double e0, double e1, double x) {
    const double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

double lerp(double a, double b, double t) { return a + (b - a) * t; }

} // namespace vgen
