// Where valley finds its run-time data: the one folder holding Meshes/, Textures/ and shaders/.
// The program enters it before loading anything, so the assets' relative names hold.
//
// Looked for in this order: the --data folder, the VALLEY_DATA folder, the executable's own folder
// (a build tree), then ../share/valley beside the executable (an installed prefix). A folder
// given by the flag or the variable is the only one tried: a wrong one is reported, not passed by.
// A folder counts when it holds a Meshes folder.
#pragma once

#include <string>
#include <vector>

namespace valley {

struct DataFolderPlaces {
    std::string flag;             // --data DIR; "" when not given
    std::string variable;         // VALLEY_DATA; "" when unset
    std::string executableFolder; // the folder the running executable lies in
};

struct DataFolderLookup {
    std::string folder;              // the first that counts, absolute; "" when none does
    std::vector<std::string> looked; // every folder tried, absolute, in order
};

DataFolderLookup findDataFolder(const DataFolderPlaces& places);
// The folder of the running executable, symbolic links resolved; "" when it cannot be read.
std::string executableFolder();
// Finds the data folder from the flag, the environment and the executable, and makes it the
// working directory; false after one line on standard error naming where it looked.
bool enterDataFolder(const std::string& flag);

} // namespace valley
