#include "render/ground_pieces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace valley;

namespace {

Vec3 unit(Vec3 v) { return scale(v, 1.0f / std::sqrt(dot(v, v))); }

// The terrain shader's blend weight at one point of a triangle, as GLSL defines its steps.
float flatnessAt(const Vec3 normals[3], float a, float b) {
    const Vec3 blended =
        add(add(scale(normals[0], 1.0f - a - b), scale(normals[1], a)), scale(normals[2], b));
    const float y = unit(blended).y;
    const float t = std::min(std::max((y - rockBelow) / (grassAbove - rockBelow), 0.0f), 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

} // namespace

TEST(GroundSlope, OneSidedOnlyWhenEveryBlendOfTheNormalsIsOnThatSide) {
    const float nan = std::nanf("");
    struct Case {
        const char* what;
        Vec3 normals[3];
        GroundSlope slope;
    };
    const Case cases[] = {
        {"level ground", {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}}, flatGround},
        {"gentle slopes every way",
         {unit({0.5f, 1, 0}), unit({0, 1, 0.5f}), unit({-0.3f, 1, -0.3f})},
         flatGround},
        {"one corner at the grass edge", {{0, 1, 0}, {0, 1, 0}, unit({0.6197f, 1, 0})}, mixedGround},
        {"one corner in the blend", {{0, 1, 0}, {0, 1, 0}, unit({1, 1, 0})}, mixedGround},
        {"walls", {{1, 0, 0}, {0, 0, 1}, unit({1, 0, 1})}, steepGround},
        {"steep, close together",
         {unit({1, 0.6f, 0}), unit({1, 0.6f, 0.2f}), unit({1, 0.5f, -0.2f})},
         steepGround},
        {"steep corners whose blend points up",
         {unit({1, 0.8f, 0}), unit({-1, 0.8f, 0}), unit({0, 0.8f, 1})},
         mixedGround},
        {"overhang", {{0, -1, 0}, unit({1, -1, 0}), unit({0, -1, 1})}, steepGround},
        {"opposite normals", {{1, 0, 0}, {-1, 0, 0}, {0, 0, 1}}, mixedGround},
        {"a zero normal", {{0, 1, 0}, {0, 0, 0}, {0, 1, 0}}, mixedGround},
        {"a broken normal", {{0, 1, 0}, {nan, nan, nan}, {0, 1, 0}}, mixedGround},
        {"a normal of length 2", {{0, 2, 0}, {0, 1, 0}, {0, 1, 0}}, mixedGround},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(groundSlopeOf(c.normals), c.slope) << c.what;
    }
}

TEST(GroundSlope, EveryPointOfAOneSidedTriangleGetsExactlyItsTexture) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> spread(-1.0f, 1.0f);
    std::uniform_real_distribution<float> height(-0.3f, 3.0f);
    int oneSided[2] = {0, 0};
    for (int t = 0; t < 20000; ++t) {
        // Corners near a common direction, as on a smooth terrain, at every slope.
        const Vec3 centre = unit({spread(random), height(random), spread(random)});
        const float width = 0.4f * std::abs(spread(random));
        Vec3 normals[3];
        for (Vec3& n : normals) {
            n = unit(add(centre, {width * spread(random), width * spread(random), width * spread(random)}));
        }
        const GroundSlope slope = groundSlopeOf(normals);
        if (slope == mixedGround) {
            continue;
        }
        ++oneSided[slope];
        const float expected = slope == flatGround ? 1.0f : 0.0f;
        for (int i = 0; i <= 16; ++i) {
            for (int j = 0; i + j <= 16; ++j) {
                ASSERT_EQ(flatnessAt(normals, i / 16.0f, j / 16.0f), expected) << "triangle " << t;
            }
        }
    }
    EXPECT_GT(oneSided[steepGround], 1000);
    EXPECT_GT(oneSided[flatGround], 1000);
}
