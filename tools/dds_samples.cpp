#include "tools/dds_samples.h"

#include <cstring>

namespace vgen {
namespace {

constexpr std::uint32_t plainFlags = 0x1 | 0x2 | 0x4 | 0x1000; // caps, height, width, pixel format
constexpr std::uint32_t mipmapCountFlag = 0x20000;
constexpr std::uint32_t fourCc = 0x4;
constexpr std::uint32_t rgb = 0x40;
constexpr std::uint32_t alpha = 0x1;
constexpr std::uint32_t textureCap = 0x1000;
constexpr std::uint32_t mipmapCaps = 0x8 | 0x400000; // complex, mipmap
constexpr std::uint32_t cubeMap = 0x200 | 0xFC00;    // every face

struct Header {
    std::uint32_t width;
    std::uint32_t height;
    const char* format; // "DXT1", "DXT3", "DXT5" or another code, "RGB" or "RGBA"
    std::uint32_t mipmaps = 0;
    std::uint32_t caps2 = 0;
};

void put(std::vector<std::uint8_t>& bytes, size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// The 128-byte header, then `data` bytes counting up from 0.
std::vector<std::uint8_t> dds(const Header& header, size_t data) {
    std::vector<std::uint8_t> bytes(128 + data);
    std::memcpy(bytes.data(), "DDS ", 4);
    put(bytes, 4, 124);
    put(bytes, 8, plainFlags | (header.mipmaps > 0 ? mipmapCountFlag : 0));
    put(bytes, 12, header.height);
    put(bytes, 16, header.width);
    put(bytes, 28, header.mipmaps);
    put(bytes, 76, 32);
    const bool plain = std::strcmp(header.format, "RGB") == 0 || std::strcmp(header.format, "RGBA") == 0;
    if (plain) {
        const bool withAlpha = header.format[3] == 'A';
        put(bytes, 80, rgb | (withAlpha ? alpha : 0));
        put(bytes, 88, withAlpha ? 32 : 24);
        put(bytes, 92, 0xFF0000);
        put(bytes, 96, 0xFF00);
        put(bytes, 100, 0xFF);
        put(bytes, 104, withAlpha ? 0xFF000000u : 0);
    } else {
        put(bytes, 80, fourCc);
        std::memcpy(bytes.data() + 84, header.format, 4);
    }
    put(bytes, 108, textureCap | (header.mipmaps > 1 ? mipmapCaps : 0));
    put(bytes, 112, header.caps2);
    for (size_t i = 128; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    return bytes;
}

// An 18-byte TGA header: uncompressed true colour, 65535 x 65535, 32 bits.
std::vector<std::uint8_t> tgaHeader() {
    return {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 32, 8};
}

} // namespace

std::vector<DdsSample> ddsSamples() {
    std::vector<DdsSample> samples = {
        {{"dxt1_4x4.dds", dds({4, 4, "DXT1"}, 8)}, true},
        {{"dxt1_8x4_mipmaps.dds", dds({8, 4, "DXT1", 4}, 5 * 8)}, true},
        {{"dxt3_4x4.dds", dds({4, 4, "DXT3"}, 16)}, true},
        {{"dxt5_8x8_mipmaps.dds", dds({8, 8, "DXT5", 4}, (4 + 1 + 1 + 1) * 16)}, true},
        {{"rgb_3x2.dds", dds({3, 2, "RGB"}, 18)}, true},
        {{"rgba_2x2_mipmaps.dds", dds({2, 2, "RGBA", 2}, 5 * 4)}, true},
        {{"rgb_5x3_one_mipmap_count.dds", dds({5, 3, "RGB", 1}, 45)}, true},
        // SOIL's decoded size overflows an int, or takes gigabytes for nothing.
        {{"dxt1_65536x16384_no_data.dds", dds({65536, 16384, "DXT1"}, 64)}, false},
        {{"rgb_65536x32768_no_data.dds", dds({65536, 32768, "RGB"}, 64)}, false},
        {{"dxt1_16384x16384_header_only.dds", dds({16384, 16384, "DXT1"}, 0)}, false},
        // SOIL skips the levels one seek at a time.
        {{"dxt1_4x4_mipmap_count_max.dds", dds({4, 4, "DXT1", 0xFFFFFFFFu}, 8)}, false},
        {{"dxt1_4x4_four_levels.dds", dds({4, 4, "DXT1", 4}, 4 * 8)}, false},
        {{"dxt1_8x8_levels_cut_short.dds", dds({8, 8, "DXT1", 4}, 4 * 8 + 8)}, false},
        // Too short: SOIL would upload whatever memory held.
        {{"rgb_8x8_truncated.dds", dds({8, 8, "RGB"}, 8 * 8 * 3 - 1)}, false},
        {{"rgb_8x8_header_only.dds", dds({8, 8, "RGB"}, 0)}, false},
        {{"rgb_0x0.dds", dds({0, 0, "RGB"}, 0)}, false},
        {{"rgb_0x4.dds", dds({0, 4, "RGB"}, 48)}, false},
        // Formats the engine does not use, and other files under the name.
        {{"dxt2_4x4.dds", dds({4, 4, "DXT2"}, 16)}, false},
        {{"ati2_4x4.dds", dds({4, 4, "ATI2"}, 16)}, false},
        {{"rgb_4x4_cube_map.dds", dds({4, 4, "RGB", 0, cubeMap}, 6 * 48)}, false},
        {{"tga_header.dds", tgaHeader()}, false},
        {{"magic_only.dds", {'D', 'D', 'S', ' '}}, false},
    };
    std::vector<std::uint8_t> wrongSize = dds({4, 4, "DXT1"}, 8);
    put(wrongSize, 4, 128);
    samples.push_back({{"header_size_128.dds", wrongSize}, false});
    std::vector<std::uint8_t> sixteenBits = dds({4, 4, "RGB"}, 32);
    put(sixteenBits, 88, 16);
    samples.push_back({{"rgb_16_bits.dds", sixteenBits}, false});
    std::vector<std::uint8_t> cutShort = dds({4, 4, "DXT1"}, 8);
    cutShort.resize(127);
    samples.push_back({{"header_cut_short.dds", cutShort}, false});
    return samples;
}

} // namespace vgen
