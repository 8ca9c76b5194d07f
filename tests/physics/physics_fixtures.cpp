#include "tests/physics/physics_fixtures.h"

#include "physics/physics_step.h"

#include <utility>

using namespace valley;

std::unique_ptr<TestMesh> makeTestMesh(std::vector<float> vertices, Vec3 extent) {
    auto made = std::make_unique<TestMesh>();
    made->vertices = std::move(vertices);
    made->mesh = Mesh{};
    made->mesh.stride = 8;
    made->mesh.vertexCount = static_cast<int32_t>(made->vertices.size() / 8);
    made->mesh.vertices = made->vertices.data();
    made->mesh.extent = extent;
    return made;
}

void expectVec3Near(const Vec3& actual, const Vec3& expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

int listLength(const ObjectList& list) {
    int count = 0;
    for (ListNode* node = list.head; node != nullptr; node = node->next) {
        ++count;
    }
    return count;
}

void PhysicsTest::TearDown() {
    while (bodies.head != nullptr) {
        releaseBody(bodies, static_cast<RigidBody*>(bodies.head->payload));
    }
    freeListAndPayloads<BoxCollider>(world.boxes);
    while (world.heightGrids.head != nullptr) {
        removeNode(world.heightGrids.head, world.heightGrids);
    }
}

const Mesh& PhysicsTest::keep(std::unique_ptr<TestMesh> made) {
    meshes.push_back(std::move(made));
    return meshes.back()->mesh;
}

RigidBody* PhysicsTest::addRock(Vec3 position, float radius, Vec3 velocity, float mass) {
    CollisionSphere* sphere = new CollisionSphere;
    makeCollisionSphere(*sphere, keep(makeTestMesh({}, {1, 1, 1})), {1, 1, 1});
    sphere->radius = radius;
    sphere->mass = mass;
    sphere->center = position;
    RigidBody* body = new RigidBody;
    initRigidBody(*body, position);
    body->sphere = sphere;
    body->velocity = velocity;
    addBody(bodies, body);
    return body;
}

BoxCollider* PhysicsTest::addBox(Vec3 position, Vec3 half, Vec3 rotation) {
    return addBoxCollider(world, keep(makeTestMesh({}, {1, 1, 1})), half, position, rotation);
}

void PhysicsTest::step() {
    stepPhysics(bodies, world);
    integrateBodies(bodies);
}
