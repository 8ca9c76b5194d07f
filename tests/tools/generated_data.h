// Shared helpers: the generated files (made once) and an independent reader
// for our COLLADA subset.
#pragma once

#include "tools/assets.h"

#include <array>
#include <string>
#include <vector>

namespace vt {

struct V3 {
    double x = 0, y = 0, z = 0;
};
double dot(V3 a, V3 b);

const std::vector<std::uint8_t>& fileBytes(const std::string& path);
const std::vector<vgen::GeneratedFile>& allFiles();

// A mesh as the engine sees it: file (x, y, z) converted to engine
// (x, z, -y), triangles as position indices, and every departure from the
// subset our engine's reader handles listed in `errors`.
struct DaeMesh {
    std::vector<V3> positions;
    std::vector<std::array<std::uint32_t, 3>> triangles;
    std::vector<double> texcoords;
    std::size_t polylistCount = 0;
    std::vector<std::string> errors;
};
DaeMesh readDae(const std::vector<std::uint8_t>& bytes);
DaeMesh readMesh(const std::string& name); // Meshes/<name>.dae

// (p1 - p0) x (p2 - p0) in engine coordinates.
V3 faceNormal(const DaeMesh& m, std::size_t tri);

} // namespace vt
