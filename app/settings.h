// The player's settings: the settings file, then the command line over it.
//
// The file is $XDG_CONFIG_HOME/valley/settings (~/.config/valley/settings without it), one
// `key = value` a line; a '#' starts a comment to the end of its line, and blank lines say nothing:
//   sensitivity = X     the mouse turns the view X times as fast (1 as it always did; above 0, at most 100)
//   invert-y = yes      moving the mouse forward looks down (yes/no, true/false, on/off, 1/0)
//   KEY = OTHER         what KEY does in the controls table, OTHER does (input names as in
//                       platform/input_mapping.h); KEY then does nothing unless it is moved too
// A line that makes no sense is named in one line and skipped; a missing file is no settings.
#pragma once

#include "platform/input_mapping.h"

#include <string>
#include <utility>
#include <vector>

namespace valley {

struct Settings {
    float sensitivity = 1.0f;
    bool invertY = false;
    std::vector<std::pair<InputName, InputName>> moves; // the game's input, the desktop's, in file order
};

// Reads the lines of a settings file over `settings`; each bad line adds one complaint naming
// `path` and its line number.
void readSettings(const std::string& text, const std::string& path, Settings& settings,
                  std::vector<std::string>& complaints);
// The file's place from the environment; "" when neither XDG_CONFIG_HOME nor HOME is set.
std::string settingsPath();
// Reads the file at `path`, if there is one; an unreadable file is one complaint.
void loadSettings(const std::string& path, Settings& settings, std::vector<std::string>& complaints);
bool sensitivityValue(const std::string& text, float& sensitivity); // a number above 0, at most 100
InputMapping inputMapping(const Settings& settings);

} // namespace valley
