// Doubly linked lists of caller-owned payloads: every collection of the engine.
//
// A list keeps one cursor for its walk, so one cursor walk at a time per list; a walk nested
// in another over the same list follows `next` from `head` with a pointer of its own.
// Nodes belong to the list; payloads belong to whoever appended them.
#pragma once

#include "core/programmer_error.h"
#include "core/slot_pool.h"

namespace valley {

struct ListNode {
    ListNode* next;     // none at the tail
    ListNode* previous; // none at the head
    void* payload;      // not owned

    static void* operator new(size_t) { return takeSlot<ListNode>(); }
    static void operator delete(void* node) { giveSlot<ListNode>(node); }
};

struct ObjectList {
    ListNode* head; // none when empty
    ListNode* tail;
    ListNode* cursor; // the one walk position; set by the first append only
};

// Appends a new node holding the payload; the cursor is set only when the list was empty.
ListNode* appendToList(ObjectList& list, void* payload);
void* cursorPayload(const ObjectList& list); // none when there is no cursor
int countNodes(const ListNode* head);        // nodes from head to tail

// Links an allocated node after the tail of any list with head and tail (no cursor step).
template <typename List> void linkAtTail(List& list, ListNode* node) {
    node->next = nullptr;
    node->previous = list.tail;
    if (list.head == nullptr) {
        list.head = node;
    } else {
        list.tail->next = node;
    }
    list.tail = node;
}

// Unlinks the node from any list with head and tail and frees it; the payload is untouched.
// The node must be in that list: an end node of another list would corrupt both.
template <typename List> void removeNode(ListNode* node, List& list) {
    VALLEY_ASSERT(node != nullptr);
    VALLEY_ASSERT(node->previous != nullptr || list.head == node);
    VALLEY_ASSERT(node->next != nullptr || list.tail == node);
    if (node->previous == nullptr) {
        list.head = node->next;
        if (node->next == nullptr) {
            list.tail = nullptr;
        } else {
            node->next->previous = nullptr;
        }
    } else if (node->next != nullptr) {
        node->previous->next = node->next;
        node->next->previous = node->previous;
    } else {
        node->previous->next = nullptr;
        list.tail = node->previous;
    }
    node->next = nullptr;
    node->previous = nullptr;
    node->payload = nullptr;
    delete node;
}

// Removal from an ObjectList also moves a cursor standing on the node to its successor.
void removeNode(ListNode* node, ObjectList& list);

// The cursor walk: head first, stopping at the tail. visit(payload) for each node.
template <typename Visit> void walkList(ObjectList& list, Visit visit) {
    for (list.cursor = list.head; list.cursor != nullptr; list.cursor = list.cursor->next) {
        visit(cursorPayload(list));
        if (list.cursor == list.tail) {
            break;
        }
    }
}

// Frees every node and every payload (as Payload); the owner frees the list record itself.
template <typename Payload> void freeListAndPayloads(ObjectList& list) {
    list.cursor = list.head;
    while (list.cursor != nullptr) {
        ListNode* next = list.cursor->next;
        delete static_cast<Payload*>(list.cursor->payload);
        list.cursor->next = nullptr;
        list.cursor->previous = nullptr;
        delete list.cursor;
        list.cursor = next;
    }
    list.head = nullptr;
    list.tail = nullptr;
}

} // namespace valley
