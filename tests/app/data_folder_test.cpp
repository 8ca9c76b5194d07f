// The order valley looks for its data folder in, over a tree of folders with and without meshes.
#include "app/data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace valley;

TEST(DataFolder, IsTheFlagThenTheVariableThenBesideTheExecutableThenTheInstalledPrefix) {
    char pattern[] = "/tmp/valley-data-XXXXXX";
    const std::string root = mkdtemp(pattern);
    for (const char* folder :
         {"flag/Meshes", "variable/Meshes", "build/Meshes", "usr/bin", "usr/share/valley/Meshes",
          "share/valley/Meshes", "empty/bin", "shaders-only/shaders"}) {
        std::filesystem::create_directories(root + "/" + folder);
    }
    const std::string flag = root + "/flag", variable = root + "/variable", build = root + "/build";
    const std::string bin = root + "/usr/bin", installed = root + "/usr/share/valley",
                      empty = root + "/empty";
    struct Case {
        const char* what;
        DataFolderPlaces places;
        std::string found;
        std::vector<std::string> looked;
    };
    const Case cases[] = {
        {"the flag before all", {flag, variable, build}, flag, {flag}},
        {"a relative flag, from the working directory",
         {std::filesystem::relative(flag).string(), "", bin},
         flag,
         {flag}},
        {"the variable before the executable's folder", {"", variable, build}, variable, {variable}},
        {"beside the executable, before ../share/valley", {"", "", build}, build, {build}},
        {"an installed prefix", {"", "", bin}, installed, {bin, installed}},
        {"a flag without meshes is not passed by", {empty, variable, bin}, "", {empty}},
        {"a variable without meshes is not passed by",
         {"", root + "/shaders-only", bin},
         "",
         {root + "/shaders-only"}},
        {"none beside the executable",
         {"", "", empty + "/bin/"},
         "",
         {empty + "/bin", empty + "/share/valley"}},
        {"no executable's folder", {"", "", ""}, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DataFolderLookup lookup = findDataFolder(c.places);
        EXPECT_EQ(lookup.folder, c.found);
        EXPECT_EQ(lookup.looked, c.looked);
    }
    std::filesystem::remove_all(root);
}
