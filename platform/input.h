// The keyboard and mouse as the engine reads them: one record per poll, and the one table of the
// keys it holds. The window fills the record (platformPoll, platform/window.h), a recording
// stores it bit for bit (platform/recording.h), the camera and the player's controls read it.
//
// Slot k of the record holds the k-th key of the table: 'A' to 'Z' (slots 0-25), '0' to '9'
// (26-35), F1 to F12 (36-47), space (48), then escape, enter, up, down, left, right, left and
// right shift, left and right control, left and right alt (49-60). Recordings depend on this
// order: keys may only be added at the end. Key names follow platform/keys.h; positions are
// window pixels, y growing downwards.
#pragma once

#include <cstdint>

namespace valley {

const int keySlotCount = 61;

// The window's size as the program opens it, which is also the frame of the pointer's positions:
// the camera re-centres the pointer at the middle of it, and a script or session starts there.
const int32_t valleyWindowWidth = 1280;
const int32_t valleyWindowHeight = 720;

// One poll of the keyboard and mouse.
struct InputState {
    uint64_t keys;   // bit keySlot(key) set while the key is held
    uint8_t buttons; // bit b set while mouse button b is held
    int32_t mouseX;
    int32_t mouseY;
};

int keySlot(int key);                                     // -1 for a key the table does not hold
int slotKey(int slot);                                    // the key of a slot, 0 <= slot < keySlotCount
bool isHeld(const InputState& input, int key);            // false for a key the table does not hold
bool buttonHeld(const InputState& input, int button);     // false for a button the record does not hold
void setKey(InputState& input, int key, bool held);       // nothing for a key the table does not hold
void setButton(InputState& input, int button, bool held); // nothing for a button the record does not hold

} // namespace valley
