#include "game/controls.h"
#include "platform/input_mapping.h"
#include "platform/keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace valley;

namespace {

// A binding's input as the README's controls table names it: a key by its settings-file name.
std::string inputName(const ControlBinding& binding) {
    if (binding.mouse) {
        return binding.code == mouseButtonLeft ? "Left mouse button" : "Right mouse button";
    }
    return valley::inputName(InputName{false, binding.code});
}

struct ReadmeRow {
    std::vector<std::string> inputs; // the first cell, split at " / "
    std::string action;
};

std::vector<std::string> splitInputs(const std::string& cell);

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
        rows.push_back(ReadmeRow{splitInputs(line.substr(2, bar - 2)), line.substr(bar + 3)});
    }
    return rows;
}

std::vector<std::string> splitInputs(const std::string& cell) {
    std::vector<std::string> inputs;
    std::stringstream parts(cell);
    for (std::string input; std::getline(parts, input, '/');) {
        inputs.push_back(trimmed(input));
    }
    return inputs;
}

// The manual page's CONTROLS section in the same rows: ".TP", ".B inputs", then the action.
std::vector<ReadmeRow> manualControls() {
    std::ifstream manual(std::string(VALLEY_SOURCE_DIR) + "/packaging/valley.1");
    std::vector<ReadmeRow> rows;
    std::string line;
    bool inSection = false;
    while (std::getline(manual, line)) {
        if (line.rfind(".SH ", 0) == 0) {
            inSection = line == ".SH CONTROLS";
        } else if (inSection && line.rfind(".B ", 0) == 0) {
            std::string action;
            std::getline(manual, action);
            rows.push_back(ReadmeRow{splitInputs(line.substr(3)), action});
        }
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

// The README's controls table and the manual page's CONTROLS section, alike.
TEST(Controls, TheReadmeAndTheManualListEveryBindingWithWhatItDoesAndNoUnboundKey) {
    const std::pair<const char*, std::vector<ReadmeRow>> lists[] = {{"README", readmeControls()},
                                                                    {"manual page", manualControls()}};
    for (const auto& [where, rows] : lists) {
        SCOPED_TRACE(where);
        ASSERT_GT(rows.size(), 10u);
        for (const ControlBinding& binding : controlTable) {
            bool listed = false;
            for (const ReadmeRow& row : rows) {
                for (const std::string& input : row.inputs) {
                    listed = listed || (input == inputName(binding) &&
                                        row.action.find(binding.what) != std::string::npos);
                }
            }
            EXPECT_TRUE(listed) << inputName(binding) << ": " << binding.what;
        }
        for (const ReadmeRow& row : rows) {
            for (const std::string& input : row.inputs) {
                // Looking around is the camera's (game/camera_control.h).
                EXPECT_TRUE(input == "Mouse" || bound(input)) << input << " is listed but bound to nothing";
            }
        }
    }
}
