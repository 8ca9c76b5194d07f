// How large a texture the engine decodes: 4096 x 4096 pixels, 64 MB once decoded to RGBA.
//
// The valley's largest texture is 1024 x 512, so the budget leaves room for textures with four
// times its sides, and for every texture size OpenGL 2.0 hardware commonly takes. It bounds
// memory and start-up time: on its way to the card SOIL holds a DDS file several times over (the
// decoded pixels, a flipped copy, each mipmap level). A 4096 x 4096 DXT1 file adds about 250 MB
// to the program's peak and 2 s to its start (Mesa's software renderer), where the largest sides
// the checks take (16384 x 16384) cost 7 GB and two minutes. Files whose full-size level holds
// more pixels are refused.
#pragma once

#include <cstdint>

namespace valley {

const int64_t largestTexturePixels = int64_t{4096} * 4096;

} // namespace valley
