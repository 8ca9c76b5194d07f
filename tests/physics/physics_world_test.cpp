#include "physics/physics_world.h"

#include "physics/physics_step.h"
#include "tests/physics/physics_fixtures.h"

#include <cmath>

using namespace valley;

namespace {

CollisionSphere sphereFor(Vec3 extent, Vec3 scale) {
    auto made = makeTestMesh({}, extent);
    CollisionSphere sphere;
    makeCollisionSphere(sphere, made->mesh, scale);
    return sphere;
}

} // namespace

TEST(CollisionSphereSizing, LargestExtentTimesXScale) {
    CollisionSphere sphere = sphereFor({2, 1, 3}, {1.5f, 1, 1});
    EXPECT_NEAR(sphere.radius, 4.095f, 1e-5f);
    EXPECT_NEAR(sphere.mass, 4.095f * 4.095f * 1.2566371f, 1e-4f);
    EXPECT_TRUE(sphere.enabled);
    expectVec3Near(sphere.center, {0, 0, 0});
    EXPECT_NEAR(sphereFor({1, 1, 1}, {2, 1, 1}).radius, 1.82f, 1e-6f);
    EXPECT_NEAR(sphereFor({1, 1, 1}, {1, 7, 7}).radius, 0.91f, 1e-6f);
    EXPECT_NEAR(sphereFor({1 / 0.91f, 0, 0}, {1, 1, 1}).mass, 1.2566371f, 1e-6f); // radius 1
}

TEST_F(PhysicsTest, RegistrationAppendsAndRemembersNodes) {
    RigidBody* first = addRock({1, 2, 3}, 0.5f, {0, 0, 0});
    RigidBody* second = addRock({4, 5, 6}, 0.5f, {0, 0, 0});
    expectVec3Near(first->position, {1, 2, 3});
    expectVec3Near(first->place, {1, 2, 3});
    EXPECT_TRUE(first->active);
    EXPECT_FALSE(first->touching || first->touchingBefore);
    EXPECT_EQ(bodies.head->payload, first);
    EXPECT_EQ(second->bodyNode, bodies.tail);
}

TEST_F(PhysicsTest, BoxColliderIsSizedByExtentTimesScale) {
    BoxCollider* box =
        addBoxCollider(world, keep(makeTestMesh({}, {2, 1, 0.5f})), {40, 20, 200}, {3, 4, 5}, {10, 20, 30});
    expectVec3Near(box->halfExtent, {80, 20, 100});
    expectVec3Near(box->position, {3, 4, 5});
    expectVec3Near(box->rotation, {10, 20, 30});
    EXPECT_TRUE(box->enabled);
    EXPECT_EQ(world.boxes.tail->payload, box);
}

TEST_F(PhysicsTest, ReleasingHeadMiddleAndTailLeavesTheRestSteppable) {
    RigidBody* rocks[4];
    for (int i = 0; i < 4; ++i) {
        rocks[i] = addRock({3.0f * i, 0, 0}, 0.5f, {0, 1, 0});
    }
    releaseBody(bodies, rocks[1]);
    EXPECT_EQ(listLength(bodies), 3);
    EXPECT_EQ(rocks[0]->bodyNode->next, rocks[2]->bodyNode);
    releaseBody(bodies, rocks[0]);
    EXPECT_EQ(bodies.head, rocks[2]->bodyNode);
    releaseBody(bodies, rocks[3]);
    EXPECT_EQ(bodies.tail, rocks[2]->bodyNode);
    EXPECT_EQ(listLength(bodies), 1);
    step();
    expectVec3Near(rocks[2]->place, {6, 1, 0});
}
