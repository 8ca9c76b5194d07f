// The browser's names of the keys the engine reads (KeyboardEvent.code: "KeyW", "Digit1",
// "Space", "ArrowUp", "F5", "ShiftLeft") as the engine's key names (platform/keys.h).
#pragma once

namespace valley {

int browserKey(const char* code);    // 0 for a key the engine does not read
bool browserKeyDefaultKept(int key); // keys whose browser meaning stays (F1 to F12)

} // namespace valley
