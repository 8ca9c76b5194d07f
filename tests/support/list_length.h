// The number of nodes from a list's head to its tail.
#pragma once

#include "core/object_list.h"

inline int listLength(const ListNode* head) {
    int count = 0;
    for (; head != nullptr; head = head->next) {
        ++count;
    }
    return count;
}
