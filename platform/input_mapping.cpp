// Input names, rebinding and the pointer's scaling.
#include "platform/input_mapping.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>

namespace valley {

namespace {

struct NamedKey {
    const char* name;
    int code;
};

const NamedKey namedKeys[] = {
    {"Space", keySpace},
    {"Escape", keyEscape},
    {"Enter", keyEnter},
    {"Up", keyUp},
    {"Down", keyDown},
    {"Left", keyLeft},
    {"Right", keyRight},
    {"LeftShift", keyLeftShift},
    {"RightShift", keyRightShift},
    {"LeftControl", keyLeftControl},
    {"RightControl", keyRightControl},
    {"LeftAlt", keyLeftAlt},
    {"RightAlt", keyRightAlt},
};
const char* const buttonNames[mouseButtonCount] = {"MouseLeft", "MouseRight", "MouseMiddle"};

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

bool held(const InputState& input, const InputName& name) {
    return name.mouse ? buttonHeld(input, name.code) : isHeld(input, name.code);
}

// A pointer coordinate kept within what a window coordinate can be.
int clampedPixel(double coordinate) {
    const double bound = 1 << 30;
    return static_cast<int>(std::clamp(coordinate, -bound, bound));
}

} // namespace

std::string inputName(const InputName& input) {
    if (input.mouse) {
        return input.code >= 0 && input.code < mouseButtonCount ? buttonNames[input.code] : "";
    }
    if (keySlot(input.code) < 0) {
        return "";
    }
    if (input.code >= keyF1 && input.code <= keyF12) {
        return "F" + std::to_string(input.code - keyF1 + 1);
    }
    for (const NamedKey& key : namedKeys) {
        if (key.code == input.code) {
            return key.name;
        }
    }
    return std::string(1, static_cast<char>(input.code));
}

bool inputByName(const std::string& name, InputName& input) {
    for (int button = 0; button < mouseButtonCount; ++button) {
        if (upper(name) == upper(buttonNames[button])) {
            input = InputName{true, button};
            return true;
        }
    }
    for (int slot = 0; slot < keySlotCount; ++slot) {
        if (upper(name) == upper(inputName(InputName{false, slotKey(slot)}))) {
            input = InputName{false, slotKey(slot)};
            return true;
        }
    }
    return false;
}

InputMapping identityMapping() {
    InputMapping mapping = {};
    for (int slot = 0; slot < keySlotCount; ++slot) {
        mapping.keySource[slot] = InputName{false, slotKey(slot)};
    }
    for (int button = 0; button < mouseButtonCount; ++button) {
        mapping.buttonSource[button] = InputName{true, button};
    }
    mapping.sensitivity = 1.0f;
    mapping.invertY = false;
    return mapping;
}

void rebind(InputMapping& mapping, const InputName& game, const InputName& desktop) {
    if (game.mouse && game.code >= 0 && game.code < mouseButtonCount) {
        mapping.buttonSource[game.code] = desktop;
    } else if (!game.mouse && keySlot(game.code) >= 0) {
        mapping.keySource[keySlot(game.code)] = desktop;
    }
}

InputState mapKeys(const InputMapping& mapping, const InputState& desktop) {
    InputState game = {0, 0, desktop.mouseX, desktop.mouseY};
    for (int slot = 0; slot < keySlotCount; ++slot) {
        setKey(game, slotKey(slot), held(desktop, mapping.keySource[slot]));
    }
    for (int button = 0; button < mouseButtonCount; ++button) {
        setButton(game, button, held(desktop, mapping.buttonSource[button]));
    }
    return game;
}

void mapPointer(const InputMapping& mapping, const PointerAnchor& anchor, int desktopX, int desktopY,
                int& gameX, int& gameY) {
    const double scale = mapping.sensitivity;
    const double movedX = std::floor((static_cast<double>(desktopX) - anchor.desktopX) * scale);
    const double movedY = std::floor((static_cast<double>(desktopY) - anchor.desktopY) * scale);
    gameX = clampedPixel(anchor.gameX + movedX);
    gameY = clampedPixel(anchor.gameY + (mapping.invertY ? -movedY : movedY));
}

} // namespace valley
