#include "core/object_list.h"

#include <gtest/gtest.h>

#include <vector>

using namespace valley;

namespace {

int payloads[4] = {10, 20, 30, 40};

std::vector<void*> forwardPayloads(const ObjectList& list) {
    std::vector<void*> seen;
    for (ListNode* node = list.head; node != nullptr; node = node->next) {
        seen.push_back(node->payload);
    }
    return seen;
}

// The nodes belong to the list: each test frees those it leaves (the payloads are static).
void freeNodes(ObjectList& list) {
    while (list.head != nullptr) {
        removeNode(list.head, list);
    }
}

std::vector<void*> backwardPayloads(const ObjectList& list) {
    std::vector<void*> seen;
    for (ListNode* node = list.tail; node != nullptr; node = node->previous) {
        seen.push_back(node->payload);
    }
    return seen;
}

class ThreeNodeList : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            nodes[i] = appendToList(list, &payloads[i]);
        }
    }
    void TearDown() override { freeNodes(list); }
    ObjectList list = {};
    ListNode* nodes[3] = {};
};

} // namespace

TEST(ListAppend, FirstAppendSetsHeadTailAndCursorLaterOnesLeaveTheCursor) {
    ObjectList list = {};
    EXPECT_EQ(cursorPayload(list), nullptr);
    ListNode* first = appendToList(list, &payloads[0]);
    EXPECT_EQ(list.head, first);
    EXPECT_EQ(list.tail, first);
    EXPECT_EQ(list.cursor, first);
    appendToList(list, &payloads[1]);
    EXPECT_EQ(list.cursor, first);
    EXPECT_EQ(cursorPayload(list), &payloads[0]);
    freeNodes(list);
}

TEST_F(ThreeNodeList, LinksReadTheSameForwardsAndBackwards) {
    EXPECT_EQ(forwardPayloads(list), (std::vector<void*>{&payloads[0], &payloads[1], &payloads[2]}));
    EXPECT_EQ(backwardPayloads(list), (std::vector<void*>{&payloads[2], &payloads[1], &payloads[0]}));
    EXPECT_EQ(nodes[1]->previous, nodes[0]);
}

TEST_F(ThreeNodeList, CursorWalkVisitsEveryPayloadOnceHeadFirst) {
    std::vector<void*> seen;
    walkList(list, [&](void* payload) { seen.push_back(payload); });
    EXPECT_EQ(seen, forwardPayloads(list));
}

TEST(ListWalk, OneNodeListIsVisitedOnce) {
    ObjectList list = {};
    appendToList(list, &payloads[0]);
    int visits = 0;
    walkList(list, [&](void*) { ++visits; });
    EXPECT_EQ(visits, 1);
    freeNodes(list);
}

TEST_F(ThreeNodeList, RemovingTheHeadMakesTheNextNodeHead) {
    removeNode(nodes[0], list);
    EXPECT_EQ(list.head, nodes[1]);
    EXPECT_EQ(nodes[1]->previous, nullptr);
    EXPECT_EQ(backwardPayloads(list), (std::vector<void*>{&payloads[2], &payloads[1]}));
}

TEST_F(ThreeNodeList, RemovingTheMiddleJoinsItsNeighbours) {
    removeNode(nodes[1], list);
    EXPECT_EQ(nodes[0]->next, nodes[2]);
    EXPECT_EQ(nodes[2]->previous, nodes[0]);
    EXPECT_EQ(forwardPayloads(list), (std::vector<void*>{&payloads[0], &payloads[2]}));
}

TEST_F(ThreeNodeList, RemovingTheTailMakesThePreviousNodeTail) {
    removeNode(nodes[2], list);
    EXPECT_EQ(list.tail, nodes[1]);
    EXPECT_EQ(nodes[1]->next, nullptr);
    EXPECT_EQ(forwardPayloads(list), (std::vector<void*>{&payloads[0], &payloads[1]}));
}

TEST_F(ThreeNodeList, RemovingTheNodeUnderTheCursorMovesTheCursorOn) {
    removeNode(nodes[0], list);
    EXPECT_EQ(list.cursor, nodes[1]);
}

TEST(ListRemove, RemovingTheOnlyNodeEmptiesTheListAndAnAppendStartsAfresh) {
    ObjectList list = {};
    ListNode* only = appendToList(list, &payloads[0]);
    removeNode(only, list);
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.tail, nullptr);
    ListNode* fresh = appendToList(list, &payloads[3]);
    EXPECT_EQ(list.head, fresh);
    EXPECT_EQ(list.tail, fresh);
    EXPECT_EQ(fresh->previous, nullptr);
    freeNodes(list);
}

TEST(ListRemove, RenderStyleListsWithoutCursorUnlinkTheSameWay) {
    struct HeadTail {
        ListNode* head;
        ListNode* tail;
    } chain = {nullptr, nullptr};
    ListNode* first = new ListNode{};
    ListNode* second = new ListNode{};
    linkAtTail(chain, first);
    linkAtTail(chain, second);
    removeNode(second, chain);
    EXPECT_EQ(chain.head, first);
    EXPECT_EQ(chain.tail, first);
    EXPECT_EQ(first->next, nullptr);
    removeNode(first, chain);
    EXPECT_EQ(chain.head, nullptr);
}

TEST(ListFree, FreesEveryNodeAndPayload) {
    ObjectList list = {};
    for (int i = 0; i < 3; ++i) {
        appendToList(list, new int(i));
    }
    freeListAndPayloads<int>(list); // leak checkers see any node or payload left behind
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.tail, nullptr);
}

// A node handed to the wrong list is a programmer error: the program stops naming the place
// instead of linking one list's end into another.
TEST_F(ThreeNodeList, RemovingANodeFromAListThatDoesNotHoldItStopsTheProgram) {
    ObjectList other = {};
    appendToList(other, &payloads[3]);
    EXPECT_DEATH_IF_SUPPORTED(removeNode(nodes[2], other),
                              "valley: programmer error at .*object_list.h:[0-9]+: .*list.tail == node");
    EXPECT_DEATH_IF_SUPPORTED(removeNode(nodes[0], other), "list.head == node");
    EXPECT_DEATH_IF_SUPPORTED(removeNode(static_cast<ListNode*>(nullptr), list), "node != nullptr");
    freeNodes(other);
}
