// The physics step against the straightforward all-pairs step of tests/physics/
// physics_reference.cpp, bit for bit, over random piles of rocks among the valley's blocks.

#include "physics/physics_step.h"
#include "tests/physics/physics_reference.h"
#include "tests/physics/rock_scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

using namespace valley;

namespace {

bool sameBits(const Vec3& a, const Vec3& b) { return std::memcmp(&a, &b, sizeof(Vec3)) == 0; }

// The first difference between the two scenes' bodies, or nothing.
std::string firstDifference(const RockScene& fast, const RockScene& reference) {
    for (size_t i = 0; i < fast.size(); ++i) {
        const RigidBody& a = fast.body(i);
        const RigidBody& b = reference.body(i);
        const char* field = nullptr;
        if (!sameBits(a.position, b.position)) {
            field = "position";
        } else if (!sameBits(a.nextPosition, b.nextPosition)) {
            field = "nextPosition";
        } else if (!sameBits(a.velocity, b.velocity)) {
            field = "velocity";
        } else if (!sameBits(a.previousVelocity, b.previousVelocity)) {
            field = "previousVelocity";
        } else if (!sameBits(a.place, b.place)) {
            field = "place";
        } else if (a.touching != b.touching || a.touchingBefore != b.touchingBefore) {
            field = "touching";
        }
        if (field != nullptr) {
            return "body " + std::to_string(i) + ": " + field;
        }
    }
    return "";
}

Vec3 plus(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

// A point on a block's surface or rim: a random box-space point pushed out to one face, edge
// or corner, brought to the world as the contact test brings box directions out.
Vec3 onBlock(const BoxState& block, SceneRandom& random) {
    const float h[3] = {block.halfExtent.x, block.halfExtent.y, block.halfExtent.z};
    float p[3];
    for (int axis = 0; axis < 3; ++axis) {
        p[axis] = random.between(-h[axis], h[axis]);
    }
    const int pinned = 1 + static_cast<int>(random.below(3)); // a face, an edge or a corner
    for (int k = 0; k < pinned; ++k) {
        const int axis = static_cast<int>(random.below(3));
        p[axis] = random.chance(0.5f) ? h[axis] : -h[axis];
    }
    Vec3 v = {p[0], p[1], p[2]};
    rotateX(v, -block.rotation.x);
    rotateZ(v, -block.rotation.z);
    rotateY(v, -block.rotation.y);
    return plus(v, block.position);
}

// Piles of rocks, packed so that most overlap a few others, on the blocks and on the ground,
// with a few retired (inactive, or with the sphere off) and a few whose sphere centre trails
// the rock.
std::vector<RockState> randomPiles(uint32_t seed, int count, const std::vector<BoxState>& blocks) {
    SceneRandom random(seed);
    const int pileCount = 1 + count / 40;
    std::vector<Vec3> piles;
    for (int p = 0; p < pileCount; ++p) {
        if (random.chance(0.6f)) {
            piles.push_back(onBlock(blocks[random.below(static_cast<uint32_t>(blocks.size()))], random));
        } else {
            piles.push_back({random.between(-120, 260), 1.5f, random.between(-120, 260)});
        }
    }
    const float spread = 1.6f * std::cbrt(static_cast<float>(count) / pileCount);
    std::vector<RockState> rocks;
    for (int i = 0; i < count; ++i) {
        RockState rock = {};
        const Vec3& pile = piles[random.below(static_cast<uint32_t>(piles.size()))];
        rock.position = plus(pile, {random.between(-spread, spread), random.between(-spread, spread),
                                    random.between(-spread, spread)});
        rock.radius = random.chance(0.7f) ? 1.365f : random.between(0.3f, 2.5f);
        rock.mass =
            random.chance(0.7f) ? rock.radius * rock.radius * 12.566371f / 10.0f : random.between(0.2f, 5.0f);
        if (random.chance(0.2f)) {
            rock.centreOffset = {random.between(-0.3f, 0.3f), random.between(-0.3f, 0.3f),
                                 random.between(-0.3f, 0.3f)};
        }
        rock.velocity = {random.between(-1, 1), random.between(-1, 1), random.between(-1, 1)};
        rock.previousVelocity =
            random.chance(0.5f) ? rock.velocity
                                : Vec3{random.between(-1, 1), random.between(-1, 1), random.between(-1, 1)};
        rock.active = random.chance(0.92f);
        rock.sphereEnabled = random.chance(0.92f);
        rock.touchingBefore = random.chance(0.5f);
        rocks.push_back(rock);
    }
    return rocks;
}

struct Coverage {
    int touching = 0;  // bodies that met another body, over all steps
    int pushedOut = 0; // bodies pushed out of a box or apart, over all steps
};

// Steps copies of one scene with the engine and the reference, comparing after every step and
// every integration; the rocks' updates feed each step's velocities into the next.
Coverage stepSideBySide(const std::vector<RockState>& rocks, const std::vector<BoxState>& boxes, int steps) {
    RockScene fast(rocks, boxes);
    RockScene reference(rocks, boxes);
    Coverage coverage;
    for (int step = 0; step < steps; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        stepPhysics(fast.bodyList(), fast.world());
        referenceStepPhysics(reference.bodyList(), reference.world());
        const std::string afterStep = firstDifference(fast, reference);
        EXPECT_EQ(afterStep, "") << "after the step";
        for (size_t i = 0; i < fast.size(); ++i) {
            const RigidBody& body = fast.body(i);
            coverage.touching += body.touching ? 1 : 0;
            coverage.pushedOut += body.active && !sameBits(body.position, body.nextPosition) ? 1 : 0;
        }
        integrateBodies(fast.bodyList());
        integrateBodies(reference.bodyList());
        const std::string afterIntegration = firstDifference(fast, reference);
        EXPECT_EQ(afterIntegration, "") << "after integration";
        if (!afterStep.empty() || !afterIntegration.empty()) {
            break;
        }
        fast.updateRocks(0.0f);
        reference.updateRocks(0.0f);
    }
    return coverage;
}

} // namespace

TEST(StepDifferential, RandomPilesAmongTheBlocksMatchTheAllPairsStep) {
    const std::vector<BoxState> blocks = valleyBlocks();
    const int counts[] = {50, 120, 250, 500};
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        const int count = counts[seed % 4];
        SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(count) + " rocks");
        const Coverage coverage = stepSideBySide(randomPiles(seed, count, blocks), blocks, 6);
        // The piles are dense: most bodies meet others at every step.
        EXPECT_GT(coverage.touching, count * 6 / 3);
        EXPECT_GT(coverage.pushedOut, count * 6 / 10);
    }
}

