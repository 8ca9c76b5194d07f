#include "physics/axis_turn.h"

#include <cmath>

namespace {

// The constants of core/vec_math.cpp's vector rotations and angle queries.
const double degreesToRadians = 0.017453293;
const double radiansToDegrees = 57.29577791868205;

} // namespace

AxisTurn axisTurn(float degrees) {
    const float t = static_cast<float>(degrees * degreesToRadians);
    return {static_cast<float>(std::cos(static_cast<double>(t))), static_cast<float>(std::sin(static_cast<double>(t)))};
}

FrameTurns frameTurnsOf(const Vec3& n) {
    const AxisTurn unyaw = axisTurn(-yawOf(n));
    Vec3 w = n;
    turnY(w, unyaw);
    w.z = 0.0f;
    normalize(w);
    const float angle = static_cast<float>(std::acos(static_cast<double>(w.x)));
    const float pitch = w.y > 0.0f ? static_cast<float>(angle * radiansToDegrees)
                                   : static_cast<float>(-angle * radiansToDegrees);
    return {unyaw, axisTurn(pitch)};
}
