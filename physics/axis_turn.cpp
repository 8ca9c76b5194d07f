#include "physics/axis_turn.h"

#include <cmath>

namespace valley {

namespace {

// pi/2 as its first 33 bits and the rest: k * high is exact for small k, and so is t less it.
const double halfPiHigh = 1.57079632673412561417e+00;
const double halfPiLow = 6.07710050650619224932e-11;
const double twoOverPi = 6.36619772367581382433e-01;
const double roundingShift = 0x1.8p52; // adding and taking it away again rounds to an integer

// Taylor coefficients of sin and cos to the 15th and 14th power: on |r| <= pi/4 the terms
// left out come to less than 2^-49 of the result.
const double sinTerms[7] = {-1.0 / 6,        1.0 / 120,          -1.0 / 5040,           1.0 / 362880,
                            -1.0 / 39916800, 1.0 / 6227020800.0, -1.0 / 1307674368000.0};
const double cosTerms[7] = {-1.0 / 2,       1.0 / 24,        -1.0 / 720,          1.0 / 40320,
                            -1.0 / 3628800, 1.0 / 479001600, -1.0 / 87178291200.0};

// terms[0] + terms[1] z + ... + terms[6] z^6, in pairs (Estrin's scheme: a shorter chain of
// dependent operations than Horner's).
double polynomial(const double terms[7], double z) {
    const double z2 = z * z;
    const double z4 = z2 * z2;
    const double low = (terms[0] + terms[1] * z) + z2 * (terms[2] + terms[3] * z);
    const double high = (terms[4] + terms[5] * z) + z2 * terms[6];
    return low + z4 * high;
}

// The float a double value rounds to, when every value within 2^-44 of it (relative) rounds
// to the same float; false otherwise (about one value in a million).
bool roundsSurely(double value, float& rounded) {
    const double margin = std::fabs(value) * 0x1p-44;
    rounded = static_cast<float>(value);
    return static_cast<float>(value - margin) == static_cast<float>(value + margin);
}

// static_cast<float>(std::sin(t)) and the cosine likewise, for a float angle t in radians.
//
// Between -3.2 and 3.2, t less the nearest multiple k of pi/2 is exact to far below 2^-60 of
// itself (floats keep at least 4e-8 away from pi/2 and pi), and the polynomials are good to
// 2^-49 and a few double roundings, so both values lie within 2^-48 of the true ones; so do the C
// library's (within one unit in the last place). Where every value that close rounds to one
// float, that float is the C library's too; elsewhere, and outside that range, the library
// decides. The tests check every float angle from -200 to 200 degrees against the library.
AxisTurn cosineAndSine(float t) {
    const double x = t;
    if (x == 0.0) {
        return {1.0f, t}; // the sine keeps the zero's sign
    }
    if (std::fabs(x) <= 3.2) {
        const double k = (x * twoOverPi + roundingShift) - roundingShift; // to the nearest integer
        const double r = (x - k * halfPiHigh) - k * halfPiLow;
        const double z = r * r;
        const double sinR = r + r * (z * polynomial(sinTerms, z));
        const double cosR = 1.0 + z * polynomial(cosTerms, z);
        // sin and cos of t by the quadrant, picked without a branch (the quadrant is as good as
        // random from one call to the next).
        const double byQuadrant[4] = {sinR, cosR, -sinR, -cosR};
        const int quadrant = static_cast<int>(k) & 3;
        const double s = byQuadrant[quadrant];
        const double c = byQuadrant[(quadrant + 1) & 3];
        AxisTurn turn;
        if (roundsSurely(c, turn.c) && roundsSurely(s, turn.s)) {
            return turn;
        }
    }
    return {static_cast<float>(std::cos(x)), static_cast<float>(std::sin(x))};
}

} // namespace

AxisTurn axisTurn(float degrees) { return cosineAndSine(radiansRoundedToFloat(degrees)); }

FrameTurns frameTurnsOf(const Vec3& n) {
    const AxisTurn unyaw = axisTurn(-yawOf(n));
    Vec3 w = n;
    turnY(w, unyaw);
    w.z = 0.0f;
    normalize(w);
    const float angle = arcCosineRoundedToFloat(w.x);
    const float pitch = w.y > 0.0f ? degreesRoundedToFloat(angle) : degreesRoundedToFloat(-angle);
    return {unyaw, axisTurn(pitch)};
}

} // namespace valley
