#include "physics/contact.h"

#include "physics/physics_world.h"
#include "tests/physics/physics_fixtures.h"

#include <cmath>

using namespace valley;

namespace {

struct ContactCase {
    const char* what;
    Vec3 half;
    Vec3 rotation;
    Vec3 centre; // sphere of radius 0.5; the box sits at the origin
    Vec3 normal;
    float penetration;
    bool edge;
};

const float gap45 = std::sqrt(0.08f) - 0.5f; // edge gap (0.2, 0.2) less the radius

// clang-format off
const ContactCase contactCases[] = {
    {"resting on top", {1, 1, 1}, {0, 0, 0}, {0, 1.3f, 0}, {0, 1, 0}, -0.2f, false},
    {"over the top +x edge", {1, 1, 1}, {0, 0, 0}, {1.2f, 1.2f, 0}, {0.2f, 0.2f, 0}, gap45, true},
    {"clear of the edge", {1, 1, 1}, {0, 0, 0}, {1.6f, 1.3f, 0}, {0.6f, 0.3f, 0}, std::sqrt(0.45f) - 0.5f, true},
    {"above, off every face", {1, 1, 1}, {0, 0, 0}, {1.3f, 1.6f, 0}, {0, 0, 0}, 10.0f, false},
    {"away from +x, still taken", {1, 1, 1}, {0, 0, 0}, {5, 0, 0}, {1, 0, 0}, 3.5f, false},
    {"too far from +x", {1, 1, 1}, {0, 0, 0}, {12, 0, 0}, {0, 0, 0}, 10.0f, false},
    {"at the centre", {1, 1, 1}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, 10.0f, false},
    {"thin box, +z edge", {0.2f, 1, 1}, {0, 0, 0}, {0.4f, 0, 1.2f}, {0.2f, 0, 0.2f}, gap45, true},
    {"turned box, on top", {1, 1, 1}, {0, 90, 0}, {0, 1.3f, 0}, {0, 1, 0}, -0.2f, false},
    {"turned box, local -x", {1, 1, 1}, {0, 90, 0}, {0, 0, 1.3f}, {0, 0, 1}, -0.2f, false},
    {"turned box, local +z", {1, 1, 1}, {0, 90, 0}, {1.3f, 0, 0}, {1, 0, 0}, -0.2f, false},
    {"below the bottom -x edge", {1, 1, 1}, {0, 0, 0}, {-1.2f, -1.2f, 0}, {-0.2f, -0.2f, 0}, gap45, true},
    {"on the +x face plane, in the y band", {1, 1, 1}, {0, 0, 0}, {1, 1.2f, 0}, {0, 1, 0}, 1.2f - 1.5f, false},
    {"inside, as deep under +z as under -x", {1, 1, 1}, {0, 0, 0}, {-0.7f, 0, 0.7f}, {0, 0, 1}, -0.8f, false},
    {"centre as deep as the half extent", {1, 1, 1}, {0, 0, 0}, {0.5f, 0, 0}, {0, 0, 0}, 10.0f, false},
    {"just past the +z rim", {1, 1, 1}, {0, 0, 0}, {0.7f, 0, 1.5f}, {0, 0, 0}, 10.0f, false},
    {"just past the -z rim", {1, 1, 1}, {0, 0, 0}, {0.7f, 0, -1.5f}, {0, 0, 0}, 10.0f, false},
    {"box turned about x and z", {1, 1, 1}, {90, 0, 90}, {1.3f, 0, 0}, {1, 0, 0}, -0.2f, false},
    {"tilted box, +y replaces +x", {2, 1, 1}, {0, 0, 30}, {0.5f, 1.4f, 0}, {-0.5f, 0.8660254f, 0},
     1.4f * 0.8660254f - 0.25f - 1.5f, false},
};
// clang-format on

class SphereBoxContact : public PhysicsTest {
protected:
    ContactResult contact(const ContactCase& c, bool enabled = true) {
        BoxCollider* box = addBox({0, 0, 0}, c.half, c.rotation);
        CollisionSphere sphere = {0.5f, 1.0f, c.centre, {0, 0, 0}, enabled};
        ContactResult result = {{7, 7, 7}, -7.0f, true};
        contactSphereBox(result, *box, sphere);
        return result;
    }
};

} // namespace

TEST_F(SphereBoxContact, FacesEdgesAndMissesOfPlainAndTurnedBoxes) {
    for (const ContactCase& c : contactCases) {
        SCOPED_TRACE(c.what);
        ContactResult result = contact(c);
        expectVec3Near(result.normal, c.normal);
        EXPECT_NEAR(result.penetration, c.penetration, 1e-5f);
        EXPECT_EQ(result.edgeContact, c.edge);
    }
}

TEST_F(SphereBoxContact, DisabledSphereTouchesNothing) {
    ContactResult result = contact(contactCases[0], false);
    expectVec3Near(result.normal, {0, 0, 0});
    EXPECT_EQ(result.penetration, 10.0f);
}

TEST(EdgeBands, InFaceCoordinatesAgainstTheRimLowerAxisFirst) {
    const Vec3 half = {1, 1, 1};
    EdgeBand bands[2];
    classifyEdgeBands(1, 0.5f, {1.2f, 5, -1.2f}, half, bands); // across y: x then z
    EXPECT_EQ(bands[0], EdgeBand::positiveBand);
    EXPECT_EQ(bands[1], EdgeBand::negativeBand);
    classifyEdgeBands(0, 0.5f, {5, 1.6f, 1}, half, bands); // across x: y then z
    EXPECT_EQ(bands[0], EdgeBand::outside);
    EXPECT_EQ(bands[1], EdgeBand::inside);
    classifyEdgeBands(2, 0.5f, {-1.6f, -1.4f, 0}, half, bands); // across z: x then y
    EXPECT_EQ(bands[0], EdgeBand::outside);
    EXPECT_EQ(bands[1], EdgeBand::negativeBand);
}
