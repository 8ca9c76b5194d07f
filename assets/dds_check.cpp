// Header layout (little-endian 32-bit words, byte offsets from the file's start): magic 0,
// header size 4, flags 8, height 12, width 16, mipmap count 28, pixel format record at 76
// (size 76, flags 80, four-character code 84, bits per pixel 88, red, green, blue and alpha
// masks 92 to 104), caps 108 and 112. The levels follow at 128, largest first.
#include "assets/dds_check.h"

#include "assets/texture_budget.h"
#include "core/little_endian.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace valley {

namespace {

constexpr int32_t largestDdsSide = 16384;                  // SOIL counts the decoded bytes in an int
constexpr uint32_t neededFlags = 0x1 | 0x2 | 0x4 | 0x1000; // caps, height, width, pixel format
constexpr uint32_t fourCcFormat = 0x4;
constexpr uint32_t rgbFormat = 0x40;
constexpr uint32_t alphaPixels = 0x1;
constexpr uint32_t textureCap = 0x1000;
constexpr uint32_t mipmapCap = 0x400000;
constexpr uint32_t cubeMapOrVolume = 0x200 | 0x200000;

uint32_t word(const uint8_t* bytes, size_t at) { return readUint32LittleEndian(bytes + at); }

// Bytes of a 4 x 4 block for DXT1, DXT3 and DXT5, bytes of a pixel for plain formats; 0 for
// any other pixel format.
struct PixelFormat {
    bool blocks;
    uint64_t bytes;
};

PixelFormat pixelFormatOf(const uint8_t* header) {
    const uint32_t flags = word(header, 80);
    if (flags == fourCcFormat || flags == (fourCcFormat | alphaPixels)) {
        const uint8_t* code = header + 84;
        if (std::memcmp(code, "DXT1", 4) == 0) {
            return {true, 8};
        }
        return {true, std::memcmp(code, "DXT3", 4) == 0 || std::memcmp(code, "DXT5", 4) == 0 ? 16u : 0u};
    }
    const bool rgb = word(header, 92) == 0xFF0000 && word(header, 96) == 0xFF00 && word(header, 100) == 0xFF;
    if (flags == rgbFormat && rgb && word(header, 88) == 24 && word(header, 104) == 0) {
        return {false, 3};
    }
    if (flags == (rgbFormat | alphaPixels) && rgb && word(header, 88) == 32 &&
        word(header, 104) == 0xFF000000u) {
        return {false, 4};
    }
    return {false, 0};
}

uint64_t levelBytes(const PixelFormat& format, uint64_t width, uint64_t height) {
    return format.blocks ? (width + 3) / 4 * ((height + 3) / 4) * format.bytes
                         : width * height * format.bytes;
}

} // namespace

Problem checkDdsHeader(const uint8_t* bytes, size_t size, int32_t largestSide, DdsLayout& layout) {
    layout = DdsLayout{0, 0, 0, 0};
    const Problem refused = "not a DXT1, DXT3, DXT5, BGR or BGRA DDS file of at most 4096 x 4096 pixels";
    if (bytes == nullptr || size < ddsHeaderBytes || std::memcmp(bytes, "DDS ", 4) != 0 ||
        word(bytes, 4) != 124 || (word(bytes, 8) & neededFlags) != neededFlags || word(bytes, 76) != 32 ||
        (word(bytes, 108) & textureCap) == 0 || (word(bytes, 112) & cubeMapOrVolume) != 0) {
        return refused;
    }
    const uint32_t side = static_cast<uint32_t>(std::min(largestSide, largestDdsSide));
    const uint32_t width = word(bytes, 16);
    const uint32_t height = word(bytes, 12);
    const PixelFormat format = pixelFormatOf(bytes);
    if (width < 1 || width > side || height < 1 || height > side || format.bytes == 0 ||
        int64_t{width} * height > largestTexturePixels) {
        return refused;
    }
    uint32_t sideLevels = 1;
    while (std::max(width, height) >> sideLevels != 0) {
        ++sideLevels;
    }
    const uint32_t mipmapCount = word(bytes, 28);
    if (mipmapCount > sideLevels) {
        return refused;
    }
    // SOIL skips over the smaller levels only when the caps say there are mipmaps.
    const uint32_t levels = (word(bytes, 108) & mipmapCap) != 0 && mipmapCount > 1 ? mipmapCount : 1;
    uint64_t needed = ddsHeaderBytes;
    for (uint32_t level = 0; level < levels; ++level) {
        needed += levelBytes(format, std::max(width >> level, 1u), std::max(height >> level, 1u));
    }
    layout = DdsLayout{static_cast<int32_t>(width), static_cast<int32_t>(height),
                       static_cast<int32_t>(levels), static_cast<size_t>(needed)};
    return std::nullopt;
}

Problem checkDds(const uint8_t* bytes, size_t size, int32_t largestSide, DdsLayout& layout) {
    if (Problem problem = checkDdsHeader(bytes, size, largestSide, layout)) {
        return problem;
    }
    if (layout.size > size) {
        const std::string problem =
            "cut short: its header declares " + std::to_string(layout.size) + " bytes";
        layout = DdsLayout{0, 0, 0, 0};
        return problem;
    }
    return std::nullopt;
}

} // namespace valley
