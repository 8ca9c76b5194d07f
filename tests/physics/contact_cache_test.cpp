// The contact test keeps each box's turns between calls: against the direct computation of
// tests/physics/physics_reference.cpp, bit for bit, and the turns against core/vec_math.h's.

#include "physics/axis_turn.h"
#include "physics/contact.h"
#include "physics/physics_world.h"
#include "tests/physics/physics_reference.h"
#include "tests/physics/rock_scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

using namespace valley;

namespace {

template <typename T> bool sameBits(const T& a, const T& b) { return std::memcmp(&a, &b, sizeof(T)) == 0; }

uint32_t bitsOf(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

float fromBits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

struct Tally {
    int faces = 0;
    int edges = 0;
    int misses = 0;
};

// Both tests on one box and sphere, from the same stale result; true when they agree.
bool sameContact(const BoxCollider& box, const CollisionSphere& sphere, Tally& tally) {
    ContactResult cached = {{7, 7, 7}, -7.0f, true};
    ContactResult direct = cached;
    contactSphereBox(cached, box, sphere);
    referenceContactSphereBox(direct, box, sphere);
    if (direct.penetration == 10.0f) {
        ++tally.misses;
    } else if (direct.edgeContact) {
        ++tally.edges;
    } else {
        ++tally.faces;
    }
    return sameBits(cached.normal, direct.normal) && sameBits(cached.penetration, direct.penetration) &&
           cached.edgeContact == direct.edgeContact;
}

// A sphere near the box: centre within the box grown by two radii, in box space.
CollisionSphere sphereNear(const BoxCollider& box, SceneRandom& random) {
    CollisionSphere sphere = {};
    sphere.radius = random.chance(0.5f) ? 1.365f : random.between(0.2f, 6.0f);
    sphere.mass = 1.0f;
    sphere.enabled = random.chance(0.97f);
    const float reach = 2.0f * sphere.radius;
    Vec3 local = {random.between(-box.halfExtent.x - reach, box.halfExtent.x + reach),
                  random.between(-box.halfExtent.y - reach, box.halfExtent.y + reach),
                  random.between(-box.halfExtent.z - reach, box.halfExtent.z + reach)};
    rotateX(local, -box.rotation.x);
    rotateZ(local, -box.rotation.z);
    rotateY(local, -box.rotation.y);
    sphere.center = {box.position.x + local.x, box.position.y + local.y, box.position.z + local.z};
    return sphere;
}

BoxCollider boxFrom(const BoxState& state) {
    BoxCollider box = {};
    box.halfExtent = state.halfExtent;
    box.position = state.position;
    box.rotation = state.rotation;
    box.enabled = true;
    return box;
}

} // namespace

TEST(ContactCache, RandomSpheresAboutTheValleyBlocksMatchTheDirectTest) {
    SceneRandom random(2024);
    Tally tally;
    int mismatches = 0;
    for (const BoxState& block : valleyBlocks()) {
        const BoxCollider box = boxFrom(block);
        for (int i = 0; i < 20000; ++i) {
            const CollisionSphere sphere = sphereNear(box, random);
            if (!sameContact(box, sphere, tally) && ++mismatches <= 5) {
                ADD_FAILURE() << "sphere at " << sphere.center.x << ", " << sphere.center.y << ", "
                              << sphere.center.z;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(tally.faces, 10000);
    EXPECT_GT(tally.edges, 1000);
    EXPECT_GT(tally.misses, 1000);
}

TEST(ContactCache, RandomBoxesAndSpheresMatchTheDirectTest) {
    SceneRandom random(77);
    Tally tally;
    int mismatches = 0;
    for (int b = 0; b < 400; ++b) {
        BoxState state = {{random.between(-300, 300), random.between(-50, 100), random.between(-300, 2000)},
                          {random.between(0.5f, 60), random.between(0.5f, 60), random.between(0.5f, 300)},
                          {random.between(-720, 720), random.between(-720, 720), random.between(-720, 720)}};
        if (random.chance(0.2f)) {
            state.rotation.y = 90.0f * static_cast<float>(random.below(9)) - 360.0f; // right angles
        }
        const BoxCollider box = boxFrom(state);
        for (int i = 0; i < 300; ++i) {
            if (!sameContact(box, sphereNear(box, random), tally)) {
                ++mismatches;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(tally.edges, 1000);
    EXPECT_GT(tally.faces, 1000);
}

TEST(ContactCache, ABoxTurnedBetweenCallsIsTestedAtItsNewRotation) {
    // Player control writes the selected block's rotation every frame, mostly unchanged; the
    // kept turns must follow every change, down to the sign of a zero angle.
    SceneRandom random(5);
    BoxCollider box = boxFrom(valleyBlocks()[4]);
    const Vec3 earlier = {12.5f, -30.0f, 7.0f};
    Tally tally;
    int mismatches = 0;
    for (int frame = 0; frame < 3000; ++frame) {
        switch (random.below(6)) {
        case 0:
            box.rotation.z += 2.0f; // K / I turn it
            break;
        case 1:
            box.rotation.x -= 2.0f; // J / L turn it
            break;
        case 2:
            box.rotation = earlier; // back to a rotation seen before
            break;
        case 3:
            box.rotation = {-0.0f, 0.0f, random.chance(0.5f) ? -0.0f : 0.0f};
            break;
        case 4:
            box.position.y += 0.5f; // V lifts it; no turn
            break;
        default:
            break; // unchanged
        }
        for (int i = 0; i < 8; ++i) {
            CollisionSphere sphere = sphereNear(box, random);
            if (i % 4 == 0) {
                // On the box's axes and planes, where zeros of either sign appear.
                sphere.center = {box.position.x, box.position.y + (i == 0 ? 10.5f : -0.0f), box.position.z};
            }
            if (!sameContact(box, sphere, tally)) {
                ++mismatches;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(ContactCache, NotFiniteRotationsAndCentresMatchTheDirectTest) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    BoxCollider box = boxFrom(valleyBlocks()[0]);
    CollisionSphere sphere = {1.365f, 1.0f, {180, 31, 180}, {0, 0, 0}, true};
    Tally tally;
    EXPECT_TRUE(sameContact(box, sphere, tally));
    box.rotation.y = nan;
    EXPECT_TRUE(sameContact(box, sphere, tally));
    box.rotation = {0, 0, 0};
    sphere.center.x = inf;
    EXPECT_TRUE(sameContact(box, sphere, tally));
    sphere.center = {180, nan, 180};
    EXPECT_TRUE(sameContact(box, sphere, tally));
}

TEST(AxisTurns, MatchTheVectorRotationsAndReverseExactly) {
    // Sampled across the angles the step turns by (yaw to +-180, pitch to +-90) and beyond,
    // and every tenth of a degree; every float angle: the next test.
    SceneRandom random(3);
    int mismatches = 0;
    auto check = [&](float degrees) {
        const AxisTurn turn = axisTurn(degrees);
        const AxisTurn back = axisTurn(-degrees);
        if (!sameBits(back.c, turn.c) || !sameBits(back.s, -turn.s)) {
            ++mismatches;
        }
        const Vec3 v = {random.between(-50, 50), random.between(-50, 50), random.between(-50, 50)};
        Vec3 a = v;
        Vec3 b = v;
        rotateX(a, degrees);
        turnX(b, turn);
        rotateY(a, degrees);
        turnY(b, turn);
        rotateZ(a, -degrees);
        turnZ(b, reversed(turn));
        mismatches += sameBits(a, b) ? 0 : 1;
    };
    for (uint32_t bits = bitsOf(0.0f); bits <= bitsOf(400.0f); bits += 997) {
        check(fromBits(bits));
    }
    for (int tenth = -7200; tenth <= 7200; ++tenth) {
        check(static_cast<float>(tenth) / 10.0f);
    }
    // Every float near the right angles, where one of the two is near zero, and near the
    // limit of the fast range (3.2 radians, about 183.35 degrees).
    for (float centre : {90.0f, 180.0f, 270.0f, 183.346f, 1e-30f}) {
        for (int step = -3000; step <= 3000; ++step) {
            const float degrees =
                fromBits(static_cast<uint32_t>(static_cast<int64_t>(bitsOf(centre)) + step));
            check(degrees);
            check(-degrees);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// Every float angle from -200 to 200 degrees (its radians reach past the fast range's 3.2) gives
// the C library's cosine and sine: some 2.3 billion angles, a few minutes. Not run by ctest; on
// demand, from the build folder:
//   tests/physics/physics_tests --gtest_also_run_disabled_tests --gtest_filter='AxisTurns.DISABLED_*'
TEST(AxisTurns, DISABLED_EveryFloatAngleMatchesTheLibrary) {
    uint64_t mismatches = 0;
    for (uint32_t bits = 0; bits <= bitsOf(200.0f); ++bits) {
        for (const float degrees : {fromBits(bits), -fromBits(bits)}) {
            const AxisTurn fast = axisTurn(degrees);
            const AxisTurn library = turnViaFloatRadians(degrees);
            mismatches += sameBits(fast.c, library.c) && sameBits(fast.s, library.s) ? 0 : 1;
        }
    }
    EXPECT_EQ(mismatches, 0u);
}

TEST(AxisTurns, FrameTurnsMatchYawAndPitchRotations) {
    SceneRandom random(11);
    int mismatches = 0;
    auto check = [&](const Vec3& n) {
        const FrameTurns frame = frameTurnsOf(n);
        const Vec3 v = {random.between(-3, 3), random.between(-3, 3), random.between(-3, 3)};
        Vec3 a = v;
        Vec3 b = v;
        Vec3 angles;
        anglesOf(n, angles);
        intoFrame(a, angles);
        intoFrame(b, frame);
        mismatches += sameBits(a, b) ? 0 : 1;
        outOfFrame(a, angles);
        outOfFrame(b, frame);
        mismatches += sameBits(a, b) ? 0 : 1;
    };
    const Vec3 awkward[] = {{0, 0, 0}, {1, 0, 0},  {-1, 0, 0},        {0, 1, 0},      {0, -1, 0},
                            {0, 0, 1}, {0, 0, -1}, {-0.0f, 2, -0.0f}, {1e-30f, 1, 0}, {1e30f, -1e30f, 3}};
    for (const Vec3& n : awkward) {
        check(n);
    }
    for (int i = 0; i < 200000; ++i) {
        const float scale = random.chance(0.5f) ? 3.0f : 0.01f;
        check({random.between(-scale, scale), random.between(-scale, scale), random.between(-scale, scale)});
    }
    EXPECT_EQ(mismatches, 0);
}
