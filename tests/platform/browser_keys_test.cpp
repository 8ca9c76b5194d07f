#include "platform/browser_keys.h"

#include "platform/input.h"
#include "platform/keys.h"

#include <gtest/gtest.h>

#include <string>

using namespace valley;

namespace {

// The page's key names reach the engine's keys; anything else, and near misses, is no key.
TEST(BrowserKeys, NamesMapToTheEngineKeysAndNothingElse) {
    const std::pair<const char*, int> cases[] = {
        {"KeyA", 'A'},
        {"KeyW", 'W'},
        {"KeyZ", 'Z'},
        {"Digit0", '0'},
        {"Digit9", '9'},
        {"Space", keySpace},
        {"Escape", keyEscape},
        {"Enter", keyEnter},
        {"ArrowUp", keyUp},
        {"ArrowLeft", keyLeft},
        {"F1", keyF1},
        {"F10", keyF1 + 9},
        {"F12", keyF12},
        {"ShiftLeft", keyLeftShift},
        {"AltRight", keyRightAlt},
        {"ControlRight", keyRightControl},
        {"F13", 0},
        {"F0", 0},
        {"F01", 0},
        {"F", 0},
        {"Keya", 0},
        {"KeyAB", 0},
        {"Digit", 0},
        {"Numpad1", 0},
        {"", 0},
        {"Tab", 0},
    };
    for (const auto& [code, key] : cases) {
        EXPECT_EQ(browserKey(code), key) << code;
    }
    EXPECT_EQ(browserKey(nullptr), 0);
    // Every key the engine reads has a browser name.
    int named = 0;
    for (const char* prefix : {"Key", "Digit"}) {
        for (char c = prefix[0] == 'K' ? 'A' : '0'; c <= (prefix[0] == 'K' ? 'Z' : '9'); ++c) {
            named += browserKey((std::string(prefix) + c).c_str()) != 0;
        }
    }
    for (int number = 1; number <= 12; ++number) {
        named += browserKey(("F" + std::to_string(number)).c_str()) != 0;
    }
    for (const char* code :
         {"Space", "Escape", "Enter", "ArrowUp", "ArrowDown", "ArrowLeft", "ArrowRight", "ShiftLeft",
          "ShiftRight", "ControlLeft", "ControlRight", "AltLeft", "AltRight"}) {
        named += browserKey(code) != 0;
    }
    EXPECT_EQ(named, keySlotCount);
    EXPECT_TRUE(browserKeyDefaultKept(keyF1 + 4));
    EXPECT_FALSE(browserKeyDefaultKept('W'));
}

} // namespace
