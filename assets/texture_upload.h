// The platform's half of texture loading (assets/texture.cpp decodes and checks): on the
// desktop the driver compresses BMP textures and SOIL reads DDS files; in the browser (WebGL 1)
// the engine uploads both itself. Sizes in pixels.
#pragma once

#include "assets/dds_check.h"
#include "assets/texture.h"

#include <cstdint>

namespace valley {

// Uploads a decoded BMP into the bound texture with generated mipmaps. `softwareRenderer`:
// Mesa's software renderers keep the texels plain (texture.h).
void uploadBmpLevels(const BmpImage& image, bool softwareRenderer);

// A new texture from a DDS file checkDds took (`bytes` holds at least layout.size), flipped so
// its first row is at the bottom, with mipmaps; 0 when it could not be made.
uint32_t uploadDds(const uint8_t* bytes, const DdsLayout& layout);

} // namespace valley
