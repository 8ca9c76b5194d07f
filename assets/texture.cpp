// Texture loading: BMP decoded here, DDS through SOIL. Sizes in pixels; a BMP keeps its row
// order, so a bottom-up file reaches OpenGL (y up, row 0 at the bottom) bottom row first.
#include "assets/texture.h"

#include <SOIL/SOIL.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t largestBmpSide = 16384; // anything larger is taken for a damaged header
constexpr size_t bmpHeaderBytes = 26;     // up to and including the height field

int32_t readInt32(const uint8_t* bytes) {
    uint32_t value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                     static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    int32_t result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

bool readWholeFile(const char* fileName, std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        return false;
    }
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    std::fclose(file);
    return true;
}

void uploadBmp(const BmpImage& image, Texture& texture) {
    GLuint name = 0;
    glGenTextures(1, &name);
    texture.textureId = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 4.0f);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_COMPRESSED_RGBA, image.width, image.rows, 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, image.pixels.data());
    glGenerateMipmap(GL_TEXTURE_2D);
}

void loadBmp(const char* fileName, Texture& texture) {
    std::vector<uint8_t> bytes;
    BmpImage image;
    if (!readWholeFile(fileName, bytes) || !decodeBmp(bytes.data(), bytes.size(), image)) {
        return;
    }
    texture.width = image.width;
    texture.height = image.height;
    uploadBmp(image, texture);
}

void loadDds(const char* fileName, Texture& texture) {
    GLuint name = SOIL_load_OGL_texture(fileName, SOIL_LOAD_AUTO, SOIL_CREATE_NEW_ID,
                                        SOIL_FLAG_MIPMAPS | SOIL_FLAG_INVERT_Y);
    // A name with both extensions made a BMP texture first; the DDS one replaces it.
    if (texture.textureId != 0) {
        GLuint previous = texture.textureId;
        glDeleteTextures(1, &previous);
    }
    texture.textureId = name;
    if (name == 0) {
        return; // leave the default texture object alone
    }
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    GLfloat largest = 0.0f;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &largest);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, largest);
}

} // namespace

// Refused: fewer than 26 bytes, no "BM" signature, width <= 0 or > 16384, height 0 or |height|
// > 16384, and a pixel offset or pixel rows that do not fit inside the file. Bit depth and
// compression are not read: the pixels are taken as uncompressed 24-bit, each row padded with
// (width mod 4) bytes.
bool decodeBmp(const uint8_t* bytes, size_t size, BmpImage& image) {
    image = BmpImage{0, 0, 0, {}};
    if (bytes == nullptr || size < bmpHeaderBytes || bytes[0] != 'B' || bytes[1] != 'M') {
        return false;
    }
    const int32_t width = readInt32(bytes + 18);
    const int32_t height = readInt32(bytes + 22);
    const int32_t offset = readInt32(bytes + 10);
    if (width <= 0 || width > largestBmpSide || height == 0 || height < -largestBmpSide ||
        height > largestBmpSide || offset < 0) {
        return false;
    }
    const int32_t rows = height < 0 ? -height : height;
    // With both sides at most 16384 every size below fits easily in 64 bits.
    const uint64_t rowBytes = 3 * static_cast<uint64_t>(width) + static_cast<uint64_t>(width % 4);
    if (static_cast<uint64_t>(offset) + rowBytes * static_cast<uint64_t>(rows) > size) {
        return false;
    }

    image.width = width;
    image.height = height;
    image.rows = rows;
    image.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(rows) * 4);
    const uint8_t* source = bytes + offset;
    uint8_t* target = image.pixels.data();
    for (int32_t i = 0; i < rows; ++i) {
        const uint8_t* pixel = source;
        for (int32_t j = 0; j < width; ++j) {
            target[0] = pixel[0];
            target[1] = pixel[1];
            target[2] = pixel[2];
            target[3] = 255;
            target += 4;
            pixel += 3;
        }
        source += rowBytes;
    }
    return true;
}

Texture& loadTexture(const char* fileName, Texture& texture) {
    texture = Texture{0, 0, 0};
    if (fileName == nullptr) {
        return texture;
    }
    if (std::strstr(fileName, ".bmp") != nullptr) {
        loadBmp(fileName, texture);
    }
    if (std::strstr(fileName, ".dds") != nullptr) {
        loadDds(fileName, texture);
    }
    return texture;
}
