// 8-bit RGB images and their BMP / DDS encodings.
#pragma once

#include <cstdint>
#include <vector>

namespace vgen {

struct Color {
    double r = 0, g = 0, b = 0; // 0..255
};

Color mix(Color a, Color b, double t);
Color operator*(Color c, double s);

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // rows top to bottom, 3 bytes per pixel

    Image(int w, int h);
    void set(int x, int y, Color c); // clamps and rounds
    const std::uint8_t* at(int x, int y) const;
};

// 24-bit BI_RGB BMP with a BITMAPINFOHEADER, bottom-up rows padded to 4 bytes.
std::vector<std::uint8_t> encodeBmp(const Image& img);

// Uncompressed 24-bit DDS (DDPF_RGB, BGR byte order, top row first, no mipmaps).
std::vector<std::uint8_t> encodeDds(const Image& img);

} // namespace vgen
