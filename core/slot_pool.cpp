#include "core/slot_pool.h"

#include "core/programmer_error.h"

#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <new>

namespace valley {

namespace {

size_t roundUp(size_t size, size_t step) { return (size + step - 1) / step * step; }

} // namespace

// Slots are at least a link wide and keep a link's alignment, which covers every record's.
SlotPool::SlotPool(size_t slotSize, size_t slotsPerBlock)
    : slotSize_(roundUp(std::max(slotSize, sizeof(FreeSlot)), alignof(FreeSlot))),
      slotsPerBlock_(std::max<size_t>(slotsPerBlock, 1)) {}

SlotPool::~SlotPool() {
    for (unsigned char* block : blocks_) {
        ASAN_UNPOISON_MEMORY_REGION(block, slotSize_ * slotsPerBlock_);
        ::operator delete(block);
    }
}

void* SlotPool::take() {
    if (freeSlots_ != nullptr) {
        FreeSlot* slot = freeSlots_;
        ASAN_UNPOISON_MEMORY_REGION(slot, slotSize_);
        freeSlots_ = slot->next;
        return slot;
    }
    if (freshInBlock_ == 0) {
        blocks_.push_back(static_cast<unsigned char*>(::operator new(slotSize_* slotsPerBlock_)));
        freshInBlock_ = slotsPerBlock_;
    }
    unsigned char* slot = blocks_.back() + slotSize_ * (slotsPerBlock_ - freshInBlock_);
    --freshInBlock_;
    return slot;
}

// A freed slot is poisoned under AddressSanitizer, so that a stale pointer still faults.
void SlotPool::give(void* slot) {
    VALLEY_ASSERT(slot != nullptr && !blocks_.empty());
    FreeSlot* freed = static_cast<FreeSlot*>(slot);
    freed->next = freeSlots_;
    freeSlots_ = freed;
    ASAN_POISON_MEMORY_REGION(freed, slotSize_);
}

} // namespace valley
