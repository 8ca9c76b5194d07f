#include "core/vec_math.h"

#include <cmath>

namespace valley {

const Mat4 identityMat4 = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

void setBoth(Vec3& a, Vec3& b, float x, float y, float z) {
    a = {x, y, z};
    b = {x, y, z};
}

void rotateX(Vec3& v, float degrees) { turnX(v, turnViaFloatRadians(degrees)); }

void rotateY(Vec3& v, float degrees) { turnY(v, turnViaFloatRadians(degrees)); }

void rotateZ(Vec3& v, float degrees) { turnZ(v, turnViaFloatRadians(degrees)); }

float square(float x) { return x * x; }

float length(const Vec3& v) { return std::sqrt(square(v.x) + square(v.y) + square(v.z)); }

void normalize(Vec3& v) {
    float l = length(v);
    if (l == 0.0f) {
        v = {0.0f, 0.0f, 0.0f};
        return;
    }
    v.x /= l;
    v.y /= l;
    v.z /= l;
}

float yawOf(const Vec3& v) {
    Vec3 b = {v.x, 0.0f, v.z};
    normalize(b);
    float d = b.x; // dot product with the reference (1, 0, 0)
    float angle = arcCosineRoundedToFloat(d);
    return b.z > 0.0f ? degreesRoundedToFloat(angle) : degreesRoundedToFloat(-angle);
}

float pitchOf(const Vec3& v) {
    Vec3 w = v;
    rotateY(w, -yawOf(v));
    w.z = 0.0f;
    normalize(w);
    float angle = arcCosineRoundedToFloat(w.x);
    return w.y > 0.0f ? degreesRoundedToFloat(angle) : degreesRoundedToFloat(-angle);
}

Vec3& anglesOf(const Vec3& v, Vec3& out) {
    out = {0.0f, 0.0f, 0.0f};
    out.y = yawOf(v);
    out.z = pitchOf(v);
    return out;
}

void intoFrame(Vec3& v, const Vec3& frameAngles) {
    rotateY(v, -frameAngles.y);
    rotateZ(v, frameAngles.z);
}

void outOfFrame(Vec3& v, const Vec3& frameAngles) {
    rotateZ(v, -frameAngles.z);
    rotateY(v, frameAngles.y);
}

void copyMat4(Mat4& destination, const Mat4& source) { destination = source; }

void multiplyMat4(Mat4& a, const Mat4& b) {
    Mat4 r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[4 * i + j] = a.m[4 * i] * b.m[j] + a.m[4 * i + 1] * b.m[4 + j] + a.m[4 * i + 2] * b.m[8 + j] +
                             a.m[4 * i + 3] * b.m[12 + j];
        }
    }
    a = r;
}

// Each rotation is built in storage order m0..m15 and multiplied in: M := M (x) R.
void rotateMat4X(Mat4& m, float degrees) {
    float t = radiansInFloat(degrees);
    float c = cosineRoundedToFloat(t);
    float s = sineRoundedToFloat(t);
    multiplyMat4(m, Mat4{{1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1}});
}

void rotateMat4Y(Mat4& m, float degrees) {
    float t = radiansInFloat(degrees);
    float c = cosineRoundedToFloat(t);
    float s = sineRoundedToFloat(t);
    multiplyMat4(m, Mat4{{c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1}});
}

void rotateMat4Z(Mat4& m, float degrees) {
    float t = radiansInFloat(degrees);
    float c = cosineRoundedToFloat(t);
    float s = sineRoundedToFloat(t);
    multiplyMat4(m, Mat4{{c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}});
}

void rotateMat4XZY(Mat4& m, const Vec3& degrees) {
    rotateMat4X(m, degrees.x);
    rotateMat4Z(m, degrees.z);
    rotateMat4Y(m, degrees.y);
}

void rotationMat4(Mat4& destination, const Vec3& degrees) {
    copyMat4(destination, identityMat4);
    rotateMat4XZY(destination, degrees);
}

// f is 4 / tan of the whole field of view (not of its half), and the depth terms stand at m11
// and m14 the other way round from the common layout: the scene's look was tuned with exactly
// this projection (picture scaled by f / 2.002002, nothing clipped by distance).
void perspective(Mat4& destination, float aspect, float fieldOfViewDegrees) {
    float t = tangentRoundedToFloat(radiansInFloat(fieldOfViewDegrees));
    float f = static_cast<float>(4.0 / t);
    Mat4 p = {};
    p.m[0] = f / aspect;
    p.m[5] = f;
    p.m[10] = -1.0020020008087158f;
    p.m[11] = -2.002002000808716f;
    p.m[14] = -1.0f;
    copyMat4(destination, p);
}

} // namespace valley
