#include "game/behaviour_pass.h"

#include "game/tick.h"
#include "render/object_logic.h"
#include "render/render_object.h"

namespace valley {

void updateBehaviours(RenderList& list, const Tick& tick) {
    for (ListNode* node = list.head; node != nullptr;) {
        RenderObject* object = static_cast<RenderObject*>(node->payload);
        ListNode* next = node->next; // a behaviour may free its own node
        if (object->logic != nullptr) {
            object->logic->update(tick);
        }
        node = next;
    }
}

void updateAllBehaviours(const Tick& tick) {
    updateBehaviours(tick.sceneList, tick);
    updateBehaviours(tick.waterList, tick);
}

} // namespace valley
