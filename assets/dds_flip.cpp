#include "assets/dds_flip.h"

#include "core/little_endian.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace valley {

namespace {

uint32_t word(const uint8_t* bytes, size_t at) { return readUint32LittleEndian(bytes + at); }

// The first `rows` of a 4-row colour block's index bytes (one per row) reversed.
void flipColourBlock(uint8_t* block, int32_t rows) { std::reverse(block + 4, block + 4 + rows); }

// DXT5's alpha indices: 4 rows of 12 bits in 6 bytes; the first `rows` reversed.
void flipAlphaIndices(uint8_t* indices, int32_t rows) {
    uint64_t bits = 0;
    for (int i = 5; i >= 0; --i) {
        bits = bits << 8 | indices[i];
    }
    uint64_t row[4];
    for (int i = 0; i < 4; ++i) {
        row[i] = bits >> (12 * i) & 0xFFF;
    }
    std::reverse(row, row + rows);
    bits = row[0] | row[1] << 12 | row[2] << 24 | row[3] << 36;
    for (int i = 0; i < 6; ++i) {
        indices[i] = static_cast<uint8_t>(bits >> (8 * i));
    }
}

} // namespace

DdsFormat ddsFormatOf(const uint8_t* header) {
    if ((word(header, 80) & 0x4) != 0) {
        const char* code = reinterpret_cast<const char*>(header + 84);
        return std::memcmp(code, "DXT1", 4) == 0   ? DdsFormat::dxt1
               : std::memcmp(code, "DXT3", 4) == 0 ? DdsFormat::dxt3
                                                   : DdsFormat::dxt5;
    }
    return word(header, 88) == 24 ? DdsFormat::bgr : DdsFormat::bgra;
}

std::vector<uint8_t> flippedDdsPixels(const uint8_t* level, int32_t width, int32_t height,
                                      int32_t pixelBytes) {
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * pixelBytes);
    const size_t rowBytes = static_cast<size_t>(width) * pixelBytes;
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* from = level + (height - 1 - row) * rowBytes;
        uint8_t* to = out.data() + row * rowBytes;
        for (size_t at = 0; at < rowBytes; at += pixelBytes) {
            to[at] = from[at + 2];
            to[at + 1] = from[at + 1];
            to[at + 2] = from[at];
            if (pixelBytes == 4) {
                to[at + 3] = from[at + 3];
            }
        }
    }
    return out;
}

std::vector<uint8_t> flippedDdsBlocks(const uint8_t* level, int32_t width, int32_t height, DdsFormat format) {
    const size_t blockBytes = format == DdsFormat::dxt1 ? 8 : 16;
    const int32_t across = (width + 3) / 4;
    const int32_t down = (height + 3) / 4;
    const int32_t rows = std::min(height, 4);
    const size_t rowBytes = across * blockBytes;
    std::vector<uint8_t> out(rowBytes * down);
    for (int32_t blockRow = 0; blockRow < down; ++blockRow) {
        std::memcpy(out.data() + blockRow * rowBytes, level + (down - 1 - blockRow) * rowBytes, rowBytes);
    }
    for (size_t at = 0; at < out.size(); at += blockBytes) {
        uint8_t* block = out.data() + at;
        if (format == DdsFormat::dxt3) {
            for (int32_t i = 0; i < rows / 2; ++i) {
                std::swap(block[2 * i], block[2 * (rows - 1 - i)]);
                std::swap(block[2 * i + 1], block[2 * (rows - 1 - i) + 1]);
            }
        } else if (format == DdsFormat::dxt5) {
            flipAlphaIndices(block + 2, rows);
        }
        flipColourBlock(block + blockBytes - 8, rows);
    }
    return out;
}

bool ddsAlphaPixels(const uint8_t* header) { return (word(header, 80) & 0x1) != 0; }

} // namespace valley
