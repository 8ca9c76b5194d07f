#include "platform/frame_capture.h"

#include "platform/gl.h"

#include <cstdint>
#include <vector>

#include <stb/stb_image_write.h>

namespace valley {

namespace {

void appendPng(void* context, void* data, int size) {
    auto* png = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    png->insert(png->end(), bytes, bytes + size);
}

} // namespace

Problem captureFrame(const std::string& path, int width, int height) {
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<unsigned char> rgba(pixels * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<unsigned char> rgb(pixels * 3);
    for (size_t i = 0; i < pixels; ++i) {
        rgb[3 * i] = rgba[4 * i];
        rgb[3 * i + 1] = rgba[4 * i + 1];
        rgb[3 * i + 2] = rgba[4 * i + 2];
    }
    stbi_flip_vertically_on_write(1);
    std::vector<uint8_t> png;
    if (stbi_write_png_to_func(appendPng, &png, width, height, 3, rgb.data(), width * 3) == 0) {
        return "the picture could not be encoded";
    }
    return writeNewFile(path, png);
}

} // namespace valley
