#include "render/view_volume.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace valley;

namespace {

Mat4 sceneProjection() {
    Mat4 projection;
    perspective(projection, 1280.0f / 720.0f, 45.0f);
    return projection;
}

// Whether an eye-space point lands inside the clip volume.
bool inView(const Vec3& p, const Mat4& projection) {
    const float* m = projection.m;
    float clip[4];
    for (int row = 0; row < 4; ++row) {
        clip[row] = m[row] * p.x + m[4 + row] * p.y + m[8 + row] * p.z + m[12 + row];
    }
    const float w = clip[3];
    return std::fabs(clip[0]) <= w && std::fabs(clip[1]) <= w && std::fabs(clip[2]) <= w;
}

} // namespace

TEST(ViewVolume, SpheresWhollyOutsideOnePlaneAreOutAndAllOthersIn) {
    const Mat4 projection = sceneProjection();
    struct Case {
        const char* what;
        Vec3 centre;
        float radius;
        bool outside;
    };
    const Case cases[] = {
        {"ahead", {0, 0, -100}, 5, false},
        {"behind", {0, 0, 100}, 5, true},
        {"around the eye", {0, 0, 0}, 5, false},
        {"behind, reaching past the eye", {0, 0, 4}, 5, false},
        {"far to the left", {-500, 0, -100}, 5, true},
        {"far to the right", {500, 0, -100}, 5, true},
        {"far above", {0, 500, -100}, 5, true},
        {"far below", {0, -500, -100}, 5, true},
        {"beside, reaching in", {-500, 0, -100}, 500, false},
        {"far ahead", {0, 0, -19000}, 5, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sphereOutsideView(c.centre, c.radius, projection), c.outside) << c.what;
    }
}

TEST(ViewVolume, NoPointOfASphereLeftOutLandsInView) {
    const Mat4 projection = sceneProjection();
    std::mt19937 random(11);
    std::uniform_real_distribution<float> spread(-1.0f, 1.0f);
    int leftOut = 0;
    for (int s = 0; s < 4000; ++s) {
        const Vec3 centre = {300 * spread(random), 200 * spread(random), 300 * spread(random)};
        const float radius = 60 * std::fabs(spread(random));
        if (!sphereOutsideView(centre, radius, projection)) {
            continue;
        }
        ++leftOut;
        for (int p = 0; p < 400; ++p) {
            Vec3 direction = {spread(random), spread(random), spread(random)};
            const float length = std::sqrt(dot(direction, direction));
            if (length == 0.0f) {
                continue;
            }
            const Vec3 point = add(centre, scale(direction, radius / length));
            ASSERT_FALSE(inView(point, projection)) << "sphere " << s;
        }
    }
    EXPECT_GT(leftOut, 1000);
}
