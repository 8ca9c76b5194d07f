// DDS levels as the browser uploads them (assets/texture_upload_webgl.cpp), turned upside down
// as SOIL turns them on the desktop, so the first row is at the bottom: plain BGR(A) rows
// reversed and swapped to RGB(A); DXT1/3/5 block rows reversed and the pixel rows inside each
// block with them (colour indices, DXT3's explicit alpha, DXT5's alpha indices). Levels shorter
// than a block flip only the rows they have. Sizes in pixels. Needs no OpenGL context.
#pragma once

#include <cstdint>
#include <vector>

namespace valley {

enum class DdsFormat { bgr, bgra, dxt1, dxt3, dxt5 };

// The pixel format of a file checkDds took (assets/dds_check.h): one of the five.
DdsFormat ddsFormatOf(const uint8_t* header);
bool ddsAlphaPixels(const uint8_t* header); // the pixel format's alpha flag

std::vector<uint8_t> flippedDdsPixels(const uint8_t* level, int32_t width, int32_t height,
                                      int32_t pixelBytes);
std::vector<uint8_t> flippedDdsBlocks(const uint8_t* level, int32_t width, int32_t height, DdsFormat format);

} // namespace valley
