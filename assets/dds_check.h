// The DDS files the engine hands to SOIL, checked before SOIL sees them: SOIL's own reader
// trusts the header's sizes and counts, and it tries every format it knows on any file.
//
// Taken: the "DDS " magic, a 124-byte header with the caps, height, width and pixel format
// flags and the texture cap (no cube map, no volume), sides from 1 to the largest texture side
// given (at most 16384) and at most largestTexturePixels pixels (texture_budget.h), a mipmap count no larger
// than the levels those sides have, DXT1, DXT3 or DXT5 blocks or plain 24-bit BGR or 32-bit BGRA pixels, and
// a file long enough for every level it declares. Sizes in pixels and bytes.
#pragma once

#include "core/problem.h"

#include <cstddef>
#include <cstdint>

namespace valley {

struct DdsLayout {
    int32_t width;
    int32_t height;
    int32_t levels; // stored mipmap levels, the full-size one included
    size_t size;    // bytes of the header and every level: the part of the file SOIL reads
};

const size_t ddsHeaderBytes = 128;

// A problem, leaving `layout` zero, for anything else. Needs no OpenGL context.
Problem checkDds(const uint8_t* bytes, size_t size, int32_t largestSide, DdsLayout& layout);
// The same check on the header alone (the first ddsHeaderBytes of `bytes`), whatever follows it:
// `layout.size` then says how many bytes of the file SOIL needs, for a reader to read no more.
Problem checkDdsHeader(const uint8_t* bytes, size_t size, int32_t largestSide, DdsLayout& layout);

} // namespace valley
