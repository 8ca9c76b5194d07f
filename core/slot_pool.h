// Fixed-size slots for the records the engine makes and frees one by one all run long: list
// nodes, render objects, slots, rocks and their bodies and spheres.
//
// Each record type takes its slots from a pool of its own, in blocks of many, and a freed
// slot is handed out again before a new one. The records a walk visits so stay within a few
// blocks however long the run, instead of spreading over the whole heap among the graphics
// driver's allocations. A record type opts in with class-level operator new and delete that
// call takeSlot and giveSlot. Single-threaded, like the engine. Blocks are kept for the run.
#pragma once

#include <cstddef>
#include <vector>

namespace valley {

class SlotPool {
public:
    SlotPool(size_t slotSize, size_t slotsPerBlock);
    ~SlotPool(); // frees every block; no slot may be in use
    SlotPool(const SlotPool&) = delete;
    SlotPool& operator=(const SlotPool&) = delete;
    void* take();          // a freed slot if there is one, else a fresh one
    void give(void* slot); // from take; the slot's record is already destroyed

private:
    struct FreeSlot {
        FreeSlot* next;
    };
    size_t slotSize_;
    size_t slotsPerBlock_;
    FreeSlot* freeSlots_ = nullptr;
    std::vector<unsigned char*> blocks_;
    size_t freshInBlock_ = 0; // slots of the newest block never handed out
};

// The one pool of a record type, never destroyed (records may outlive static destruction).
template <typename Record> SlotPool& poolOf() {
    static SlotPool& pool = *new SlotPool(sizeof(Record), (16384 + sizeof(Record) - 1) / sizeof(Record));
    return pool;
}

template <typename Record> void* takeSlot() { return poolOf<Record>().take(); }

template <typename Record> void giveSlot(void* slot) {
    if (slot != nullptr) {
        poolOf<Record>().give(slot);
    }
}

} // namespace valley
