#include "core/vec_math.h"

#include <gtest/gtest.h>

using namespace valley;

namespace {

const float tolerance = 1e-5f;

// A point mapped by a matrix in OpenGL's reading (column-major, w = 1).
Vec3 transformPoint(const Mat4& m, const Vec3& p) {
    return {m.m[0] * p.x + m.m[4] * p.y + m.m[8] * p.z + m.m[12],
            m.m[1] * p.x + m.m[5] * p.y + m.m[9] * p.z + m.m[13],
            m.m[2] * p.x + m.m[6] * p.y + m.m[10] * p.z + m.m[14]};
}

void expectNear(const Vec3& actual, const Vec3& expected) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

Mat4 rotatedIdentity(void (*rotate)(Mat4&, float), float degrees) {
    Mat4 m;
    copyMat4(m, identityMat4);
    rotate(m, degrees);
    return m;
}

} // namespace

TEST(VectorRotation, TurnsOppositeToTheMatrixRotationOfTheSameAngle) {
    Vec3 v = {1, 0, 0};
    rotateY(v, 90);
    expectNear(v, {0, 0, 1});
    expectNear(transformPoint(rotatedIdentity(rotateMat4Y, 90), {1, 0, 0}), {0, 0, -1});

    v = {1, 0, 0};
    rotateZ(v, 90);
    expectNear(v, {0, -1, 0});
    expectNear(transformPoint(rotatedIdentity(rotateMat4Z, 90), {1, 0, 0}), {0, 1, 0});

    v = {0, 1, 0};
    rotateX(v, 90);
    expectNear(v, {0, 0, -1});
    expectNear(transformPoint(rotatedIdentity(rotateMat4X, 90), {0, 1, 0}), {0, 0, 1});
}

TEST(VectorRotation, UsesTheOldComponentsForBothResults) {
    Vec3 v = {1, 2, 3};
    rotateY(v, 30);
    // Computed by hand from the unrotated (1, 3): c = 0.8660254, s = 0.5.
    EXPECT_NEAR(v.x, 0.8660254f * 1 - 0.5f * 3, tolerance);
    EXPECT_NEAR(v.z, 0.5f * 1 + 0.8660254f * 3, tolerance);
    EXPECT_FLOAT_EQ(v.y, 2);
}

TEST(VectorLength, NormalizeKeepsTheZeroVectorAndScalesOthersToOne) {
    Vec3 zero = {0, 0, 0};
    normalize(zero);
    EXPECT_EQ(zero.x, 0);
    EXPECT_EQ(zero.y, 0);
    EXPECT_EQ(zero.z, 0);
    Vec3 v = {3, 0, 4};
    EXPECT_FLOAT_EQ(length(v), 5);
    normalize(v);
    expectNear(v, {0.6f, 0, 0.8f});
}

TEST(Heading, YawOfCoversEveryQuadrantAndVectorsWithoutAHorizontalPart) {
    EXPECT_NEAR(yawOf({1, 0, 0}), 0, tolerance);
    EXPECT_NEAR(yawOf({1, 0, 1}), 45, 1e-4);
    EXPECT_NEAR(yawOf({0, 0, 1}), 90, 1e-4);
    EXPECT_NEAR(yawOf({-1, 0, 1}), 135, 1e-4);
    EXPECT_NEAR(yawOf({-1, 0, 0}), -180, 1e-4); // not +180
    EXPECT_NEAR(yawOf({-1, 0, -1}), -135, 1e-4);
    EXPECT_NEAR(yawOf({0, 0, -1}), -90, 1e-4);
    EXPECT_NEAR(yawOf({1, 0, -1}), -45, 1e-4);
    EXPECT_NEAR(yawOf({2, 7, 0}), 0, tolerance); // height does not count
    EXPECT_NEAR(yawOf({0, 5, 0}), -90, 1e-4);
    EXPECT_NEAR(yawOf({0, 0, 0}), -90, 1e-4);
}

