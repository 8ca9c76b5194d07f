// The complete set of run-time data files and writing them to disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vgen {

struct GeneratedFile {
    std::string path; // relative, e.g. "Meshes/cube5.dae"
    std::vector<std::uint8_t> bytes;
};

// Every mesh and texture, in a fixed order. Same bytes on every call.
std::vector<GeneratedFile> generateAll();

// Writes the files below outDir, creating Meshes/ and Textures/.
// Throws std::runtime_error when a file cannot be written.
void writeAll(const std::string& outDir, const std::vector<GeneratedFile>& files);

} // namespace vgen
