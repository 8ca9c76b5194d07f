// Shared records for the physics tests: render objects over hand-made meshes, and a fixture
// with a fresh world and body list of its own for the length of a test.
#pragma once

#include "assets/mesh_data.h"
#include "core/object_list.h"
#include "physics/physics_world.h"
#include "render/render_object.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace valley;

// A render object over a mesh; vertices are 8 floats each (position, normal, texture).
struct TestObject {
    std::vector<float> vertices;
    Mesh mesh;
    RenderObject object;
};

std::unique_ptr<TestObject> makeTestObject(std::vector<float> vertices, Vec3 extent, Vec3 position,
                                           Vec3 scale, Vec3 rotation = {0, 0, 0});

void expectVec3Near(const Vec3& actual, const Vec3& expected, float tolerance = 1e-5f);
int listLength(const ObjectList& list);

class PhysicsTest : public ::testing::Test {
protected:
    void TearDown() override;

    // A registered body with its sphere centred on its object's position; mass 1 unless given.
    RigidBody* addRock(Vec3 position, float radius, Vec3 velocity, float mass = 1.0f);
    BoxCollider* addBox(Vec3 position, Vec3 half, Vec3 rotation = {0, 0, 0});
    RenderObject& keep(std::unique_ptr<TestObject> made);
    void step(); // stepPhysics then integrateBodies on the fixture's records

    PhysicsWorld world = {};
    ObjectList bodies = {};
    std::vector<std::unique_ptr<TestObject>> objects;
};
