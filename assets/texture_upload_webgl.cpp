// Texture uploads in the browser (WebGL 1): no BGR(A) uploads, no driver compression and no SOIL,
// so the engine swizzles, flips and uploads itself. DXT blocks go up as they are through
// WEBGL_compressed_texture_s3tc, flipped block by block as SOIL flips them. Mipmaps are
// generated only for power-of-two sides, which WebGL 1 requires.
#include "assets/texture_upload.h"

#include "platform/gl.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace valley {

namespace {

enum class DdsFormat { bgr, bgra, dxt1, dxt3, dxt5 };

uint32_t word(const uint8_t* bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

// checkDds took the file, so the pixel format is one of these five.
DdsFormat formatOf(const uint8_t* header) {
    if ((word(header, 80) & 0x4) != 0) {
        const char* code = reinterpret_cast<const char*>(header + 84);
        return std::memcmp(code, "DXT1", 4) == 0   ? DdsFormat::dxt1
               : std::memcmp(code, "DXT3", 4) == 0 ? DdsFormat::dxt3
                                                   : DdsFormat::dxt5;
    }
    return word(header, 88) == 24 ? DdsFormat::bgr : DdsFormat::bgra;
}

bool powerOfTwo(int32_t side) { return (side & (side - 1)) == 0; }

// Rows of plain pixels reversed, blue and red swapped.
std::vector<uint8_t> flippedPixels(const uint8_t* level, int32_t width, int32_t height, int32_t pixelBytes) {
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

// A level of DXT blocks upside down: block rows reversed, and the pixel rows inside each block.
std::vector<uint8_t> flippedBlocks(const uint8_t* level, int32_t width, int32_t height, DdsFormat format) {
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

GLenum compressedFormat(DdsFormat format, bool alpha) {
    switch (format) {
    case DdsFormat::dxt1:
        return alpha ? GL_COMPRESSED_RGBA_S3TC_DXT1_EXT : GL_COMPRESSED_RGB_S3TC_DXT1_EXT;
    case DdsFormat::dxt3:
        return GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
    default:
        return GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
    }
}

} // namespace

void uploadBmpLevels(const BmpImage& image, bool) {
    std::vector<uint8_t> rgba(image.pixels);
    for (size_t at = 0; at < rgba.size(); at += 4) {
        std::swap(rgba[at], rgba[at + 2]);
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.rows, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    if (powerOfTwo(image.width) && powerOfTwo(image.rows)) {
        glGenerateMipmap(GL_TEXTURE_2D);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
}

uint32_t uploadDds(const uint8_t* bytes, const DdsLayout& layout) {
    const DdsFormat format = formatOf(bytes);
    const bool blocks = format != DdsFormat::bgr && format != DdsFormat::bgra;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const uint8_t* level = bytes + 128;
    for (int32_t at = 0; at < layout.levels; ++at) {
        const int32_t width = std::max(layout.width >> at, 1);
        const int32_t height = std::max(layout.height >> at, 1);
        if (blocks) {
            const std::vector<uint8_t> flipped = flippedBlocks(level, width, height, format);
            glCompressedTexImage2D(GL_TEXTURE_2D, at, compressedFormat(format, (word(bytes, 80) & 0x1) != 0), width,
                                   height, 0, static_cast<GLsizei>(flipped.size()), flipped.data());
            level += flipped.size();
        } else {
            const int32_t pixelBytes = format == DdsFormat::bgr ? 3 : 4;
            const GLenum layoutGl = pixelBytes == 3 ? GL_RGB : GL_RGBA;
            const std::vector<uint8_t> flipped = flippedPixels(level, width, height, pixelBytes);
            glTexImage2D(GL_TEXTURE_2D, at, layoutGl, width, height, 0, layoutGl, GL_UNSIGNED_BYTE, flipped.data());
            level += flipped.size();
        }
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    const bool mipmapped = layout.levels > 1 || (!blocks && powerOfTwo(layout.width) && powerOfTwo(layout.height));
    if (layout.levels == 1 && mipmapped) {
        glGenerateMipmap(GL_TEXTURE_2D);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    return name;
}

} // namespace valley
