// Between the desktop and the game: keys and mouse buttons moved to others, and the pointer's
// motion scaled and turned. The game, and so a recording, sees only the result: the keys of its
// own table (game/controls.cpp) and a pointer in window pixels, y growing downwards.
//
// An input is named as the settings file names it: "A" to "Z", "0" to "9", "F1" to "F12",
// "Space", "Escape", "Enter", "Up", "Down", "Left", "Right", "LeftShift", "RightShift",
// "LeftControl", "RightControl", "LeftAlt", "RightAlt", "MouseLeft", "MouseRight", "MouseMiddle";
// case does not matter.
#pragma once

#include "platform/input.h"
#include "platform/keys.h"

#include <string>

namespace valley {

// A key of the key table (platform/keys.h) or a mouse button.
struct InputName {
    bool mouse;
    int code;
};

bool inputByName(const std::string& name, InputName& input); // false for a name of no input
std::string inputName(const InputName& input);               // "" for no input of the table

struct InputMapping {
    InputName keySource[keySlotCount];        // the game's key of slot k is read from this input
    InputName buttonSource[mouseButtonCount]; // and its mouse button b from this one
    float sensitivity;                        // pointer motion times this; 1 keeps it
    bool invertY;                             // pointer motion up and down swapped
};

InputMapping identityMapping(); // every input read from itself, motion as it is
// From now on the game's `game` is read from the desktop's `desktop`; the desktop's `game`
// reads as nothing unless it is the source of another.
void rebind(InputMapping& mapping, const InputName& game, const InputName& desktop);
// The keys and buttons the game sees; the pointer is left as it was.
InputState mapKeys(const InputMapping& mapping, const InputState& desktop);

// Where the desktop's pointer and the game's last agreed (start-up, or the game moving the
// pointer); the game's pointer moves from there by the desktop's motion, scaled.
struct PointerAnchor {
    int desktopX;
    int desktopY;
    int gameX;
    int gameY;
};

void mapPointer(const InputMapping& mapping, const PointerAnchor& anchor, int desktopX, int desktopY,
                int& gameX, int& gameY);

} // namespace valley
