#include "tools/image.h"

#include <cmath>

namespace vgen {

Color mix(Color a, Color b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Color operator*(Color c, double s) { return {c.r * s, c.g * s, c.b * s}; }

Image::Image(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3, 0) {}

namespace {

std::uint8_t toByte(double v) {
    if (!(v > 0.0))
        return 0;
    if (v >= 255.0)
        return 255;
    return static_cast<std::uint8_t>(std::floor(v + 0.5));
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

void Image::set(int x, int y, Color c) {
    std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    p[0] = toByte(c.r);
    p[1] = toByte(c.g);
    p[2] = toByte(c.b);
}

const std::uint8_t* Image::at(int x, int y) const {
    return &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
}

std::vector<std::uint8_t> encodeBmp(const Image& img) {
    const std::uint32_t stride = (static_cast<std::uint32_t>(img.width) * 3 + 3) & ~3U;
    const std::uint32_t dataSize = stride * static_cast<std::uint32_t>(img.height);
    const std::uint32_t offset = 14 + 40;
    std::vector<std::uint8_t> out;
    out.reserve(offset + dataSize);
    // BITMAPFILEHEADER
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + dataSize);
    put32(out, 0); // reserved
    put32(out, offset);
    // BITMAPINFOHEADER
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(img.width));
    put32(out, static_cast<std::uint32_t>(img.height)); // positive: bottom-up
    put16(out, 1);                                      // planes
    put16(out, 24);                                     // bits per pixel
    put32(out, 0);                                      // BI_RGB
    put32(out, dataSize);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 0); // palette colours
    put32(out, 0);
    for (int y = img.height - 1; y >= 0; --y) {
        for (int x = 0; x < img.width; ++x) {
            const std::uint8_t* p = img.at(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(img.width) * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

std::vector<std::uint8_t> encodeDds(const Image& img) {
    constexpr std::uint32_t ddsdCaps = 0x1, ddsdHeight = 0x2, ddsdWidth = 0x4, ddsdPitch = 0x8;
    constexpr std::uint32_t ddsdPixelFormat = 0x1000;
    constexpr std::uint32_t ddpfRgb = 0x40;
    constexpr std::uint32_t ddsCapsTexture = 0x1000;
    const std::uint32_t pitch = static_cast<std::uint32_t>(img.width) * 3;

    std::vector<std::uint8_t> out;
    out.reserve(128 + img.rgb.size());
    out.push_back('D');
    out.push_back('D');
    out.push_back('S');
    out.push_back(' ');
    put32(out, 124);
    put32(out, ddsdCaps | ddsdHeight | ddsdWidth | ddsdPitch | ddsdPixelFormat);
    put32(out, static_cast<std::uint32_t>(img.height));
    put32(out, static_cast<std::uint32_t>(img.width));
    put32(out, pitch);
    put32(out, 0); // depth
    put32(out, 0); // mipmap count
    for (int i = 0; i < 11; ++i)
        put32(out, 0);
    // DDS_PIXELFORMAT
    put32(out, 32);
    put32(out, ddpfRgb);
    put32(out, 0); // fourCC
    put32(out, 24);
    put32(out, 0x00FF0000); // red mask
    put32(out, 0x0000FF00); // green mask
    put32(out, 0x000000FF); // blue mask
    put32(out, 0);          // alpha mask
    put32(out, ddsCapsTexture);
    put32(out, 0); // caps2
    put32(out, 0); // caps3
    put32(out, 0); // caps4
    put32(out, 0); // reserved2
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const std::uint8_t* p = img.at(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
    return out;
}

} // namespace vgen
