// Shared records for the physics tests: hand-made meshes, and a fixture with a fresh world and
// body list of its own for the length of a test.
#pragma once

#include "assets/mesh_data.h"
#include "core/object_list.h"
#include "physics/physics_world.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace valley;

// A mesh with its vertices, 8 floats each (position, normal, texture).
struct TestMesh {
    std::vector<float> vertices;
    Mesh mesh;
};

std::unique_ptr<TestMesh> makeTestMesh(std::vector<float> vertices, Vec3 extent);

void expectVec3Near(const Vec3& actual, const Vec3& expected, float tolerance = 1e-5f);
int listLength(const ObjectList& list);

class PhysicsTest : public ::testing::Test {
protected:
    void TearDown() override;

    // A registered body with its sphere centred on its place; mass 1 unless given.
    RigidBody* addRock(Vec3 position, float radius, Vec3 velocity, float mass = 1.0f);
    BoxCollider* addBox(Vec3 position, Vec3 half, Vec3 rotation = {0, 0, 0});
    const Mesh& keep(std::unique_ptr<TestMesh> made);
    void step(); // stepPhysics then integrateBodies on the fixture's records

    PhysicsWorld world = {};
    ObjectList bodies = {};
    std::vector<std::unique_ptr<TestMesh>> meshes;
};
