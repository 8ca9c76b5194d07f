#include "assets/texture.h"
#include "tests/assets/asset_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

using namespace valley;

namespace {

// Decodes from a heap block of exactly the file's size, so a read past the end is a real
// out-of-bounds read for the sanitizers.
bool decodeExact(const std::vector<uint8_t>& bytes, size_t size, BmpImage& image) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[size == 0 ? 1 : size]);
    if (size != 0) { // an empty vector's data() may be null, which memcpy must not get
        std::memcpy(copy.get(), bytes.data(), size);
    }
    return !decodeBmp(copy.get(), size, image);
}

void expectPixelsFollowPattern(const BmpImage& image) {
    for (int row = 0; row < image.rows; ++row) {
        for (int column = 0; column < image.width; ++column) {
            uint8_t bgr[3];
            gradientPattern(row, column, bgr);
            const uint8_t* pixel = &image.pixels[4 * (row * image.width + column)];
            EXPECT_EQ(pixel[0], bgr[0]) << row << "," << column;
            EXPECT_EQ(pixel[1], bgr[1]) << row << "," << column;
            EXPECT_EQ(pixel[2], bgr[2]) << row << "," << column;
            EXPECT_EQ(pixel[3], 255) << row << "," << column;
        }
    }
}

void expectRefused(const std::vector<uint8_t>& bytes, const char* what) {
    BmpImage image{7, 7, 7, std::vector<uint8_t>(16, 1)};
    EXPECT_FALSE(decodeExact(bytes, bytes.size(), image)) << what;
    EXPECT_EQ(image.width, 0) << what;
    EXPECT_EQ(image.height, 0) << what;
    EXPECT_EQ(image.rows, 0) << what;
    EXPECT_TRUE(image.pixels.empty()) << what;
}

// A 2 x 2 file of another kind: an information header of `headerSize` bytes (12: OS/2 core,
// with 16-bit sides; others get room for the 40 bytes of the fields written), a palette below
// 16 bits per pixel, and rows padded to 4 bytes as its depth needs, pixels of 0x55.
std::vector<uint8_t> makeForeignBmp(int32_t headerSize, int bitsPerPixel, int32_t compression) {
    const int32_t side = 2;
    const size_t palette = bitsPerPixel < 16 ? 4u << bitsPerPixel : 0;
    const size_t header = headerSize == 12 ? 12 : static_cast<size_t>(std::max(headerSize, 40));
    const size_t offset = 14 + header + palette;
    const size_t rowBytes = (static_cast<size_t>(bitsPerPixel) * side + 31) / 32 * 4;
    std::vector<uint8_t> bytes(offset + rowBytes * side, 0x55);
    std::fill(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(offset), 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    putInt32(bytes, 2, static_cast<int32_t>(bytes.size()));
    putInt32(bytes, 10, static_cast<int32_t>(offset));
    putInt32(bytes, 14, headerSize);
    if (headerSize == 12) {
        bytes[18] = bytes[20] = side;
        bytes[22] = 1;
        bytes[24] = static_cast<uint8_t>(bitsPerPixel);
        return bytes;
    }
    putInt32(bytes, 18, side);
    putInt32(bytes, 22, side);
    bytes[26] = 1;
    bytes[28] = static_cast<uint8_t>(bitsPerPixel);
    putInt32(bytes, 30, compression);
    return bytes;
}

// A 24-bit file of the test pattern whose information header is `headerSize` bytes long.
std::vector<uint8_t> makeBmpWithHeader(int32_t headerSize) {
    std::vector<uint8_t> bytes = makeBmp(3, 2, gradientPattern);
    bytes.insert(bytes.begin() + 54, static_cast<size_t>(headerSize - 40), 0);
    putInt32(bytes, 10, 14 + headerSize);
    putInt32(bytes, 14, headerSize);
    return bytes;
}

} // namespace

TEST(BmpDecode, OnlyUncompressed24BitFilesWithAWindowsHeaderAreDecoded) {
    enum { none = 0, rle8 = 1, rle4 = 2, bitfields = 3, jpeg = 4 };
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        bool decoded;
    } cases[] = {
        {"24-bit, 40-byte header", makeBmpWithHeader(40), true},
        {"24-bit, 52-byte header", makeBmpWithHeader(52), true},
        {"24-bit, 56-byte header", makeBmpWithHeader(56), true},
        {"24-bit, 108-byte header", makeBmpWithHeader(108), true},
        {"24-bit, 124-byte header", makeBmpWithHeader(124), true},
        {"32-bit", makeForeignBmp(40, 32, none), false},
        {"32-bit bit fields, 124-byte header", makeForeignBmp(124, 32, bitfields), false},
        {"16-bit", makeForeignBmp(40, 16, none), false},
        {"8-bit palette", makeForeignBmp(40, 8, none), false},
        {"4-bit palette", makeForeignBmp(40, 4, none), false},
        {"1-bit palette", makeForeignBmp(40, 1, none), false},
        {"0 bits per pixel", makeForeignBmp(40, 0, none), false},
        {"24-bit run-length 8", makeForeignBmp(40, 24, rle8), false},
        {"24-bit run-length 4", makeForeignBmp(40, 24, rle4), false},
        {"24-bit bit fields", makeForeignBmp(40, 24, bitfields), false},
        {"24-bit JPEG", makeForeignBmp(40, 24, jpeg), false},
        {"OS/2 core header, 24-bit", makeForeignBmp(12, 24, none), false},
        {"OS/2 2.x header, 24-bit", makeForeignBmp(64, 24, none), false},
        {"short OS/2 2.x header, 24-bit", makeForeignBmp(16, 24, none), false},
        {"no header size", makeForeignBmp(0, 24, none), false},
    };
    for (const auto& c : cases) {
        if (!c.decoded) {
            expectRefused(c.bytes, c.what);
            continue;
        }
        BmpImage image;
        ASSERT_TRUE(decodeExact(c.bytes, c.bytes.size(), image)) << c.what;
        EXPECT_EQ(image.width, 3) << c.what;
        expectPixelsFollowPattern(image);
    }
}

