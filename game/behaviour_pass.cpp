#include "game/behaviour_pass.h"

#include "core/frame_stats.h"
#include "render/camera.h"
#include "render/object_logic.h"
#include "render/render_object.h"

namespace valley {

void updateBehaviours(RenderList& list) {
    for (ListNode* node = list.head; node != nullptr;) {
        RenderObject* object = static_cast<RenderObject*>(node->payload);
        ListNode* next = node->next; // a behaviour may free its own node
        if (object->logic != nullptr) {
            object->logic->update();
        }
        node = next;
    }
}

void updateAllBehaviours(Camera& camera) {
    const double start = engineClock();
    updateBehaviours(*camera.sceneList);
    updateBehaviours(*camera.waterList);
    addEngineTime(start);
}

} // namespace valley
