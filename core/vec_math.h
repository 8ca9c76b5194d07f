// Vectors, angles and 4x4 matrices in the engine's conventions.
//
// Units: world units; y points up; every angle that crosses an interface is in degrees.
// All values are 32-bit floats and every stored intermediate is rounded to float.
//
// Matrices: 16 floats, column-major as OpenGL reads them (row r, column c at m[4c + r]),
// translation in elements 12-14, handed to OpenGL untransposed. A matrix maps a point p as M * p.
//
// Sense of rotation: the vector rotations (rotateX/Y/Z) turn by -angle in the right-handed
// sense; the matrix rotations (rotateMat4X/Y/Z) turn by +angle. Callers pick the one they need.
// How each rounds its angle: core/angles.h.
#pragma once

#include "core/angles.h"

namespace valley {

struct Vec3 {
    float x;
    float y;
    float z;
};

struct Mat4 {
    float m[16];
};

extern const Mat4 identityMat4; // shared identity; copy it with copyMat4, never write to it

// Component by component, each component one float operation (dot and cross: x, then y, then z).
inline Vec3 add(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 subtract(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 scale(const Vec3& v, float factor) { return {v.x * factor, v.y * factor, v.z * factor}; }
inline float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A turn about one axis by its cosine and sine, for turning many vectors by one angle.
struct AxisTurn {
    float c;
    float s;
};

// The double cosine and sine of the angle, each rounded to float.
inline AxisTurn turnOfRadians(double radians) {
    return {cosineRoundedToFloat(radians), sineRoundedToFloat(radians)};
}

// The turn rotateX/Y/Z make: radians rounded to float, then their double cosine and sine.
inline AxisTurn turnViaFloatRadians(float degrees) { return turnOfRadians(radiansRoundedToFloat(degrees)); }

// The turn by -degrees from the turn by degrees. Exact when the turn is turnViaFloatRadians':
// negating the angle negates its float radians, and the double sine is odd and the cosine
// even bit for bit (checked by the tests).
inline AxisTurn reversed(const AxisTurn& turn) { return {turn.c, -turn.s}; }

// The vector rotations' formulas, with the angle's cosine and sine given.
inline void turnX(Vec3& v, const AxisTurn& turn) {
    const float y = turn.c * v.y + turn.s * v.z;
    const float z = turn.c * v.z - turn.s * v.y;
    v.y = y;
    v.z = z;
}

inline void turnY(Vec3& v, const AxisTurn& turn) {
    const float x = turn.c * v.x - turn.s * v.z;
    const float z = turn.s * v.x + turn.c * v.z;
    v.x = x;
    v.z = z;
}

inline void turnZ(Vec3& v, const AxisTurn& turn) {
    const float x = turn.c * v.x + turn.s * v.y;
    const float y = turn.c * v.y - turn.s * v.x;
    v.x = x;
    v.y = y;
}

// Vector operations: in place on the first argument unless a result is returned.
void setBoth(Vec3& a, Vec3& b, float x, float y, float z);
void rotateX(Vec3& v, float degrees);
void rotateY(Vec3& v, float degrees);
void rotateZ(Vec3& v, float degrees);
float square(float x);
float length(const Vec3& v);
void normalize(Vec3& v);                  // the zero vector stays zero
float yawOf(const Vec3& v);               // heading: +x 0, +z 90, -z -90, -x -180, no horizontal part -90
float pitchOf(const Vec3& v);             // elevation: up 90, down -90, zero vector -90
Vec3& anglesOf(const Vec3& v, Vec3& out); // out = (0, yawOf, pitchOf)

// The frame of a direction n, whose angles are anglesOf(n): n is +x in it. Entered by
// rotateY(-yaw) then rotateZ(pitch), left by the reverse.
void intoFrame(Vec3& v, const Vec3& frameAngles);
void outOfFrame(Vec3& v, const Vec3& frameAngles);

// Matrix operations.
void copyMat4(Mat4& destination, const Mat4& source);
void multiplyMat4(Mat4& a, const Mat4& b); // a := b * a in OpenGL's reading: b applies after a
void rotateMat4X(Mat4& m, float degrees);
void rotateMat4Y(Mat4& m, float degrees);
void rotateMat4Z(Mat4& m, float degrees);
// An object's rotation triple: rotateMat4X by degrees.x, then rotateMat4Z by degrees.z, then
// rotateMat4Y by degrees.y.
void rotateMat4XZY(Mat4& m, const Vec3& degrees);
// The identity turned by rotateMat4XZY: the matrix of an object's rotation, as its normals turn.
void rotationMat4(Mat4& destination, const Vec3& degrees);
// Projection for a near plane at 1; f = 4 / tan(fieldOfView), see the notes in the source.
void perspective(Mat4& destination, float aspect, float fieldOfViewDegrees);

} // namespace valley
