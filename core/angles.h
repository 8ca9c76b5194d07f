// Angles: degrees to radians and back, and cosines and sines, each with the rounding the
// engine's results depend on.
//
// Every angle that crosses an interface is in degrees. The constants are the engine's own
// roundings of pi/180 and 180/pi; a helper's name says where its result is rounded: "RoundedToFloat"
// works in double and rounds once at the end, "InFloat" multiplies in float, "ViaFloatRadians"
// rounds the radians to float before the double cosine or sine, "ViaDoubleRadians" keeps them in
// double. Helpers take a double where the value may be a double intermediate, so a float
// argument widens exactly and nothing is rounded twice.
#pragma once

#include <cmath>

namespace valley {

constexpr double degreesToRadians = 0.017453293;                 // pi/180 to nine digits
constexpr float degreesToRadiansInFloat = 0.017453292f;          // exactly 0.01745329238474369
constexpr double floatPiDegreesToRadians = 0.017453293005625408; // the float nearest pi, / 180
constexpr double radiansToDegrees = 57.29577791868205;           // 180 / the float nearest pi

// degrees * degreesToRadians in double, rounded to float.
inline float radiansRoundedToFloat(float degrees) { return static_cast<float>(degrees * degreesToRadians); }

// degrees * degreesToRadiansInFloat, a float product.
inline float radiansInFloat(float degrees) { return degrees * degreesToRadiansInFloat; }

// radians * radiansToDegrees in double, rounded to float.
inline float degreesRoundedToFloat(float radians) { return static_cast<float>(radians * radiansToDegrees); }

inline float cosineRoundedToFloat(double radians) { return static_cast<float>(std::cos(radians)); }
inline float sineRoundedToFloat(double radians) { return static_cast<float>(std::sin(radians)); }
inline float tangentRoundedToFloat(double radians) { return static_cast<float>(std::tan(radians)); }
inline float arcCosineRoundedToFloat(double value) { return static_cast<float>(std::acos(value)); }

// The vector rotations' cosine and sine: radians rounded to float first.
inline float cosineViaFloatRadians(float degrees) {
    return cosineRoundedToFloat(radiansRoundedToFloat(degrees));
}
inline float sineViaFloatRadians(float degrees) { return sineRoundedToFloat(radiansRoundedToFloat(degrees)); }

// The cosine and sine of degrees * degreesToRadians, the radians never rounded to float.
inline float cosineViaDoubleRadians(float degrees) {
    return cosineRoundedToFloat(degrees * degreesToRadians);
}
inline float sineViaDoubleRadians(float degrees) { return sineRoundedToFloat(degrees * degreesToRadians); }

} // namespace valley
