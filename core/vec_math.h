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
#pragma once

struct Vec3 {
    float x;
    float y;
    float z;
};

struct Mat4 {
    float m[16];
};

extern const Mat4 identityMat4; // shared identity; copy it with copyMat4, never write to it

// Vector operations: in place on the first argument unless a result is returned.
void setBoth(Vec3& a, Vec3& b, float x, float y, float z);
void rotateX(Vec3& v, float degrees);
void rotateY(Vec3& v, float degrees);
void rotateZ(Vec3& v, float degrees);
float square(float x);
float length(const Vec3& v);
void normalize(Vec3& v);         // the zero vector stays zero
float yawOf(const Vec3& v);      // heading: +x 0, +z 90, -z -90, -x -180, no horizontal part -90
float pitchOf(const Vec3& v);    // elevation: up 90, down -90, zero vector -90
Vec3& anglesOf(const Vec3& v, Vec3& out); // out = (0, yawOf, pitchOf)

// Matrix operations.
void copyMat4(Mat4& destination, const Mat4& source);
void multiplyMat4(Mat4& a, const Mat4& b); // a := b * a in OpenGL's reading: b applies after a
void rotateMat4X(Mat4& m, float degrees);
void rotateMat4Y(Mat4& m, float degrees);
void rotateMat4Z(Mat4& m, float degrees);
// Projection for a near plane at 1; f = 4 / tan(fieldOfView), see the notes in the source.
void perspective(Mat4& destination, float aspect, float fieldOfViewDegrees);
