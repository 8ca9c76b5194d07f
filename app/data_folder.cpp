#include "app/data_folder.h"

#include "core/printable.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace valley {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> candidates(const DataFolderPlaces& places) {
    if (!places.flag.empty()) {
        return {places.flag};
    }
    if (!places.variable.empty()) {
        return {places.variable};
    }
    if (places.executableFolder.empty()) {
        return {};
    }
    return {places.executableFolder, places.executableFolder + "/../share/valley"};
}

} // namespace

DataFolderLookup findDataFolder(const DataFolderPlaces& places) {
    DataFolderLookup lookup;
    for (const std::string& candidate : candidates(places)) {
        std::error_code error;
        std::string folder = fs::absolute(candidate, error).lexically_normal().string();
        if (folder.size() > 1 && folder.back() == '/') {
            folder.pop_back();
        }
        lookup.looked.push_back(folder);
        if (fs::is_directory(fs::path(folder) / "Meshes", error)) {
            lookup.folder = folder;
            break;
        }
    }
    return lookup;
}

std::string executableFolder() {
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.parent_path().string();
}

bool enterDataFolder(const std::string& flag) {
    const char* variable = std::getenv("VALLEY_DATA");
    DataFolderLookup lookup = findDataFolder({flag, variable != nullptr ? variable : "", executableFolder()});
    std::error_code error;
    if (!lookup.folder.empty()) {
        fs::current_path(lookup.folder, error);
        if (!error) {
            return true;
        }
    }
    std::string looked;
    for (const std::string& folder : lookup.looked) {
        looked += (looked.empty() ? "" : ", ") + printable(folder);
    }
    std::fprintf(stderr,
                 "valley: no data folder (Meshes/, Textures/, shaders/) in %s; name one with --data DIR "
                 "or VALLEY_DATA\n",
                 looked.empty() ? "no place" : looked.c_str());
    return false;
}

} // namespace valley