TEST(StepDifferential, ListOrderDecidesWhoseUpdatedPositionIsRead) {
    // A tight pile where every rock meets many others: each meets those earlier in the list
    // at their refreshed place and those later at the place the last integration left, and
    // the ground moves some rocks between steps.
    std::vector<RockState> rocks;
    SceneRandom random(99);
    for (int i = 0; i < 200; ++i) {
        RockState rock = {};
        rock.position = {random.between(-4, 4), random.between(0, 6), random.between(-4, 4)};
        rock.radius = 1.365f;
        rock.mass = 2.3414f;
        rock.velocity = {random.between(-0.2f, 0.2f), random.between(-0.5f, 0.5f),
                         random.between(-0.2f, 0.2f)};
        rock.previousVelocity = rock.velocity;
        rock.active = true;
        rock.sphereEnabled = true;
        rock.touchingBefore = true;
        rocks.push_back(rock);
    }
    const Coverage coverage = stepSideBySide(rocks, valleyBlocks(), 10);
    EXPECT_GT(coverage.touching, 200 * 10 / 2);
}

TEST(StepDifferential, OddSpheresMatchTooCoincidentTinyHugeFarAndNotFinite) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto rock = [](Vec3 position, float radius) {
        RockState r = {};
        r.position = position;
        r.radius = radius;
        r.mass = 1.0f;
        r.velocity = {0.1f, -0.2f, 0.3f};
        r.previousVelocity = {-0.1f, 0.0f, 0.2f};
        r.active = true;
        r.sphereEnabled = true;
        r.touchingBefore = true;
        return r;
    };
    std::vector<RockState> rocks = {
        rock({0, 0, 0}, 1.0f),
        rock({0, 0, 0}, 1.0f),
        rock({0, 0, 0}, 0.0f), // coincident, and of no size
        rock({1.5f, 0, 0}, 1.0f),
        rock({-2.0f, 0, 0}, 1.0f), // exactly touching is no overlap
        rock({1e7f, 5, 5}, 1.0f),
        rock({1e7f + 1.5f, 5, 5}, 1.0f), // far out: the grid clamps its cells
        rock({-3e9f, 0, 0}, 2.0f),
        rock({-3e9f, 0, 1}, 2.0f),
        rock({nan, 0, 0}, 1.0f),
        rock({inf, 0, 0}, 1.0f),
        rock({inf, 0, 0}, 1.0f),
        rock({5, 5, 5}, -1.0f),
        rock({5, 5, 6}, -1.0f), // radii of either sign
        rock({20, 0, 0}, nan),
        rock({20, 0, 1}, 1.0f),
        rock({1e30f, 1e30f, 1e30f}, 1.0f),
        rock({-1e30f, -1e30f, -1e30f}, 1.0f), // far off on every axis
        rock({1e30f, -1e30f, 1e30f}, 1.0f),
        rock({-1e30f, 1e30f, -1e30f}, 1.0f),
    };
    for (int i = 0; i < 40; ++i) { // and a pile near the origin among them
        rocks.push_back(rock({static_cast<float>(i % 4) * 1.9f, static_cast<float>(i / 16) * 1.9f,
                              static_cast<float>(i / 4 % 4) * 1.9f + 40.0f},
                             1.0f));
    }
    stepSideBySide(rocks, valleyBlocks(), 3);

    // A radius too large for any grid cell, then an infinite one.
    std::vector<RockState> huge = rocks;
    huge[3].radius = 1e30f;
    stepSideBySide(huge, valleyBlocks(), 3);
    huge[3].radius = inf;
    stepSideBySide(huge, valleyBlocks(), 3);
}

