// Texture loading: 24-bit BMP files decoded by the engine, DDS files through SOIL.
//
// A BMP is uploaded driver-compressed with generated mipmaps and anisotropy 4, rows as stored
// (a bottom-up file reaches OpenGL bottom row first). A DDS is checked first (dds_check.h),
// then decoded and flipped (by SOIL on the desktop, by the engine in the browser:
// texture_upload.h) and set to repeat, with the largest anisotropy the driver offers. Names are
// tested by substring.
#pragma once

#include "core/problem.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace valley {

struct Texture {
    int32_t width;      // from the BMP header; 0 when unset
    int32_t height;     // from the BMP header, negative for a top-down file; 0 when unset
    uint32_t textureId; // OpenGL texture name; 0 when no texture was made
};

// The pixels of a decoded 24-bit BMP: width x rows pixels of 4 bytes (blue, green, red, 255).
struct BmpImage {
    int32_t width;
    int32_t height; // as stored, negative for a top-down file
    int32_t rows;   // |height|
    std::vector<uint8_t> pixels;
};

// Decodes a whole BMP file held in memory. A problem, leaving `image` empty, for anything that
// is not a sound uncompressed 24-bit BMP with a Windows information header (other depths,
// compression and OS/2 headers are refused; see the source). Needs no OpenGL context.
Problem decodeBmp(const uint8_t* bytes, size_t size, BmpImage& image);

// The anisotropy to set when `requested` is wanted on this renderer (GL_RENDERER text).
// Mesa's software renderers (llvmpipe, softpipe) filter anisotropically at dozens of times the
// cost of plain mipmapping, which takes the valley from interactive to a frame every few
// seconds; there the request is lowered to 1. Every other renderer gets what was requested.
float anisotropyFor(float requested, const char* renderer);
// Mesa's software renderers, by the renderer string. A BMP texture the driver compressed keeps
// its compressed texels there but stored plain: decoding a block at every sample made the
// terrain's rock texture the largest single cost of a frame.
bool softwareRenderer(const char* renderer);

// Fills a caller-allocated record and hands it back. A failure prints
// "error: texture <name> loaded incorrectly: <reason>" and leaves textureId 0.
Texture& loadTexture(const char* fileName, Texture& texture);

} // namespace valley
