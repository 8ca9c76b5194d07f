// Text over the finished picture: ASCII lines in stb's easy font on a darkened box.
//
// Positions are window pixels from the top left corner, y growing downwards; the font's letters
// are 12 units a line, drawn `scale` pixels a unit. Drawing leaves the engine's OpenGL state as
// it found it: depth test, face culling, blending, the program and the enabled vertex arrays.
#pragma once

#include <cstdint>
#include <string>

namespace valley {

// The program and vertex buffer the panels are drawn with; made at the first panel drawn in an
// OpenGL context, and kept with it.
struct TextPainter {
    uint32_t program;
    uint32_t buffer;
    int32_t windowSizeLocation;
    int32_t colourLocation;
};

// The text's size in window pixels at this scale: its widest line, and its lines.
void textSize(const std::string& text, float scale, int& width, int& height);
// Draws `text` with its top left corner at (left, top), white on a box a little larger than it.
void drawTextPanel(TextPainter& painter, const std::string& text, float left, float top, float scale,
                   int windowWidth, int windowHeight);

} // namespace valley