TEST(Heading, PitchOfMeasuresElevationWhateverTheHeading) {
    EXPECT_NEAR(pitchOf({1, 1, 0}), 45, 1e-4);
    EXPECT_NEAR(pitchOf({0, 1, 1}), 45, 1e-4);
    EXPECT_NEAR(pitchOf({-3, -3, 0}), -45, 1e-4);
    EXPECT_NEAR(pitchOf({0, 1, 0}), 90, 1e-4);
    EXPECT_NEAR(pitchOf({0, -1, 0}), -90, 1e-4);
    EXPECT_NEAR(pitchOf({0, 0, 0}), -90, 1e-4);
    EXPECT_NEAR(pitchOf({0, 0, -2}), 0, 1e-4);
}

TEST(Heading, AnglesOfLeavesXZeroAndFillsYawAndPitch) {
    Vec3 out = {7, 7, 7};
    Vec3& result = anglesOf({0, 1, 1}, out);
    EXPECT_EQ(&result, &out);
    EXPECT_EQ(out.x, 0);
    EXPECT_NEAR(out.y, 90, 1e-4);
    EXPECT_NEAR(out.z, 45, 1e-4);
}

TEST(MatrixProduct, IdentityOnEitherSideChangesNothing) {
    Mat4 a = rotatedIdentity(rotateMat4X, 37);
    a.m[12] = 5;
    Mat4 product = a;
    multiplyMat4(product, identityMat4);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(product.m[i], a.m[i]);
    }
    Mat4 identity;
    copyMat4(identity, identityMat4);
    multiplyMat4(identity, a);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(identity.m[i], a.m[i]);
    }
}

TEST(MatrixProduct, MultiplyingInAppliesTheNewTransformAfterTheOld) {
    Mat4 m;
    copyMat4(m, identityMat4);
    rotateMat4X(m, 90); // (0, 1, 0) -> (0, 0, 1)
    rotateMat4Y(m, 90); // then (0, 0, 1) -> (1, 0, 0)
    expectNear(transformPoint(m, {0, 1, 0}), {1, 0, 0});

    Mat4 moved;
    copyMat4(moved, identityMat4);
    moved.m[12] = 10;       // translate along x first
    rotateMat4Y(moved, 90); // then turn: the translation turns with it
    expectNear(transformPoint(moved, {0, 0, 0}), {0, 0, -10});
}

// An object's rotation matrix starts from the identity whatever the record held, then turns
// about x, then z, then y.
TEST(MatrixProduct, RotationMatrixIsTheIdentityTurnedAboutXThenZThenY) {
    const Vec3 rotations[] = {{0, 0, 0},  {90, 0, 0},     {0, 0, 90},
                              {0, 90, 0}, {30, -45, 120}, {-7.5f, 361, 0.25f}};
    for (const Vec3& degrees : rotations) {
        Mat4 expected;
        copyMat4(expected, identityMat4);
        rotateMat4X(expected, degrees.x);
        rotateMat4Z(expected, degrees.z);
        rotateMat4Y(expected, degrees.y);
        Mat4 m;
        for (float& element : m.m) {
            element = 3.0f;
        }
        rotationMat4(m, degrees);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(m.m[i], expected.m[i])
                << degrees.x << " " << degrees.y << " " << degrees.z << " element " << i;
        }
    }
    Mat4 m;
    rotationMat4(m, {90, 90, 0}); // (0, 1, 0) -> (0, 0, 1) about x, then -> (1, 0, 0) about y
    expectNear(transformPoint(m, {0, 1, 0}), {1, 0, 0});
}

TEST(Projection, PerspectiveLaysOutItsElementsAsTheEngineExpects) {
    Mat4 p;
    std::fill(std::begin(p.m), std::end(p.m), 9.0f);
    perspective(p, 1280.0f / 720.0f, 60.0f);
    EXPECT_FLOAT_EQ(p.m[0], 1.2990381f);
    EXPECT_FLOAT_EQ(p.m[5], 2.3094010f);
    EXPECT_EQ(p.m[10], -1.0020020008087158f);
    EXPECT_EQ(p.m[11], -2.002002000808716f);
    EXPECT_EQ(p.m[14], -1.0f);
    for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13, 15}) {
        EXPECT_EQ(p.m[i], 0.0f) << "element " << i;
    }
}
