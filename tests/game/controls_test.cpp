#include "game/controls.h"
#include "platform/keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace valley;

namespace {

// A binding's input as the README's controls table names it.
std::string inputName(const ControlBinding& binding) {
    if (binding.mouse) {
        return binding.code == mouseButtonLeft ? "Left mouse button" : "Right mouse button";
    }
    if (binding.code == keySpace) {
        return "Space";
    }
    if (binding.code == keyEscape) {
        return "Escape";
    }
    if (binding.code >= keyF1 && binding.code <= keyF12) {
        return "F" + std::to_string(binding.code - keyF1 + 1);
    }
    return std::string(1, static_cast<char>(binding.code));
}

struct ReadmeRow {
    std::vector<std::string> inputs; // the first cell, split at " / "
    std::string action;
};

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The rows of the table under "## Controls", its header and rule left out.
std::vector<ReadmeRow> readmeControls() {
    std::ifstream readme(std::string(VALLEY_SOURCE_DIR) + "/README.md");
    std::vector<ReadmeRow> rows;
    std::string line;
    bool inSection = false;
    while (std::getline(readme, line)) {
        if (line.rfind("## ", 0) == 0) {
            inSection = line == "## Controls";
            continue;
        }
        if (!inSection || line.rfind("| ", 0) != 0 || line.rfind("| Input |", 0) == 0) {
            continue;
        }
        const size_t bar = line.find(" | ", 1);
        ReadmeRow row;
        std::stringstream inputs(line.substr(2, bar - 2));
        for (std::string input; std::getline(inputs, input, '/');) {
            row.inputs.push_back(trimmed(input));
        }
        row.action = line.substr(bar + 3);
        rows.push_back(row);
    }
    return rows;
}

bool bound(const std::string& input) {
    for (const ControlBinding& binding : controlTable) {
        if (inputName(binding) == input) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(Controls, EachControlIsReadFromItsOwnBindingAlone) {
    for (int i = 0; i < controlCount; ++i) {
        const ControlBinding& binding = controlTable[i];
        EXPECT_EQ(binding.control, static_cast<Control>(i)) << "the table is in the order of Control";
        InputState input = {};
        EXPECT_FALSE(controlHeld(input, binding.control)) << binding.what;
        if (binding.mouse) {
            setButton(input, binding.code, true);
        } else {
            setKey(input, binding.code, true);
        }
        EXPECT_TRUE(controlHeld(input, binding.control)) << binding.what;
    }
}

TEST(Controls, TheReadmeListsEveryBindingWithWhatItDoesAndNoUnboundKey) {
    const std::vector<ReadmeRow> rows = readmeControls();
    ASSERT_GT(rows.size(), 10u);
    for (const ControlBinding& binding : controlTable) {
        bool listed = false;
        for (const ReadmeRow& row : rows) {
            for (const std::string& input : row.inputs) {
                if (input == inputName(binding) && row.action.find(binding.what) != std::string::npos) {
                    listed = true;
                }
            }
        }
        EXPECT_TRUE(listed) << inputName(binding) << ": " << binding.what;
    }
    const std::vector<std::string> camera = {"Mouse", "W", "A", "S", "D"}; // render/camera.h
    for (const ReadmeRow& row : rows) {
        for (const std::string& input : row.inputs) {
            const bool looking = std::find(camera.begin(), camera.end(), input) != camera.end();
            EXPECT_TRUE(looking || bound(input)) << input << " is in the README but bound to nothing";
        }
    }
}
