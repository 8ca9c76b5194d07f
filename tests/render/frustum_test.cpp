#include "assets/mesh.h"
#include "render/camera.h"
#include "render/frustum.h"
#include "render/render_object.h"

#include <gtest/gtest.h>

using namespace valley;

namespace {

// A camera at its defaults (at the origin looking along +x), four plates, and one box to test.
class FrustumTest : public ::testing::Test {
protected:
    void SetUp() override {
        initCamera(camera);
        for (int i = 0; i < 4; ++i) {
            plates[i] = RenderObject{};
            plates[i].rotation.x = 5.0f;
            platePointers[i] = &plates[i];
        }
        mesh.extent = {0, 0, 0};
        box.mesh = &mesh;
    }
    bool inViewAt(float x, float y, float z) {
        box.position = {x, y, z};
        return frustumCheck(box, camera, platePointers);
    }

    Camera camera = {};
    RenderObject plates[4];
    RenderObject* platePointers[4] = {};
    Mesh mesh = {};
    RenderObject box = {};
};

} // namespace

TEST_F(FrustumTest, HalfAngleOfTheDefaultFieldOfView) { EXPECT_NEAR(frustumHalfAngle(60.0f), 41.87f, 0.01f); }

TEST_F(FrustumTest, PointsAheadBesideAndBehindTheEye) {
    EXPECT_TRUE(inViewAt(10, 0, 0));
    EXPECT_FALSE(inViewAt(10, 0, 9.5f)); // beyond tan 41.87 = 0.896 to the right
    EXPECT_FALSE(inViewAt(10, 0, -9.5f));
    EXPECT_FALSE(inViewAt(-1, 0, 0));
    mesh.extent.x = 4; // the far corners reach x = 1
    EXPECT_TRUE(inViewAt(-1, 0, 0));
}

TEST_F(FrustumTest, ABoxStraddlingASidePlaneIsInViewByOneCorner) {
    EXPECT_FALSE(inViewAt(10, 0, 10));
    mesh.extent = {4, 0, 4}; // corner (12, 0, 8) is inside
    EXPECT_TRUE(inViewAt(10, 0, 10));
}

TEST_F(FrustumTest, AboveTheEyeOrLevelBehindItIsOutWhateverThePitch) {
    EXPECT_FALSE(inViewAt(0.001f, 50, 0));
    for (float pitch : {-60.0f, 0.0f, 60.0f}) {
        camera.pitch = pitch;
        EXPECT_FALSE(inViewAt(-10, 0, 0)) << pitch;
    }
}

TEST_F(FrustumTest, PitchTiltsTopAndBottomButNotTheFrontPlane) {
    EXPECT_TRUE(inViewAt(10, 8.5f, 0));
    EXPECT_FALSE(inViewAt(10, -12, 0));
    camera.pitch = 20; // looking down
    EXPECT_FALSE(inViewAt(10, 8.5f, 0));
    EXPECT_TRUE(inViewAt(10, -12, 0));
    camera.pitch = 80; // nearly straight down: below the eye is in view only ahead of it
    EXPECT_TRUE(inViewAt(0.1f, -5, 0));
    EXPECT_FALSE(inViewAt(-0.1f, -5, 0));
}

TEST_F(FrustumTest, YawTurnsTheView) {
    camera.yaw = 90; // looking along +z
    EXPECT_TRUE(inViewAt(0, 0, 10));
    EXPECT_FALSE(inViewAt(10, 0, 0));
    camera.position = {100, 0, 100};
    EXPECT_TRUE(inViewAt(100, 0, 110));
}

TEST_F(FrustumTest, EveryCallTurnsThePlatesToHalfTheFieldOfView) {
    inViewAt(10, 0, 0);
    EXPECT_EQ(plates[0].rotation.x, 0.0f);
    EXPECT_EQ(plates[0].rotation.y, 60.0f);
    EXPECT_EQ(plates[0].rotation.z, -90.0f);
    EXPECT_EQ(plates[1].rotation.y, -60.0f);
    EXPECT_EQ(plates[1].rotation.z, -90.0f);
    EXPECT_EQ(plates[2].rotation.x, 5.0f);
    EXPECT_EQ(plates[2].rotation.y, 0.0f);
    EXPECT_EQ(plates[2].rotation.z, -30.0f);
    EXPECT_EQ(plates[3].rotation.x, 5.0f);
    EXPECT_EQ(plates[3].rotation.z, 30.0f);
}
