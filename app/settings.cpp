#include "app/settings.h"

#include "core/problem.h"
#include "platform/file_read.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace valley {

namespace {

// A settings file is a few dozen short lines; anything larger is not one.
constexpr uint64_t largestSettingsFile = 64 * 1024;

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool yesOrNo(const std::string& text, bool& value) {
    for (const char* yes : {"yes", "true", "on", "1"}) {
        if (text == yes) {
            value = true;
            return true;
        }
    }
    for (const char* no : {"no", "false", "off", "0"}) {
        if (text == no) {
            value = false;
            return true;
        }
    }
    return false;
}

// Applies one `key = value`; the problem says why it cannot be.
Problem applySetting(const std::string& key, const std::string& value, Settings& settings) {
    if (key == "sensitivity") {
        return sensitivityValue(value, settings.sensitivity)
                   ? std::nullopt
                   : Problem("sensitivity needs a number above 0, at most 100, not \"" + value + "\"");
    }
    if (key == "invert-y") {
        return yesOrNo(value, settings.invertY) ? std::nullopt
                                                : Problem("invert-y needs yes or no, not \"" + value + "\"");
    }
    InputName game = {};
    InputName desktop = {};
    if (!inputByName(key, game)) {
        return "\"" + key + "\" is neither a setting nor a key";
    }
    if (!inputByName(value, desktop)) {
        return "\"" + value + "\" is not a key";
    }
    settings.moves.emplace_back(game, desktop);
    return std::nullopt;
}

} // namespace

bool sensitivityValue(const std::string& text, float& sensitivity) {
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value) || value <= 0.0f || value > 100.0f) {
        return false;
    }
    sensitivity = value;
    return true;
}

void readSettings(const std::string& text, const std::string& path, Settings& settings,
                  std::vector<std::string>& complaints) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = trimmed(line.substr(0, line.find('#')));
        if (line.empty()) {
            continue;
        }
        const size_t equals = line.find('=');
        Problem problem =
            equals == std::string::npos
                ? Problem("not a line of the form key = value")
                : applySetting(trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)), settings);
        if (problem) {
            complaints.push_back(path + " line " + std::to_string(number) + ": " + *problem + "; skipped");
        }
    }
}

std::string settingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::string(config) + "/valley/settings";
    }
    const char* home = std::getenv("HOME");
    return home != nullptr && home[0] != '\0' ? std::string(home) + "/.config/valley/settings" : "";
}

void loadSettings(const std::string& path, Settings& settings, std::vector<std::string>& complaints) {
    struct stat status = {};
    if (::stat(path.c_str(), &status) != 0 && errno == ENOENT) {
        return; // no settings file: the defaults
    }
    std::vector<uint8_t> bytes;
    if (Problem problem = readWholeFile(path, largestSettingsFile, bytes)) {
        complaints.push_back("cannot read " + path + ": " + *problem);
        return;
    }
    readSettings(std::string(bytes.begin(), bytes.end()), path, settings, complaints);
}

InputMapping inputMapping(const Settings& settings) {
    InputMapping mapping = identityMapping();
    mapping.sensitivity = settings.sensitivity;
    mapping.invertY = settings.invertY;
    for (const auto& [game, desktop] : settings.moves) {
        rebind(mapping, game, desktop);
    }
    return mapping;
}

} // namespace valley
