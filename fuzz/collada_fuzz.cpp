// The COLLADA reader on arbitrary text. It parses in place, so each input is copied into a
// buffer of exactly its size plus the terminating zero: a read or write past the text is caught.
#include "assets/collada_reader.h"
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> text(size + 1);
    if (size != 0) {
        std::memcpy(text.data(), data, size);
    }
    text[size] = '\0';

    Mesh mesh;
    const bool read = readColladaMesh(text.data(), mesh);
    require(mesh.stride == 8, "8 floats per vertex");
    require(mesh.vertexBuffer == 0 && mesh.indexBuffer == 0, "no buffer objects without OpenGL");
    if (!read) {
        require(mesh.vertexCount == 0 && mesh.triangleCount == 0 && mesh.vertices == nullptr &&
                    mesh.indices == nullptr,
                "a refused document leaves an empty mesh");
        return 0;
    }
    require(mesh.vertexCount >= 0 && mesh.triangleCount >= 0, "counts are not negative");
    for (size_t k = 0; k < 3 * static_cast<size_t>(mesh.triangleCount); ++k) {
        require(mesh.indices[k] >= 0 && mesh.indices[k] < mesh.vertexCount, "indices name vertices");
    }
    // Touch every float the mesh claims to hold: the array must be as long as its count.
    float sum = 0.0f;
    for (size_t i = 0; i < static_cast<size_t>(mesh.vertexCount) * 8; ++i) {
        sum += mesh.vertices[i];
    }
    static_cast<void>(sum);
    delete[] mesh.vertices;
    delete[] mesh.indices;
    return 0;
}
