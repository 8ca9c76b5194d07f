// Texture loading: BMP decoded and DDS checked here, uploaded by the platform's half
// (assets/texture_upload.h). Sizes in pixels; a BMP keeps its row
// order, so a bottom-up file reaches OpenGL (y up, row 0 at the bottom) bottom row first.
#include "assets/texture.h"

#include "assets/dds_check.h"
#include "assets/file_kinds.h"
#include "assets/texture_budget.h"
#include "assets/texture_upload.h"
#include "core/little_endian.h"
#include "core/report.h"
#include "platform/file_read.h"
#include "platform/gl.h"

#include <cstring>

namespace valley {

namespace {

constexpr int32_t largestBmpSide = 16384; // anything larger is taken for a damaged header
// The pixels of the largest BMP decoded, with room to spare for headers, a palette and padding.
constexpr uint64_t largestBmpFile = 3 * largestTexturePixels + 1000000;
constexpr size_t bmpHeaderBytes = 34; // up to and including the compression field
constexpr int32_t bmpBitsPerPixel = 24;
constexpr int32_t bmpUncompressed = 0; // BI_RGB
// Alpha 255 in the fourth byte of a pixel read from memory as one 32-bit word.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr uint32_t opaqueAlpha = 0x000000FFu;
#else
constexpr uint32_t opaqueAlpha = 0xFF000000u;
#endif

// The Windows information headers (40, 52, 56, 108 and 124 bytes), which share the layout of
// the fields read here. OS/2 headers (12 bytes, or 16 to 64) place or mean them differently.
bool windowsInfoHeader(int32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

const char* rendererHere() { return reinterpret_cast<const char*>(glGetString(GL_RENDERER)); }

float anisotropyHere(float requested) { return anisotropyFor(requested, rendererHere()); }

void uploadBmp(const BmpImage& image, Texture& texture) {
    GLuint name = 0;
    glGenTextures(1, &name);
    texture.textureId = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropyHere(4.0f));
    uploadBmpLevels(image, softwareRenderer(rendererHere()));
}

Problem loadBmp(const char* fileName, Texture& texture) {
    std::vector<uint8_t> bytes;
    if (Problem problem = readWholeFile(fileName, largestBmpFile, bytes)) {
        return problem;
    }
    BmpImage image;
    if (Problem problem = decodeBmp(bytes.data(), bytes.size(), image)) {
        return problem;
    }
    texture.width = image.width;
    texture.height = image.height;
    uploadBmp(image, texture);
    return std::nullopt;
}

// The upload gets only a file the DDS check took, and only the bytes it checked. The header is
// read first, and then only the levels it declares, whatever follows them.
Problem ddsTexture(const char* fileName, GLuint& name) {
    name = 0;
    GLint largestSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largestSide);
    ReadableFile file;
    std::vector<uint8_t> bytes;
    DdsLayout layout;
    Problem problem = openToRead(fileName, false, file);
    if (!problem) {
        problem = readMore(file, ddsHeaderBytes, bytes);
    }
    if (!problem) {
        problem = checkDdsHeader(bytes.data(), bytes.size(), largestSide, layout);
    }
    if (!problem) {
        problem = readMore(file, layout.size - bytes.size(), bytes);
    }
    closeReadable(file);
    if (!problem && bytes.size() < layout.size) {
        problem = "cut short: its header declares " + std::to_string(layout.size) + " bytes";
    }
    if (problem) {
        return problem;
    }
    name = uploadDds(bytes.data(), layout);
    return name == 0 ? Problem("it could not be decoded") : std::nullopt;
}

Problem loadDds(const char* fileName, Texture& texture) {
    GLuint name = 0;
    Problem problem = ddsTexture(fileName, name);
    // A name with both extensions made a BMP texture first; the DDS one replaces it.
    if (texture.textureId != 0) {
        GLuint previous = texture.textureId;
        glDeleteTextures(1, &previous);
    }
    if (name == 0) {
        texture = Texture{0, 0, 0}; // no texture; the default texture object is left alone
        return problem;
    }
    texture.textureId = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    GLfloat largest = 0.0f;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &largest);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropyHere(largest));
    return std::nullopt;
}

} // namespace

