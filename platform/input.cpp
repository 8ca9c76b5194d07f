// The key table and the input record's bits.
#include "platform/input.h"

#include "platform/keys.h"

namespace valley {

namespace {

const int highestKey = keyRightAlt;

// The keys in slot order, and the way back: the slot of every key name, -1 for none.
struct KeyTable {
    int keys[keySlotCount];
    int slots[highestKey + 1];
};

constexpr KeyTable makeKeyTable() {
    KeyTable table = {};
    int slot = 0;
    for (int key = 'A'; key <= 'Z'; ++key) {
        table.keys[slot++] = key;
    }
    for (int key = '0'; key <= '9'; ++key) {
        table.keys[slot++] = key;
    }
    for (int key = keyF1; key <= keyF12; ++key) {
        table.keys[slot++] = key;
    }
    const int named[] = {keySpace,        keyEscape,  keyEnter,     keyUp,         keyDown,
                         keyLeft,         keyRight,   keyLeftShift, keyRightShift, keyLeftControl,
                         keyRightControl, keyLeftAlt, keyRightAlt};
    for (int key : named) {
        table.keys[slot++] = key;
    }
    for (int& each : table.slots) {
        each = -1;
    }
    for (int k = 0; k < keySlotCount; ++k) {
        table.slots[table.keys[k]] = k;
    }
    return table;
}

constexpr KeyTable keyTable = makeKeyTable();
static_assert(keyTable.keys[keySlotCount - 1] == keyRightAlt, "every slot holds a key");

} // namespace

int keySlot(int key) { return key >= 0 && key <= highestKey ? keyTable.slots[key] : -1; }

int slotKey(int slot) { return keyTable.keys[slot]; }

bool isHeld(const InputState& input, int key) {
    const int slot = keySlot(key);
    return slot >= 0 && (input.keys >> slot & 1) != 0;
}

bool buttonHeld(const InputState& input, int button) {
    return button >= 0 && button < mouseButtonCount && (input.buttons >> button & 1) != 0;
}

void setKey(InputState& input, int key, bool held) {
    const int slot = keySlot(key);
    if (slot >= 0) {
        const uint64_t bit = uint64_t{1} << slot;
        input.keys = held ? input.keys | bit : input.keys & ~bit;
    }
}

void setButton(InputState& input, int button, bool held) {
    if (button >= 0 && button < mouseButtonCount) {
        const uint8_t bit = static_cast<uint8_t>(1u << button);
        input.buttons = static_cast<uint8_t>(held ? input.buttons | bit : input.buttons & ~bit);
    }
}

} // namespace valley
