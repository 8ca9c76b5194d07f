// Deterministic random numbers and value noise for the asset generator.
// Everything here is integer hashing plus plain double arithmetic, so the
// output does not depend on the standard library's random engines.
#pragma once

#include <cstdint>

namespace vgen {

// SplitMix64: tiny, well-mixed sequence generator for seeds and placements.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next();
    // Uniform in [0, 1).
    double uniform();
    // Uniform in [lo, hi).
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }

private:
    std::uint64_t state_;
};

// Avalanching 32-bit integer hash.
std::uint32_t hash32(std::uint32_t x);
// Hash of a 2D lattice point, in [0, 1).
double lattice(int x, int y, std::uint32_t seed);

// Smoothly interpolated lattice noise in [0, 1]. A positive period wraps the
// lattice in both directions so the noise tiles every `period` units.
double valueNoise(double x, double y, std::uint32_t seed, int period = 0);
// Same with separate periods along x and y (0 = no wrap on that axis).
double valueNoise2(double x, double y, std::uint32_t seed, int periodX, int periodY);

// Fractal sum of value noise, normalised back to [0, 1]. Each octave doubles
// the frequency and the period, so a tiling base stays tiling.
double fbm(double x, double y, std::uint32_t seed, int octaves, int period = 0);

// Hermite step between e0 and e1 (e0 > e1 gives a falling step).
double smoothstep(double e0, double e1, double x);
double clamp01(double x);
double lerp(double a, double b, double t);

} // namespace vgen
