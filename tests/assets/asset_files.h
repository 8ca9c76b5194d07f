// Small asset files made by the tests: BMP images, DDS images and files in a private
// temporary directory that lives as long as the test program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Blue, green, red of the pixel in stored row `row`, column `column`.
using BmpPattern = std::function<void(int row, int column, uint8_t bgr[3])>;

// A 24-bit BMP with a 54-byte header; rows are stored in the order given by `row` and padded
// with (width mod 4) bytes of 0xEE.
std::vector<uint8_t> makeBmp(int32_t width, int32_t height, const BmpPattern& pattern);
// A distinct colour for every pixel of images up to 64 x 64.
void gradientPattern(int row, int column, uint8_t bgr[3]);
// Writes a little-endian int32 into a byte buffer (for breaking headers).
void putInt32(std::vector<uint8_t>& bytes, size_t at, int32_t value);

// A 4 x 4 DXT1 DDS of one colour given as RGB 5:6:5.
std::vector<uint8_t> makeDxt1Dds(uint16_t colour565);

// A path inside the test program's temporary directory.
std::string tempPath(const std::string& name);
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
void writeFile(const std::string& path, const std::string& text);
