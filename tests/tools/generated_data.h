// Shared helpers: the generated files (made once), an independent reader
// for our COLLADA subset and texture decoding through SOIL.
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
    // Two per position: the texcoord the last corner naming that position
    // gave it, as the engine's reader keeps one texcoord per vertex.
    std::vector<double> vertexTexcoords;
    std::size_t polylistCount = 0;
    std::vector<std::string> errors;
};
DaeMesh readDae(const std::vector<std::uint8_t>& bytes);
DaeMesh readMesh(const std::string& name); // Meshes/<name>.dae

// (p1 - p0) x (p2 - p0) in engine coordinates.
V3 faceNormal(const DaeMesh& m, std::size_t tri);

// A generated texture decoded by SOIL, top row first.
struct Pixels {
    int w = 0, h = 0, channels = 0;
    std::vector<std::uint8_t> rgb;
    const std::uint8_t* at(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * w + x) * 3]; }
    double mean(int c) const;
    // Mean absolute colour difference between columns a and b (or rows).
    double diff(int a, int b, bool cols) const;
};
Pixels loadPixels(const std::vector<std::uint8_t>& bytes, int force);
Pixels loadTexture(const std::string& name); // Textures/<name>, as RGB

} // namespace vt
