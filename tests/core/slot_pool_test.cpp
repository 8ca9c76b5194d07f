#include "core/slot_pool.h"

#include "core/object_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <set>

using namespace valley;

namespace {

// A long churn, oldest freed first as the rocks go, at many crowd sizes: every slot handed out
// over the run is one of the first `crowd` slots, and no two live records share bytes.
TEST(SlotPool, ChurnStaysWithinThePeakCrowdsSlots) {
    const size_t slotSize = 24;
    for (size_t crowd : {1u, 2u, 15u, 16u, 17u, 350u}) {
        SlotPool pool(slotSize, 16);
        std::deque<void*> live;
        std::set<void*> everHandedOut;
        for (int round = 0; round < 20000; ++round) {
            if (live.size() == crowd) {
                pool.give(live.front());
                live.pop_front();
            }
            void* slot = pool.take();
            std::memset(slot, round & 0xff, slotSize); // the whole slot is the record's
            live.push_back(slot);
            everHandedOut.insert(slot);
        }
        EXPECT_EQ(everHandedOut.size(), crowd) << "crowd " << crowd;
        std::set<uintptr_t> starts;
        for (void* slot : live) {
            starts.insert(reinterpret_cast<uintptr_t>(slot));
        }
        uintptr_t previous = 0;
        for (uintptr_t start : starts) {
            EXPECT_TRUE(previous == 0 || start - previous >= slotSize) << "crowd " << crowd;
            previous = start;
        }
    }
}

// A record type that opts in, such as the list node, gets the slot it freed last back.
TEST(SlotPool, ListNodesReuseTheirFreedSlots) {
    ListNode* kept = new ListNode{};
    ListNode* freed = new ListNode{};
    const uintptr_t freedAt = reinterpret_cast<uintptr_t>(freed);
    delete freed;
    ListNode* next = new ListNode{nullptr, nullptr, kept};
    EXPECT_EQ(reinterpret_cast<uintptr_t>(next), freedAt);
    EXPECT_EQ(next->payload, kept);
    delete next;
    delete kept;
}

} // namespace
