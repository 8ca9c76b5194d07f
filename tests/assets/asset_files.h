// Small assets made by the tests: BMP and DDS images, COLLADA documents, files in a private
// temporary directory that lives as long as the test program, and holders freeing what a
// mesh reader or a resource cache allocated (not OpenGL objects).
#pragma once

#include "assets/mesh_data.h"
#include "assets/resource_cache.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using namespace valley;

// Blue, green, red of the pixel in stored row `row`, column `column`.
using BmpPattern = std::function<void(int row, int column, uint8_t bgr[3])>;

// A 24-bit BMP with a 54-byte header; rows are stored in the order given by `row` and padded
// with (width mod 4) bytes of 0xEE.
std::vector<uint8_t> makeBmp(int32_t width, int32_t height, const BmpPattern& pattern);
// A distinct colour for every pixel of images up to 64 x 64.
void gradientPattern(int row, int column, uint8_t bgr[3]);
// Writes a little-endian int32 into a byte buffer (for breaking headers).
void putInt32(std::vector<uint8_t>& bytes, size_t at, int32_t value);

// A 4 x 4 DXT1 DDS of one colour given as RGB 5:6:5.
std::vector<uint8_t> makeDxt1Dds(uint16_t colour565);

// A path inside the test program's temporary directory.
std::string tempPath(const std::string& name);
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
void writeFile(const std::string& path, const std::string& text);

// The pieces of a COLLADA document laid out as the valley's files are: three sources, a
// <vertices> element and a triangle polylist. The defaults describe a flat square of two
// triangles in the file's XY plane, one shared normal and four texture coordinates.
struct ColladaParts {
    std::string positions = "0 0 0 1 0 0 1 1 0 0 1 0";
    std::string positionCount = "12";
    std::string normals = "0 0 1";
    std::string normalCount = "3";
    std::string texcoords = "0 0 1 0 1 1 0 1";
    std::string texcoordCount = "8";
    std::string triangleCount = "2";
    std::string corners = "0 0 0 1 0 1 2 0 2 0 0 0 2 0 2 3 0 3";
};
std::string makeCollada(const ColladaParts& parts);

// Owns the arrays a mesh reader allocated.
struct HeldMesh {
    Mesh mesh{};
    HeldMesh() = default;
    HeldMesh(const HeldMesh&) = delete;
    HeldMesh& operator=(const HeldMesh&) = delete;
    ~HeldMesh() {
        delete[] mesh.vertices;
        delete[] mesh.indices;
    }
};

// A cache whose records are freed with it. Names handed to it must outlive it.
struct HeldCache {
    ResourceCache cache{};
    HeldCache() = default;
    HeldCache(const HeldCache&) = delete;
    HeldCache& operator=(const HeldCache&) = delete;
    ~HeldCache();
};