TEST(StepDifferential, RetiredBodiesLeftInTheListMatch) {
    const std::vector<BoxState> blocks = valleyBlocks();
    std::vector<RockState> rocks = randomPiles(7, 150, blocks);
    for (size_t i = 0; i < rocks.size(); i += 3) {
        rocks[i].active = i % 2 == 0;        // retired but still a contact
        rocks[i].sphereEnabled = i % 4 != 0; // or touching nothing
    }
    stepSideBySide(rocks, blocks, 4);
}

TEST(StepDifferential, RocksJustOffCornersAndEdgesOfSmallAndLargeBoxesMatch) {
    // Where a sphere overlapping a box lies farthest from its centre: off a corner, along the
    // diagonal, and off an edge, for boxes smaller and larger than the rocks.
    std::vector<BoxState> boxes = valleyBlocks();
    boxes.push_back({{300, 5, 300}, {0.5f, 0.5f, 0.5f}, {30, 40, 50}});
    boxes.push_back({{320, 5, 300}, {0.2f, 3.0f, 0.2f}, {0, 0, 0}});
    SceneRandom random(41);
    std::vector<RockState> rocks;
    for (const BoxState& box : boxes) {
        for (int k = 0; k < 40; ++k) {
            const float radius = random.chance(0.5f) ? 1.365f : random.between(0.2f, 4.0f);
            float corner[3] = {random.chance(0.5f) ? 1.0f : -1.0f, random.chance(0.5f) ? 1.0f : -1.0f,
                               random.chance(0.5f) ? 1.0f : -1.0f};
            if (k % 2 == 1) {
                corner[random.below(3)] = 0.0f; // an edge's midpoint, straight out from it
            }
            const float h[3] = {box.halfExtent.x, box.halfExtent.y, box.halfExtent.z};
            const float out = radius * random.between(0.3f, 1.1f) / std::sqrt(3.0f - (k % 2));
            Vec3 local = {corner[0] * (h[0] + out), corner[1] * (h[1] + out), corner[2] * (h[2] + out)};
            for (int axis = 0; axis < 3; ++axis) {
                if (corner[axis] == 0.0f) {
                    (axis == 0 ? local.x : axis == 1 ? local.y : local.z) = 0.0f;
                }
            }
            rotateX(local, -box.rotation.x);
            rotateZ(local, -box.rotation.z);
            rotateY(local, -box.rotation.y);
            RockState rock = {};
            rock.position = plus(box.position, local);
            rock.radius = radius;
            rock.mass = 1.0f;
            rock.velocity = {random.between(-1, 1), random.between(-1, 1), random.between(-1, 1)};
            rock.previousVelocity = rock.velocity;
            rock.active = true;
            rock.sphereEnabled = true;
            rocks.push_back(rock);
        }
    }
    RockScene scene(rocks, boxes);
    stepPhysics(scene.bodyList(), scene.world());
    int pushedOut = 0;
    for (size_t i = 0; i < scene.size(); ++i) {
        pushedOut += sameBits(scene.body(i).position, scene.body(i).nextPosition) ? 0 : 1;
    }
    EXPECT_GT(pushedOut, static_cast<int>(rocks.size()) / 3); // many really touch their box
    stepSideBySide(rocks, boxes, 2);
}