TEST(BmpDecode, RowPaddingIsSkippedForEveryWidth) {
    for (int32_t width : {1, 2, 3, 4, 5}) {
        BmpImage image;
        std::vector<uint8_t> bytes = makeBmp(width, 3, gradientPattern);
        ASSERT_TRUE(decodeExact(bytes, bytes.size(), image)) << "width " << width;
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, 3);
        EXPECT_EQ(image.rows, 3);
        ASSERT_EQ(image.pixels.size(), static_cast<size_t>(width * 3 * 4));
        expectPixelsFollowPattern(image);
    }
}

TEST(BmpDecode, BytesKeepTheFileOrderAndGainOpaqueAlpha) {
    std::vector<uint8_t> bytes = makeBmp(1, 1, [](int, int, uint8_t bgr[3]) {
        bgr[0] = 10;
        bgr[1] = 20;
        bgr[2] = 30;
    });
    BmpImage image;
    ASSERT_TRUE(decodeExact(bytes, bytes.size(), image));
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{10, 20, 30, 255}));
}

TEST(BmpDecode, RowsStayInStoredOrderForBothDirections) {
    BmpImage image;
    std::vector<uint8_t> topDown = makeBmp(2, -64, gradientPattern);
    ASSERT_TRUE(decodeExact(topDown, topDown.size(), image));
    EXPECT_EQ(image.height, -64);
    EXPECT_EQ(image.rows, 64);
    expectPixelsFollowPattern(image);

    std::vector<uint8_t> bottomUp = makeBmp(2, 64, gradientPattern);
    ASSERT_TRUE(decodeExact(bottomUp, bottomUp.size(), image));
    EXPECT_EQ(image.height, 64);
    EXPECT_EQ(image.rows, 64);
    expectPixelsFollowPattern(image);
}

TEST(BmpDecode, PixelOffsetFromTheHeaderIsHonoured) {
    std::vector<uint8_t> bytes = makeBmp(3, 2, gradientPattern);
    bytes.insert(bytes.begin() + 54, 10, 0x77); // ten bytes of gap before the pixels
    putInt32(bytes, 10, 64);
    BmpImage image;
    ASSERT_TRUE(decodeExact(bytes, bytes.size(), image));
    expectPixelsFollowPattern(image);
}

TEST(BmpDecode, AFileEndingExactlyAfterTheLastPaddingIsAccepted) {
    std::vector<uint8_t> bytes = makeBmp(3, 2, gradientPattern); // 3 bytes padding per row
    BmpImage image;
    EXPECT_TRUE(decodeExact(bytes, bytes.size(), image));
    EXPECT_FALSE(decodeExact(bytes, bytes.size() - 1, image));
}

TEST(BmpDecode, BrokenFilesGiveNoImage) {
    const std::vector<uint8_t> good = makeBmp(4, 4, gradientPattern);
    auto broken = [&](size_t at, int32_t value) {
        std::vector<uint8_t> bytes = good;
        putInt32(bytes, at, value);
        return bytes;
    };
    expectRefused(std::vector<uint8_t>(good.begin(), good.begin() + 33), "header cut at 33 bytes");
    expectRefused({}, "empty file");
    std::vector<uint8_t> noSignature = good;
    noSignature[1] = 'A';
    expectRefused(noSignature, "signature BA");
    expectRefused(std::vector<uint8_t>(good.begin(), good.end() - 1), "last pixel byte missing");
    expectRefused(broken(10, static_cast<int32_t>(good.size()) + 1), "pixel offset past the end");
    expectRefused(broken(10, 55), "pixel rows running past the end");
    expectRefused(broken(10, -1), "negative pixel offset");
    expectRefused(broken(18, 0), "width 0");
    expectRefused(broken(22, 0), "height 0");
    expectRefused(broken(18, -4), "negative width");
    expectRefused(broken(18, 16385), "width above 16384");
    expectRefused(broken(22, 16385), "height above 16384");
    expectRefused(broken(22, -16385), "top-down height above 16384");
    expectRefused(broken(22, INT32_MIN), "height without a magnitude");
    expectRefused(broken(18, INT32_MAX), "width overflowing the row size");
    expectRefused(broken(18, 16384), "largest width in a tiny file");
}

TEST(BmpDecode, EveryTruncationOfAGoodFileIsRefusedWithoutOverreading) {
    const std::vector<uint8_t> good = makeBmp(5, 3, gradientPattern);
    BmpImage image;
    for (size_t size = 0; size < good.size(); ++size) {
        EXPECT_FALSE(decodeExact(good, size, image)) << size << " bytes";
    }
    EXPECT_TRUE(decodeExact(good, good.size(), image));
}

TEST(Anisotropy, SoftwareRenderersFilterWithoutAnisotropyOthersGetTheRequest) {
    EXPECT_EQ(anisotropyFor(4.0f, "llvmpipe (LLVM 15.0.6, 256 bits)"), 1.0f);
    EXPECT_EQ(anisotropyFor(16.0f, "softpipe"), 1.0f);
    EXPECT_EQ(anisotropyFor(16.0f, "NVIDIA GeForce RTX 3090/PCIe/SSE2"), 16.0f);
    EXPECT_EQ(anisotropyFor(4.0f, "AMD Radeon RX 6800 (radeonsi, navi21, LLVM 15.0.7)"), 4.0f);
    EXPECT_EQ(anisotropyFor(4.0f, nullptr), 4.0f);
}