bool softwareRenderer(const char* renderer) {
    return renderer != nullptr &&
           (std::strstr(renderer, "llvmpipe") != nullptr || std::strstr(renderer, "softpipe") != nullptr);
}

float anisotropyFor(float requested, const char* renderer) {
    return softwareRenderer(renderer) ? 1.0f : requested;
}

// Refused: fewer than 34 bytes, no "BM" signature, an information header other than a Windows
// one (OS/2 headers), bits per pixel other than 24, compression other than none (BI_RGB), width
// <= 0 or > 16384, height 0 or |height| > 16384, more than largestTexturePixels pixels
// (texture_budget.h), and a pixel offset or pixel rows that do not
// fit inside the file. Each row is padded with (width mod 4) bytes.
Problem decodeBmp(const uint8_t* bytes, size_t size, BmpImage& image) {
    const Problem refused = "not an uncompressed 24-bit BMP of at most 4096 x 4096 pixels";
    image = BmpImage{0, 0, 0, {}};
    if (bytes == nullptr || size < bmpHeaderBytes || bytes[0] != 'B' || bytes[1] != 'M' ||
        !windowsInfoHeader(readInt32LittleEndian(bytes + 14)) ||
        static_cast<int32_t>(readLittleEndian(bytes + 28, 2)) != bmpBitsPerPixel ||
        readInt32LittleEndian(bytes + 30) != bmpUncompressed) {
        return refused;
    }
    const int32_t width = readInt32LittleEndian(bytes + 18);
    const int32_t height = readInt32LittleEndian(bytes + 22);
    const int32_t offset = readInt32LittleEndian(bytes + 10);
    if (width <= 0 || width > largestBmpSide || height == 0 || height < -largestBmpSide ||
        height > largestBmpSide || offset < 0 ||
        int64_t{width} * (height < 0 ? -int64_t{height} : height) > largestTexturePixels) {
        return refused;
    }
    const int32_t rows = height < 0 ? -height : height;
    // With both sides at most 16384 every size below fits easily in 64 bits.
    const uint64_t rowBytes = 3 * static_cast<uint64_t>(width) + static_cast<uint64_t>(width % 4);
    if (static_cast<uint64_t>(offset) + rowBytes * static_cast<uint64_t>(rows) > size) {
        return "cut short: its pixel rows end past the end of the file";
    }

    image.width = width;
    image.height = height;
    image.rows = rows;
    image.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(rows) * 4);
    // Each pixel is copied as one 4-byte word: its 3 bytes plus the byte after them (the next
    // pixel or padding, always inside the file), whose place takes alpha 255. Only the image's
    // very last pixel may end the file, so it is copied byte by byte.
    const uint8_t* source = bytes + offset;
    uint8_t* target = image.pixels.data();
    for (int32_t i = 0; i < rows; ++i) {
        const uint8_t* pixel = source;
        const int32_t wordPixels = i == rows - 1 ? width - 1 : width;
        for (int32_t j = 0; j < wordPixels; ++j) {
            uint32_t word;
            std::memcpy(&word, pixel, 4);
            word |= opaqueAlpha;
            std::memcpy(target, &word, 4);
            target += 4;
            pixel += 3;
        }
        source += rowBytes;
    }
    const uint8_t* last = source - rowBytes + 3 * static_cast<size_t>(width - 1);
    target[0] = last[0];
    target[1] = last[1];
    target[2] = last[2];
    target[3] = 255;
    return std::nullopt;
}

Texture& loadTexture(const char* fileName, Texture& texture) {
    texture = Texture{0, 0, 0};
    if (fileName == nullptr) {
        return texture;
    }
    const FileKinds kinds = fileKindsOf(fileName);
    if (kinds.bmp) {
        report(loadBmp(fileName, texture), Failure::texture, fileName);
    }
    if (kinds.dds) {
        report(loadDds(fileName, texture), Failure::texture, fileName);
    }
    return texture;
}

} // namespace valley
