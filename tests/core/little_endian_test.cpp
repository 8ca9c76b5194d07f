#include "core/little_endian.h"

#include <gtest/gtest.h>

using namespace valley;

// Each size writes its low bytes least significant first and reads back the same value; a read
// sees only its own bytes.
TEST(LittleEndian, WritesAndReadsEachSizeLowByteFirst) {
    const struct {
        uint64_t value;
        int size;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {0x7F, 1, {0x7F}},
        {0xBEEF, 2, {0xEF, 0xBE}},
        {0x12345678, 4, {0x78, 0x56, 0x34, 0x12}},
        {0xFFFFFFFFFFFFFFFFu, 8, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {0x0102030405060708u, 8, {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}},
        {0xAABBCCDD, 2, {0xDD, 0xCC}}, // only the low bytes are written
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> bytes;
        appendLittleEndian(bytes, c.value, c.size);
        EXPECT_EQ(bytes, c.bytes) << c.size;
        bytes.push_back(0x99); // a following byte is not read
        const uint64_t low = c.size == 8 ? c.value : c.value & ((uint64_t{1} << (8 * c.size)) - 1);
        EXPECT_EQ(readLittleEndian(bytes.data(), c.size), low) << c.size;
    }
}

TEST(LittleEndian, ThirtyTwoBitWordsReadUnsignedAndAsTwosComplement) {
    const uint8_t minusTwo[] = {0xFE, 0xFF, 0xFF, 0xFF};
    const uint8_t lowest[] = {0x00, 0x00, 0x00, 0x80};
    const uint8_t largest[] = {0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_EQ(readUint32LittleEndian(minusTwo), 0xFFFFFFFEu);
    EXPECT_EQ(readInt32LittleEndian(minusTwo), -2);
    EXPECT_EQ(readInt32LittleEndian(lowest), INT32_MIN);
    EXPECT_EQ(readInt32LittleEndian(largest), INT32_MAX);
}
