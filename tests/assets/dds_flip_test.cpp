#include "assets/dds_flip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>
#include <vector>

using namespace valley;

namespace {

using Bytes = std::vector<uint8_t>;

// Plain rows come out bottom row first, blue and red swapped, alpha kept.
TEST(DdsFlip, PlainRowsReverseAndTurnToRgb) {
    const Bytes bgr = {1, 2, 3, 4, 5, 6, /* row 1 */ 7, 8, 9, 10, 11, 12, /* row 2 */ 13, 14, 15, 16, 17, 18};
    EXPECT_EQ(flippedDdsPixels(bgr.data(), 2, 3, 3),
              (Bytes{15, 14, 13, 18, 17, 16, 9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}));
    const Bytes bgra = {1, 2, 3, 4, /* row 1 */ 5, 6, 7, 8};
    EXPECT_EQ(flippedDdsPixels(bgra.data(), 1, 2, 4), (Bytes{7, 6, 5, 8, 3, 2, 1, 4}));
}

// A DXT5 block whose four alpha index rows (12 bits each) are a, b, c, d.
Bytes dxt5Block(uint16_t a, uint16_t b, uint16_t c, uint16_t d, uint8_t tag) {
    const uint64_t bits = a | uint64_t{b} << 12 | uint64_t{c} << 24 | uint64_t{d} << 36;
    Bytes block = {tag, 0};
    for (int i = 0; i < 6; ++i) {
        block.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    }
    const Bytes colour = {tag, 1, 2, 3, 0x10, 0x20, 0x30, 0x40};
    block.insert(block.end(), colour.begin(), colour.end());
    return block;
}

// Block rows swap and each block's pixel rows reverse, in the colour indices and in both kinds
// of alpha; a level of fewer than 4 rows flips only those; flipping twice gives the level back.
TEST(DdsFlip, BlocksAndTheRowsInsideThemTurnOver) {
    // DXT1, 4 x 8: two blocks, one above the other.
    const Bytes dxt1 = {1, 1, 1, 1, 0xA0, 0xA1, 0xA2, 0xA3, /* below */ 2, 2, 2, 2, 0xB0, 0xB1, 0xB2, 0xB3};
    EXPECT_EQ(flippedDdsBlocks(dxt1.data(), 4, 8, DdsFormat::dxt1),
              (Bytes{2, 2, 2, 2, 0xB3, 0xB2, 0xB1, 0xB0, 1, 1, 1, 1, 0xA3, 0xA2, 0xA1, 0xA0}));
    EXPECT_EQ(flippedDdsBlocks(dxt1.data(), 4, 2, DdsFormat::dxt1),
              (Bytes{1, 1, 1, 1, 0xA1, 0xA0, 0xA2, 0xA3}));

    // DXT3: two bytes of alpha a row.
    const Bytes dxt3 = {0, 1, 2, 3, 4, 5, 6, 7, 9, 9, 9, 9, 0x10, 0x20, 0x30, 0x40};
    EXPECT_EQ(flippedDdsBlocks(dxt3.data(), 4, 4, DdsFormat::dxt3),
              (Bytes{6, 7, 4, 5, 2, 3, 0, 1, 9, 9, 9, 9, 0x40, 0x30, 0x20, 0x10}));

    // DXT5, 8 x 4: two blocks side by side.
    Bytes dxt5 = dxt5Block(0x123, 0x456, 0x789, 0xABC, 7);
    const Bytes right = dxt5Block(0xFFF, 0x000, 0x001, 0x800, 8);
    dxt5.insert(dxt5.end(), right.begin(), right.end());
    Bytes expected = dxt5Block(0xABC, 0x789, 0x456, 0x123, 7);
    const Bytes rightFlipped = dxt5Block(0x800, 0x001, 0x000, 0xFFF, 8);
    expected.insert(expected.end(), rightFlipped.begin(), rightFlipped.end());
    for (size_t at = 0; at < expected.size(); at += 16) { // the colour rows turn over too
        std::reverse(expected.begin() + at + 12, expected.begin() + at + 16);
    }
    EXPECT_EQ(flippedDdsBlocks(dxt5.data(), 8, 4, DdsFormat::dxt5), expected);
    Bytes twoRows = dxt5Block(0x456, 0x123, 0, 0, 7);
    std::swap(twoRows[12], twoRows[13]);
    EXPECT_EQ(flippedDdsBlocks(dxt5Block(0x123, 0x456, 0, 0, 7).data(), 4, 2, DdsFormat::dxt5), twoRows);

    for (const auto& [level, width, height, format] :
         {std::make_tuple(dxt1, 4, 8, DdsFormat::dxt1), std::make_tuple(dxt3, 4, 4, DdsFormat::dxt3),
          std::make_tuple(dxt5, 8, 4, DdsFormat::dxt5)}) {
        const Bytes once = flippedDdsBlocks(level.data(), width, height, format);
        EXPECT_EQ(flippedDdsBlocks(once.data(), width, height, format), level);
    }
}

// The pixel format as checkDds took it, from the header's flags, code and depth.
TEST(DdsFlip, FormatsAreReadFromTheHeader) {
    struct Case {
        uint32_t flags;
        const char* code;
        uint32_t bits;
        DdsFormat format;
        bool alpha;
    };
    const Case cases[] = {
        {0x40, "\0\0\0\0", 24, DdsFormat::bgr, false}, {0x41, "\0\0\0\0", 32, DdsFormat::bgra, true},
        {0x4, "DXT1", 0, DdsFormat::dxt1, false},      {0x5, "DXT1", 0, DdsFormat::dxt1, true},
        {0x4, "DXT3", 0, DdsFormat::dxt3, false},      {0x4, "DXT5", 0, DdsFormat::dxt5, false},
    };
    for (const Case& c : cases) {
        uint8_t header[128] = {};
        std::memcpy(header + 80, &c.flags, 4);
        std::memcpy(header + 84, c.code, 4);
        std::memcpy(header + 88, &c.bits, 4);
        EXPECT_EQ(ddsFormatOf(header), c.format) << c.code << " " << c.bits;
        EXPECT_EQ(ddsAlphaPixels(header), c.alpha) << c.code << " " << c.bits;
    }
}

} // namespace
