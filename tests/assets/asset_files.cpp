#include "tests/assets/asset_files.h"

#include "assets/texture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

using namespace valley;

void putInt32(std::vector<uint8_t>& bytes, size_t at, int32_t value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(bits >> (8 * i));
    }
}

std::vector<uint8_t> makeBmp(int32_t width, int32_t height, const BmpPattern& pattern) {
    const int rows = height < 0 ? -height : height;
    const size_t rowBytes = 3 * static_cast<size_t>(width) + width % 4;
    std::vector<uint8_t> bytes(54 + rowBytes * rows, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    putInt32(bytes, 2, static_cast<int32_t>(bytes.size()));
    putInt32(bytes, 10, 54);
    putInt32(bytes, 14, 40);
    putInt32(bytes, 18, width);
    putInt32(bytes, 22, height);
    bytes[26] = 1;  // planes
    bytes[28] = 24; // bits per pixel
    for (int row = 0; row < rows; ++row) {
        uint8_t* stored = bytes.data() + 54 + row * rowBytes;
        for (int column = 0; column < width; ++column) {
            pattern(row, column, stored + 3 * column);
        }
        std::memset(stored + 3 * width, 0xEE, width % 4);
    }
    return bytes;
}

void gradientPattern(int row, int column, uint8_t bgr[3]) {
    bgr[0] = static_cast<uint8_t>(4 * column + 1);
    bgr[1] = static_cast<uint8_t>(4 * row + 2);
    bgr[2] = static_cast<uint8_t>(255 - column - row);
}

std::vector<uint8_t> makeDxt1Dds(uint16_t colour565) {
    std::vector<uint8_t> bytes(128 + 8, 0);
    std::memcpy(bytes.data(), "DDS ", 4);
    putInt32(bytes, 4, 124);
    putInt32(bytes, 8, 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000); // caps, size, format, linear size
    putInt32(bytes, 12, 4);                                 // height
    putInt32(bytes, 16, 4);                                 // width
    putInt32(bytes, 20, 8);                                 // bytes of the one block
    putInt32(bytes, 76, 32);                                // pixel format record size
    putInt32(bytes, 80, 0x4);                               // four-character code present
    std::memcpy(bytes.data() + 84, "DXT1", 4);
    putInt32(bytes, 108, 0x1000); // a plain texture
    // One block: both end colours equal, every index 0.
    bytes[128] = static_cast<uint8_t>(colour565);
    bytes[129] = static_cast<uint8_t>(colour565 >> 8);
    bytes[130] = bytes[128];
    bytes[131] = bytes[129];
    return bytes;
}

std::string makeCollada(const ColladaParts& parts) {
    auto source = [](const std::string& id, const std::string& count, const std::string& numbers) {
        return "      <source id=\"" + id + "\">\n        <float_array id=\"" + id + "-array\" count=\"" +
               count + "\">" + numbers + "</float_array>\n        <technique_common/>\n      </source>\n";
    };
    const std::string head = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                             "<COLLADA version=\"1.4.1\">\n"
                             "  <asset><up_axis>Z_UP</up_axis></asset>\n"
                             "  <library_geometries>\n"
                             "   <geometry id=\"square\">\n"
                             "    <mesh>\n";
    const std::string vertices =
        "      <vertices id=\"vertices\"><input semantic=\"POSITION\" source=\"#positions\"/></vertices>\n";
    const std::string polylist = "      <polylist count=\"" + parts.triangleCount + "\">\n" +
                                 "        <input semantic=\"VERTEX\" source=\"#vertices\" offset=\"0\"/>\n" +
                                 "        <p>" + parts.corners + "</p>\n" + "      </polylist>\n";
    const std::string tail = "    </mesh>\n"
                             "   </geometry>\n"
                             "  </library_geometries>\n"
                             "</COLLADA>\n";
    return head + source("positions", parts.positionCount, parts.positions) +
           source("normals", parts.normalCount, parts.normals) +
           source("texcoords", parts.texcoordCount, parts.texcoords) + vertices + polylist + tail;
}

namespace {

// Made on first use, removed with everything in it when the test program ends.
struct TempDirectory {
    std::string path;
    TempDirectory() {
        char pattern[] = "/tmp/valley_assets_XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            throw std::runtime_error("cannot make a temporary directory");
        }
        path = pattern;
    }
    ~TempDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

} // namespace

std::string tempPath(const std::string& name) {
    static const TempDirectory directory;
    return directory.path + "/" + name;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        throw std::runtime_error("cannot write " + path);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

void writeFile(const std::string& path, const std::string& text) {
    writeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

HeldCache::~HeldCache() {
    for (ListNode* node = cache.meshes.head; node != nullptr; node = node->next) {
        Mesh* mesh = static_cast<Mesh*>(node->payload);
        delete[] mesh->vertices;
        delete[] mesh->indices;
    }
    freeListAndPayloads<Mesh>(cache.meshes);
    freeListAndPayloads<Texture>(cache.textures);
    freeListAndPayloads<ResourceEntry>(cache.entries);
}
