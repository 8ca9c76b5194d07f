#include "physics/physics_world.h"

#include "physics/physics_step.h"
#include "tests/physics/physics_fixtures.h"

#include <cmath>

using namespace valley;

namespace {

CollisionSphere sphereFor(Vec3 extent, Vec3 scale) {
    auto made = makeTestObject({}, extent, {0, 0, 0}, scale);
    CollisionSphere sphere;
    makeCollisionSphere(sphere, made->object);
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
    EXPECT_TRUE(first->active);
    EXPECT_FALSE(first->touching || first->touchingBefore);
    EXPECT_EQ(bodies.head->payload, first);
    EXPECT_EQ(second->bodyNode, bodies.tail);
    EXPECT_EQ(second->sphere->sphereNode, world.spheres.tail);
    EXPECT_EQ(world.spheres.head->payload, first->sphere);
}

TEST_F(PhysicsTest, BoxColliderKeepsTheObjectsPlaceWhenMade) {
    RenderObject& object = keep(makeTestObject({}, {1, 1, 1}, {3, 4, 5}, {40, 20, 200}, {10, 20, 30}));
    BoxCollider* box = addBoxCollider(world, object);
    object.position = {0, 0, 0};
    object.rotation = {0, 0, 0};
    expectVec3Near(box->halfExtent, {40, 20, 200});
    expectVec3Near(box->position, {3, 4, 5});
    expectVec3Near(box->rotation, {10, 20, 30});
    EXPECT_TRUE(box->enabled);
    EXPECT_EQ(box->renderObject, &object);
    EXPECT_EQ(world.boxes.tail->payload, box);
}

TEST_F(PhysicsTest, ReleasingHeadMiddleAndTailLeavesTheRestSteppable) {
    RigidBody* rocks[4];
    for (int i = 0; i < 4; ++i) {
        rocks[i] = addRock({3.0f * i, 0, 0}, 0.5f, {0, 1, 0});
    }
    releaseBody(world, bodies, rocks[1]);
    EXPECT_EQ(listLength(bodies), 3);
    EXPECT_EQ(listLength(world.spheres), 3);
    EXPECT_EQ(rocks[0]->bodyNode->next, rocks[2]->bodyNode);
    releaseBody(world, bodies, rocks[0]);
    EXPECT_EQ(bodies.head, rocks[2]->bodyNode);
    EXPECT_EQ(world.spheres.head, rocks[2]->sphere->sphereNode);
    releaseBody(world, bodies, rocks[3]);
    EXPECT_EQ(bodies.tail, rocks[2]->bodyNode);
    EXPECT_EQ(listLength(bodies), 1);
    EXPECT_EQ(listLength(world.spheres), 1);
    step();
    expectVec3Near(rocks[2]->renderObject->position, {6, 1, 0});
}
