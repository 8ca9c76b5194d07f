#include "tests/physics/rock_scene.h"

namespace {

void emptyList(ObjectList& list) {
    while (list.head != nullptr) {
        removeNode(list.head, list);
    }
}

} // namespace

std::vector<BoxState> valleyBlocks() {
    return {{{180, 10, 180}, {40, 20, 200}, {78, 95, 24}},
            {{120, 70, 1600}, {40, 30, 800}, {98, 28, -64}},
            {{120, 67, 1600}, {40, 30, 800}, {0, 28, -64}},
            {{180, 70, 180}, {30, 30, 30}, {98, 28, 44}},
            {{-60, 20, -70}, {35, 10, 35}, {0, 0, 0}}};
}

RockScene::RockScene(const std::vector<RockState>& rocks, const std::vector<BoxState>& boxes)
    : spheres_(rocks.size()), bodies_(rocks.size()), boxes_(boxes.size()), offsets_(rocks.size()) {
    for (size_t i = 0; i < rocks.size(); ++i) {
        const RockState& rock = rocks[i];
        offsets_[i] = rock.centreOffset;
        CollisionSphere& sphere = spheres_[i];
        sphere = CollisionSphere{};
        sphere.radius = rock.radius;
        sphere.mass = rock.mass;
        sphere.center = {rock.position.x + rock.centreOffset.x, rock.position.y + rock.centreOffset.y,
                         rock.position.z + rock.centreOffset.z};
        sphere.velocity = rock.velocity;
        sphere.enabled = rock.sphereEnabled;
        RigidBody& body = bodies_[i];
        body = RigidBody{};
        body.place = rock.position;
        body.position = rock.position;
        body.previousVelocity = rock.previousVelocity;
        body.velocity = rock.velocity;
        body.active = rock.active;
        body.touchingBefore = rock.touchingBefore;
        body.sphere = &sphere;
        body.bodyNode = appendToList(bodyList_, &body);
    }
    for (size_t i = 0; i < boxes.size(); ++i) {
        BoxCollider& box = boxes_[i];
        box = BoxCollider{};
        box.halfExtent = boxes[i].halfExtent;
        box.position = boxes[i].position;
        box.rotation = boxes[i].rotation;
        box.enabled = true;
        appendToList(world_.boxes, &box);
    }
}

RockScene::~RockScene() {
    emptyList(bodyList_);
    emptyList(world_.boxes);
}

void RockScene::updateRocks(const std::function<float(float x, float z)>& groundAt) {
    for (size_t i = 0; i < bodies_.size(); ++i) {
        RigidBody& body = bodies_[i];
        if (!body.active) {
            continue;
        }
        Vec3& p = body.place;
        Vec3 v = body.previousVelocity;
        v = {v.x * 0.997f, v.y * 0.997f - 0.07f, v.z * 0.997f};
        const float floor = groundAt(p.x, p.z) + spheres_[i].radius;
        if (p.y <= floor) {
            p.y = floor;
            const float slopeX = groundAt(p.x + 0.5f, p.z) - groundAt(p.x - 0.5f, p.z);
            const float slopeZ = groundAt(p.x, p.z + 0.5f) - groundAt(p.x, p.z - 0.5f);
            v = {(v.x - 0.07f * slopeX) * 0.986f, v.y < 0.0f ? -0.5f * v.y : v.y,
                 (v.z - 0.07f * slopeZ) * 0.986f};
            if (v.y < 0.2f) {
                v.y = 0.0f;
            }
        }
        body.velocity = v;
        body.previousVelocity = v;
        spheres_[i].center = {p.x + offsets_[i].x, p.y + offsets_[i].y, p.z + offsets_[i].z};
    }
}

RockScene::Saved RockScene::save() const { return {bodies_, spheres_}; }

void RockScene::restore(const Saved& saved) {
    for (size_t i = 0; i < bodies_.size(); ++i) {
        bodies_[i] = saved.bodies[i];
        spheres_[i] = saved.spheres[i];
    }
}
