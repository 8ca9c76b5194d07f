// Texture uploads in the browser (WebGL 1): no BGR(A) uploads, no driver compression and no SOIL,
// so the engine swizzles, flips and uploads itself. DXT blocks go up as they are through
// WEBGL_compressed_texture_s3tc, flipped block by block as SOIL flips them. Mipmaps are
// generated only for power-of-two sides, which WebGL 1 requires.
#include "assets/texture_upload.h"

#include "assets/dds_flip.h"
#include "platform/gl.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace valley {

namespace {

bool powerOfTwo(int32_t side) { return (side & (side - 1)) == 0; }

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
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.rows, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.data());
    if (powerOfTwo(image.width) && powerOfTwo(image.rows)) {
        glGenerateMipmap(GL_TEXTURE_2D);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
}

uint32_t uploadDds(const uint8_t* bytes, const DdsLayout& layout) {
    const DdsFormat format = ddsFormatOf(bytes);
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
            const std::vector<uint8_t> flipped = flippedDdsBlocks(level, width, height, format);
            glCompressedTexImage2D(GL_TEXTURE_2D, at, compressedFormat(format, ddsAlphaPixels(bytes)), width,
                                   height, 0, static_cast<GLsizei>(flipped.size()), flipped.data());
            level += flipped.size();
        } else {
            const int32_t pixelBytes = format == DdsFormat::bgr ? 3 : 4;
            const GLenum layoutGl = pixelBytes == 3 ? GL_RGB : GL_RGBA;
            const std::vector<uint8_t> flipped = flippedDdsPixels(level, width, height, pixelBytes);
            glTexImage2D(GL_TEXTURE_2D, at, layoutGl, width, height, 0, layoutGl, GL_UNSIGNED_BYTE,
                         flipped.data());
            level += flipped.size();
        }
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    const bool mipmapped =
        layout.levels > 1 || (!blocks && powerOfTwo(layout.width) && powerOfTwo(layout.height));
    if (layout.levels == 1 && mipmapped) {
        glGenerateMipmap(GL_TEXTURE_2D);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    return name;
}

} // namespace valley
