#include "app/state_hash.h"

#include "app/kernel.h"
#include "app/scene.h"
#include "core/fnv_hash.h"
#include "game/fall.h"
#include "render/camera.h"
#include "render/render_object.h"

namespace valley {

namespace {

uint32_t addVec3(uint32_t hash, const Vec3& v) {
    const float parts[3] = {v.x, v.y, v.z};
    return fnvAdd(hash, parts, sizeof parts);
}

} // namespace

uint32_t sessionStateHash(const SceneHandles& scene) {
    const Camera& camera = *kernel.camera;
    uint32_t hash = addVec3(fnvStart, camera.position);
    const float angles[3] = {camera.roll, camera.yaw, camera.pitch};
    hash = fnvAdd(hash, angles, sizeof angles);
    for (const ListNode* node = camera.sceneList->head; node != nullptr; node = node->next) {
        const RenderObject* object = static_cast<const RenderObject*>(node->payload);
        const Fall* rock = dynamic_cast<const Fall*>(object->logic);
        if (rock != nullptr) {
            hash = addVec3(addVec3(hash, object->position), rock->velocity);
        }
    }
    if (scene.selectedBlock != nullptr) {
        hash = addVec3(addVec3(hash, scene.selectedBlock->position), scene.selectedBlock->rotation);
    }
    return hash;
}

} // namespace valley
