#include "physics/broad_phase.h"
#include "physics/physics_step.h"

#include "physics/physics_world.h"
#include "tests/physics/physics_fixtures.h"

#include <vector>

using namespace valley;

namespace {

// A unit box at the origin, and spheres of radius 0.5 overlapping its top by 0.2.
class BoxBounce : public PhysicsTest {
protected:
    void SetUp() override {
        PhysicsTest::SetUp();
        addBox({0, 0, 0}, {1, 1, 1});
    }
    RigidBody* restingRock(Vec3 velocity) { return addRock({0, 1.3f, 0}, 0.5f, velocity); }
};

// Two spheres of radius 0.6 one unit apart along x: the first at the origin.
class BodyPair : public PhysicsTest {
protected:
    void place(Vec3 firstVelocity, Vec3 secondVelocity, float firstMass = 1.0f) {
        first = addRock({0, 0, 0}, 0.6f, firstVelocity, firstMass);
        second = addRock({1, 0, 0}, 0.6f, secondVelocity);
        first->previousVelocity = firstVelocity;
        second->previousVelocity = secondVelocity;
    }
    RigidBody* first = nullptr;
    RigidBody* second = nullptr;
};

} // namespace

TEST_F(BoxBounce, FastApproachBouncesHalfSlowOneStopsTangentKept) {
    const Vec3 cases[][2] = {
        {{2, -1, 0}, {2, 0.5f, 0}}, {{2, -0.2f, 0}, {2, 0, 0}}, {{2, -0.3f, 0}, {2, 0.15f, 0}}};
    for (const auto& c : cases) {
        RigidBody* rock = restingRock(c[0]);
        stepPhysics(bodies, world);
        expectVec3Near(rock->velocity, c[1]);
        expectVec3Near(rock->nextPosition, {0, 1.5f, 0});
        releaseBody(bodies, rock);
    }
}

TEST_F(BoxBounce, OverlappingBodyAlreadyLeavingIsOnlyPushedOut) {
    RigidBody* rock = restingRock({0, 1, 0});
    step();
    expectVec3Near(rock->velocity, {0, 1, 0});
    expectVec3Near(rock->place, {0, 2.5f, 0});
    expectVec3Near(rock->previousVelocity, {0, 1, 0});
}

TEST_F(BoxBounce, WithoutContactTheNextPositionIsTheObjects) {
    RigidBody* rock = restingRock({0, -1, 0});
    rock->sphere->center = {0, 5, 0};
    rock->place = {0, 5, 0};
    stepPhysics(bodies, world);
    expectVec3Near(rock->nextPosition, {0, 5, 0});
    expectVec3Near(rock->velocity, {0, -1, 0});
}

TEST_F(BoxBounce, VelocityBuildsOverBoxesThePushIsTheLastBoxs) {
    RigidBody* rock = restingRock({0, -1, 0});
    addBox({0, 1.3f, 1.3f}, {1, 1, 1}); // its -z face overlaps the sphere by 0.2
    stepPhysics(bodies, world);
    expectVec3Near(rock->velocity, {0, 0.5f, 0});
    expectVec3Near(rock->nextPosition, {0, 1.3f, -0.2f});
}

TEST_F(BodyPair, HeadOnEqualMassesBounceAndPushNothingWhileClosing) {
    place({1, 0, 0}, {-1, 0, 0});
    first->touchingBefore = true; // t = 0 even so: the push stays zero
    stepPhysics(bodies, world);
    expectVec3Near(first->velocity, {-0.7f, 0, 0});
    expectVec3Near(second->velocity, {0.7f, 0, 0});
    expectVec3Near(first->nextPosition, {0, 0, 0});
    expectVec3Near(second->nextPosition, {1, 0, 0});
    EXPECT_TRUE(first->touching && second->touching);
}

TEST_F(BodyPair, UnequalMassesShareTheSamePassesVelocities) {
    place({1, 0, 0}, {0, 0, 0}, 2.0f);
    stepPhysics(bodies, world);
    expectVec3Near(first->velocity, {-0.7f, 0, 0});
    expectVec3Near(second->velocity, {1.7f, 0, 0});
}

