#include "physics/physics_world.h"

#include "assets/mesh_data.h"
#include "render/render_object.h"

namespace valley {

CollisionSphere& makeCollisionSphere(CollisionSphere& sphere, RenderObject& object) {
    const Vec3& e = object.mesh->extent;
    sphere.center = {0.0f, 0.0f, 0.0f};
    sphere.velocity = {0.0f, 0.0f, 0.0f};
    sphere.enabled = true;
    sphere.renderObject = &object;
    sphere.sphereNode = nullptr;
    float largest = e.x;
    if (e.y > largest) {
        largest = e.y;
    }
    if (e.z > largest) {
        largest = e.z;
    }
    // Only the x scale sizes the sphere.
    sphere.radius = object.scale.x * 0.91f * largest;
    sphere.mass = sphere.radius * sphere.radius * 12.566371f / 10.0f;
    return sphere;
}

void addSphere(PhysicsWorld& world, CollisionSphere* sphere) {
    sphere->sphereNode = appendToList(world.spheres, sphere);
}

RigidBody& initRigidBody(RigidBody& body, RenderObject& object) {
    body.position = object.position;
    body.previousVelocity = {0.0f, 0.0f, 0.0f};
    body.nextPosition = {0.0f, 0.0f, 0.0f};
    body.velocity = {0.0f, 0.0f, 0.0f};
    body.renderObject = &object;
    body.active = true;
    body.touching = false;
    body.touchingBefore = false;
    body.bodyNode = nullptr;
    return body;
}

void addBody(ObjectList& bodies, RigidBody* body) { body->bodyNode = appendToList(bodies, body); }

BoxCollider* addBoxCollider(PhysicsWorld& world, RenderObject& object) {
    const Vec3& e = object.mesh->extent;
    const Vec3& s = object.scale;
    BoxCollider* box = new BoxCollider{};
    box->halfExtent = {e.x * s.x, e.y * s.y, e.z * s.z};
    box->position = object.position;
    box->rotation = object.rotation;
    box->enabled = true;
    box->renderObject = &object;
    appendToList(world.boxes, box);
    return box;
}

// The stored nodes make removal independent of how many bodies are live.
void releaseBody(PhysicsWorld& world, ObjectList& bodies, RigidBody* body) {
    CollisionSphere* sphere = body->sphere;
    removeNode(sphere->sphereNode, world.spheres);
    removeNode(body->bodyNode, bodies);
    delete sphere;
    delete body;
}

} // namespace valley
