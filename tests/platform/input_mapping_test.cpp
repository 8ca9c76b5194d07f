// Between the desktop and the game: every input's name, keys moved to others, and the pointer's
// motion scaled and turned about where the two last agreed.
#include "platform/input_mapping.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace valley;

TEST(InputMapping, EveryKeyAndButtonIsFoundByItsNameInAnyCase) {
    for (int slot = 0; slot < keySlotCount + mouseButtonCount; ++slot) {
        const InputName input =
            slot < keySlotCount ? InputName{false, slotKey(slot)} : InputName{true, slot - keySlotCount};
        const std::string name = inputName(input);
        ASSERT_FALSE(name.empty()) << slot;
        std::string lower = name;
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        InputName found = {};
        ASSERT_TRUE(inputByName(lower, found)) << name;
        EXPECT_TRUE(found.mouse == input.mouse && found.code == input.code) << name;
    }
    InputName none = {};
    for (const char* unknown : {"", "Tab", "F13", "Shift", "W ", "jump"}) {
        EXPECT_FALSE(inputByName(unknown, none)) << unknown;
    }
}

TEST(InputMapping, AMovedInputIsReadFromItsNewPlaceAndTheOldPlaceReadsNothing) {
    InputMapping mapping = identityMapping();
    InputState desktop = {0, 0, 17, -4};
    for (int i = 0; i < 200; ++i) { // any input reads as itself
        desktop.keys =
            (static_cast<uint64_t>(std::rand()) << 32 | std::rand()) & ((uint64_t{1} << keySlotCount) - 1);
        desktop.buttons = static_cast<uint8_t>(std::rand() & 7);
        InputState game = mapKeys(mapping, desktop);
        ASSERT_TRUE(game.keys == desktop.keys && game.buttons == desktop.buttons && game.mouseX == 17 &&
                    game.mouseY == -4);
    }
    rebind(mapping, InputName{false, 'W'}, InputName{false, keyUp});
    rebind(mapping, InputName{true, mouseButtonLeft}, InputName{false, 'T'});
    const struct {
        const char* what;
        InputName pressed; // on the desktop
        bool w, up, left, t;
    } cases[] = {
        {"Up reads as W, and as Up still", {false, keyUp}, true, true, false, false},
        {"W reads as nothing", {false, 'W'}, false, false, false, false},
        {"T reads as the left button, and as T still", {false, 'T'}, false, false, true, true},
        {"the left button reads as nothing", {true, mouseButtonLeft}, false, false, false, false},
    };
    for (const auto& c : cases) {
        InputState desktop = {0, 0, 0, 0};
        if (c.pressed.mouse) {
            setButton(desktop, c.pressed.code, true);
        } else {
            setKey(desktop, c.pressed.code, true);
        }
        const InputState game = mapKeys(mapping, desktop);
        EXPECT_EQ(isHeld(game, 'W'), c.w) << c.what;
        EXPECT_EQ(isHeld(game, keyUp), c.up) << c.what;
        EXPECT_EQ(buttonHeld(game, mouseButtonLeft), c.left) << c.what;
        EXPECT_EQ(isHeld(game, 'T'), c.t) << c.what;
    }
}

TEST(InputMapping, ThePointerMovesFromTheAnchorByTheDesktopsMotionScaled) {
    const PointerAnchor anchor = {960, 540, 640, 360};
    const struct {
        float sensitivity;
        bool invertY;
        int desktopX, desktopY;
        int gameX, gameY;
    } cases[] = {
        {1.0f, false, 960, 540, 640, 360},  // at the anchor
        {1.0f, false, 1000, 500, 680, 320}, // as it moved
        {2.0f, false, 1000, 500, 720, 280}, // twice as far
        {0.5f, false, 963, 543, 641, 361},  // half, whole pixels rounded down
        {0.5f, false, 957, 537, 638, 358},
        {1.0f, true, 1000, 500, 680, 400},                   // up and down swapped
        {100.0f, false, 960 + (1 << 29), 540, 1 << 30, 360}, // kept within a window coordinate's range
    };
    for (const auto& c : cases) {
        InputMapping mapping = identityMapping();
        mapping.sensitivity = c.sensitivity;
        mapping.invertY = c.invertY;
        int x = 0;
        int y = 0;
        mapPointer(mapping, anchor, c.desktopX, c.desktopY, x, y);
        EXPECT_EQ(x, c.gameX) << c.sensitivity << " " << c.desktopX;
        EXPECT_EQ(y, c.gameY) << c.sensitivity << " " << c.desktopY;
    }
}
