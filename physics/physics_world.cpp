#include "physics/physics_world.h"

#include "assets/mesh_data.h"

namespace valley {

CollisionSphere& makeCollisionSphere(CollisionSphere& sphere, const Mesh& mesh, const Vec3& scale) {
    const Vec3& e = mesh.extent;
    sphere.center = {0.0f, 0.0f, 0.0f};
    sphere.velocity = {0.0f, 0.0f, 0.0f};
    sphere.enabled = true;
    float largest = e.x;
    if (e.y > largest) {
        largest = e.y;
    }
    if (e.z > largest) {
        largest = e.z;
    }
    // Only the x scale sizes the sphere.
    sphere.radius = scale.x * 0.91f * largest;
    sphere.mass = sphere.radius * sphere.radius * 12.566371f / 10.0f;
    return sphere;
}

RigidBody& initRigidBody(RigidBody& body, const Vec3& position) {
    body.place = position;
    body.position = position;
    body.previousVelocity = {0.0f, 0.0f, 0.0f};
    body.nextPosition = {0.0f, 0.0f, 0.0f};
    body.velocity = {0.0f, 0.0f, 0.0f};
    body.active = true;
    body.touching = false;
    body.touchingBefore = false;
    body.bodyNode = nullptr;
    return body;
}

void addBody(ObjectList& bodies, RigidBody* body) { body->bodyNode = appendToList(bodies, body); }

BoxCollider* addBoxCollider(PhysicsWorld& world, const Mesh& mesh, const Vec3& scale, const Vec3& position,
                            const Vec3& rotation) {
    const Vec3& e = mesh.extent;
    BoxCollider* box = new BoxCollider{};
    box->halfExtent = {e.x * scale.x, e.y * scale.y, e.z * scale.z};
    box->position = position;
    box->rotation = rotation;
    box->enabled = true;
    appendToList(world.boxes, box);
    return box;
}

// The stored node makes removal independent of how many bodies are live.
void releaseBody(ObjectList& bodies, RigidBody* body) {
    removeNode(body->bodyNode, bodies);
    delete body->sphere;
    delete body;
}

} // namespace valley
