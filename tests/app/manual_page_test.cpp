// The manual page names every option of --help, the four exit statuses, the environment the
// program reads and its files.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>

using namespace valley;

namespace {

// The lines of each ".SH" section of the manual page, by its title.
std::map<std::string, std::string> manualSections() {
    std::ifstream manual(std::string(VALLEY_SOURCE_DIR) + "/packaging/valley.1");
    std::map<std::string, std::string> sections;
    std::string title;
    for (std::string line; std::getline(manual, line);) {
        if (line.rfind(".SH ", 0) == 0) {
            title = line.substr(4);
        } else {
            sections[title] += line + "\n";
        }
    }
    return sections;
}

} // namespace

TEST(ManualPage, NamesEveryOptionEveryExitStatusTheEnvironmentAndTheFiles) {
    std::map<std::string, std::string> sections = manualSections();
    const std::string usage = commandLineUsage();
    std::set<std::string> options;
    const std::regex option("--[a-z-]+");
    for (std::sregex_iterator it(usage.begin(), usage.end(), option), end; it != end; ++it) {
        options.insert(it->str());
    }
    ASSERT_GE(options.size(), 13u);
    for (const std::string& name : options) {
        const std::string roff = std::regex_replace(name, std::regex("-"), "\\-");
        EXPECT_NE(sections["SYNOPSIS"].find(roff), std::string::npos) << name;
        EXPECT_NE(sections["OPTIONS"].find(roff), std::string::npos) << name;
    }
    for (const char* status : {".B 0\n", ".B 1\n", ".B 2\n", ".B 3\n"}) {
        EXPECT_NE(sections["EXIT STATUS"].find(status), std::string::npos) << status;
    }
    for (const char* variable : {".B VALLEY_DATA\n", ".B XDG_CONFIG_HOME\n"}) {
        EXPECT_NE(sections["ENVIRONMENT"].find(variable), std::string::npos) << variable;
    }
    for (const char* file : {"/valley/settings", "/usr/share/valley", "apps/valley.png"}) {
        EXPECT_NE(sections["FILES"].find(file), std::string::npos) << file;
    }
}