TEST_F(BodyPair, ObliqueApproachKeepsMostOfTheTangent) {
    place({1, 1, 0}, {0, -1, 0});
    stepPhysics(bodies, world);
    expectVec3Near(first->velocity, {0.15f, 0.98f, 0});
}

TEST_F(BodyPair, SeparatingPairKeepsVelocitiesAndTakesTheFullPush) {
    place({-1, 0, 0}, {0, 0, 0});
    first->touchingBefore = true;
    stepPhysics(bodies, world);
    expectVec3Near(first->velocity, {-1, 0, 0});
    expectVec3Near(second->velocity, {0, 0, 0});
    expectVec3Near(first->nextPosition, {-0.0418f, 0, 0}, 1e-6f); // 0.44 overlap * 0.095
}

TEST_F(PhysicsTest, EachContactStartsFromTheVelocityTheLastOneLeft) {
    RigidBody* middle = addRock({0, 0, 0}, 0.6f, {1, 0, 0});
    middle->previousVelocity = {1, 0, 0};
    addRock({1, 0, 0}, 0.6f, {0, 0, 0}); // met head on: 1 becomes -0.15 away from it
    RigidBody* behind = addRock({-1, 0, 0}, 0.6f, {0, 0, 0});
    behind->previousVelocity = {0.2f, 0, 0}; // slower than the middle one was: left behind
    stepPhysics(bodies, world);
    expectVec3Near(middle->velocity, {0.15f, 0, 0});
}

TEST_F(BodyPair, RestingOverlapIsPushedApartFromTheSecondFrame) {
    place({0, 0, 0}, {0, 0, 0});
    step();
    expectVec3Near(first->position, {0, 0, 0});
    EXPECT_TRUE(first->touchingBefore);
    step(); // 0.44 overlap * 0.095 * t = 0.5
    expectVec3Near(first->place, {-0.0209f, 0, 0}, 1e-6f);
    expectVec3Near(second->place, {1.0209f, 0, 0}, 1e-6f);
    expectVec3Near(first->velocity, {0, 0, 0});
}

TEST_F(BodyPair, RetiredBodiesAreNeitherMovedNorTouched) {
    place({1, 0, 0}, {0, 0, 0});
    second->active = false;
    second->sphere->enabled = false;
    second->place = {9, 9, 9}; // a retired body's place is not taken up
    step();
    EXPECT_FALSE(first->touching);
    expectVec3Near(first->velocity, {1, 0, 0});
    expectVec3Near(second->position, {1, 0, 0});
    EXPECT_FALSE(second->touchingBefore);

    second->sphere->enabled = true; // an inactive body with a live sphere is still a contact
    step();
    EXPECT_TRUE(first->touching);
}

// The pair search's buffers grow with a crowd of overlapping rocks and are given back once the
// crowd is gone; a crowd that comes back gets its room again.
TEST_F(PhysicsTest, PairSearchMemoryFollowsTheCrowd) {
    const int few = 10;
    const int crowd = 800; // every rock overlaps every other: 319,600 pairs
    std::vector<RigidBody*> rocks;
    auto growTo = [&](int count) {
        while (static_cast<int>(rocks.size()) < count) {
            rocks.push_back(addRock({0, 0, 0}, 1.0f, {0, 0, 0}));
        }
        stepPhysics(bodies, world);
        return world.overlapPairs.bytesHeld();
    };
    auto shrinkTo = [&](int count) {
        while (static_cast<int>(rocks.size()) > count) {
            releaseBody(bodies, rocks.back());
            rocks.pop_back();
        }
        stepPhysics(bodies, world);
        return world.overlapPairs.bytesHeld();
    };
    const size_t crowded = growTo(crowd);
    EXPECT_GT(crowded, static_cast<size_t>(crowd) * (crowd - 1) * sizeof(float)); // one overlap a neighbour
    const size_t quiet = shrinkTo(few);
    EXPECT_LT(quiet, crowded / 16);
    EXPECT_EQ(shrinkTo(few), quiet); // a steady crowd keeps its room
    EXPECT_GE(growTo(crowd), crowded / 2);
    EXPECT_LT(shrinkTo(0), crowded / 16);
}
