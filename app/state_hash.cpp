#include "app/state_hash.h"

#include "app/scene.h"
#include "core/fnv_hash.h"
#include "render/camera.h"
#include "render/object_logic.h"
#include "render/render_object.h"

namespace valley {

uint32_t sessionStateHash(const Camera& camera, const SceneHandles& scene) {
    uint32_t hash = fnvAddVec3(fnvStart, camera.position);
    const float angles[3] = {camera.roll, camera.yaw, camera.pitch};
    hash = fnvAdd(hash, angles, sizeof angles);
    for (const ListNode* node = camera.sceneList->head; node != nullptr; node = node->next) {
        const RenderObject* object = static_cast<const RenderObject*>(node->payload);
        if (object->logic != nullptr) {
            hash = object->logic->hashState(hash);
        }
    }
    if (scene.selectedBlock != nullptr) {
        hash = fnvAddVec3(fnvAddVec3(hash, scene.selectedBlock->position), scene.selectedBlock->rotation);
    }
    return hash;
}

} // namespace valley
