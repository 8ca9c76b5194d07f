// Texture uploads on the desktop: the driver compresses BMP textures, SOIL reads DDS files.
#include "assets/texture_upload.h"

#include "platform/gl.h"

#include <SOIL/SOIL.h>

#include <algorithm>
#include <vector>

namespace valley {

namespace {

// Replaces the bound texture's levels, compressed by the driver, with the texels compression
// left them, stored plain: the same texels, but sampling no longer decodes a block each time.
void storeDecoded(int32_t width, int32_t height) {
    std::vector<std::vector<uint8_t>> levels;
    for (int32_t level = 0; width >> level > 0 || height >> level > 0; ++level) {
        const GLsizei levelWidth = std::max(width >> level, 1);
        const GLsizei levelHeight = std::max(height >> level, 1);
        levels.emplace_back(static_cast<size_t>(levelWidth) * static_cast<size_t>(levelHeight) * 4);
        glGetTexImage(GL_TEXTURE_2D, level, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, levels.back().data());
    }
    for (size_t level = 0; level < levels.size(); ++level) {
        const GLint at = static_cast<GLint>(level);
        glTexImage2D(GL_TEXTURE_2D, at, GL_RGBA8, std::max(width >> at, 1), std::max(height >> at, 1), 0,
                     GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, levels[level].data());
    }
}

} // namespace

void uploadBmpLevels(const BmpImage& image, bool softwareRenderer) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_COMPRESSED_RGBA, image.width, image.rows, 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, image.pixels.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    GLint compressed = GL_FALSE;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED, &compressed);
    if (compressed == GL_TRUE && softwareRenderer) {
        storeDecoded(image.width, image.rows);
    }
}

// SOIL's reader trusts the header, and starting with "DDS " and a 124-byte header no other
// reader of SOIL's takes the file.
uint32_t uploadDds(const uint8_t* bytes, const DdsLayout& layout) {
    return SOIL_load_OGL_texture_from_memory(bytes, static_cast<int>(layout.size), SOIL_LOAD_AUTO,
                                             SOIL_CREATE_NEW_ID, SOIL_FLAG_MIPMAPS | SOIL_FLAG_INVERT_Y);
}

} // namespace valley
