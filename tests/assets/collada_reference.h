// A plain reference COLLADA reader written the obvious way, for the reader's differential test:
// tokens cut with strtok(text, " "), numbers read with atof and atoi, smooth normals averaged
// from each vertex's list of triangles. Positions are turned from the file's z up to y up as
// the engine's reader turns them: (x, y, z) becomes (x, z, -y).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a reader gives: refused, or the arrays, counts and extent.
struct ReadMesh {
    bool read = false;
    int32_t vertexCount = 0;
    int32_t triangleCount = 0;
    std::vector<float> vertices; // 8 floats a vertex
    std::vector<int32_t> indices;
    float extent[3] = {0.0f, 0.0f, 0.0f};
};

// The mesh in the document's text, or a refused, empty one.
ReadMesh referenceReadCollada(std::string text);
