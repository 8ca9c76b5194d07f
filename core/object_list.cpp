#include "core/object_list.h"

namespace valley {

ListNode* appendToList(ObjectList& list, void* payload) {
    ListNode* node = new ListNode{nullptr, nullptr, payload};
    if (list.head == nullptr) {
        list.cursor = node;
    }
    linkAtTail(list, node);
    return node;
}

void* cursorPayload(const ObjectList& list) {
    return list.cursor == nullptr ? nullptr : list.cursor->payload;
}

int countNodes(const ListNode* head) {
    int count = 0;
    for (; head != nullptr; head = head->next) {
        ++count;
    }
    return count;
}

void removeNode(ListNode* node, ObjectList& list) {
    if (list.cursor == node) {
        list.cursor = node->next;
    }
    removeNode<ObjectList>(node, list);
}

} // namespace valley
