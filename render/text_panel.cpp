// Text panels over the picture: stb's easy font turned into triangles in window pixels (x right,
// y down from the top left corner), drawn with a program of their own.
#include "render/text_panel.h"

#include "platform/gl.h"
#include "render/shader_program.h"

#include <stb/stb_easy_font.h>

#include <algorithm>
#include <string>
#include <vector>

namespace valley {

namespace {

const float panelMargin = 6.0f; // pixels of box around the text
const int maxVertexArrays = 16;

const char* const vertexText = "#version 120\n"
                               "attribute vec2 position;\n"
                               "uniform vec2 windowSize;\n"
                               "void main() {\n"
                               "    gl_Position = vec4(position.x / windowSize.x * 2.0 - 1.0,\n"
                               "                       1.0 - position.y / windowSize.y * 2.0, 0.0, 1.0);\n"
                               "}\n";
const char* const fragmentText = "#version 120\n"
                                 "uniform vec4 colour;\n"
                                 "void main() { gl_FragColor = colour; }\n";

GLuint compiled(GLenum type, const char* source) {
    const std::string adapted = glslEs ? glslEsText(source) : source;
    const char* text = adapted.c_str();
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    return shader;
}

void makePainter(TextPainter& painter) {
    GLuint program = glCreateProgram();
    glAttachShader(program, compiled(GL_VERTEX_SHADER, vertexText));
    glAttachShader(program, compiled(GL_FRAGMENT_SHADER, fragmentText));
    glBindAttribLocation(program, 0, "position");
    glLinkProgram(program);
    painter.program = program;
    painter.windowSizeLocation = glGetUniformLocation(program, "windowSize");
    painter.colourLocation = glGetUniformLocation(program, "colour");
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    painter.buffer = buffer;
}

// Two triangles for each quad of four corners (x, y pairs), moved to (left, top) and scaled.
void appendQuads(std::vector<float>& triangles, const float* corners, int quads, float left, float top,
                 float scale, int cornerStride) {
    const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int quad = 0; quad < quads; ++quad) {
        for (int corner : order) {
            const float* xy = corners + (quad * 4 + corner) * cornerStride;
            triangles.push_back(left + xy[0] * scale);
            triangles.push_back(top + xy[1] * scale);
        }
    }
}

void drawTriangles(const TextPainter& painter, const std::vector<float>& triangles, const float colour[4]) {
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(triangles.size() * sizeof(float)), triangles.data(),
                 GL_STREAM_DRAW);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 2 * sizeof(float), nullptr);
    glUniform4fv(painter.colourLocation, 1, colour);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(triangles.size() / 2));
}

} // namespace

void textSize(const std::string& text, float scale, int& width, int& height) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    width = static_cast<int>(stb_easy_font_width(copy.data()) * scale);
    height = static_cast<int>(stb_easy_font_height(copy.data()) * scale);
}

void drawTextPanel(TextPainter& painter, const std::string& text, float left, float top, float scale,
                   int windowWidth, int windowHeight) {
    if (painter.program == 0) {
        makePainter(painter);
    }
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    std::vector<char> quads(copy.size() * 300); // stb's estimate is about 270 bytes a character
    const int quadCount =
        stb_easy_font_print(0.0f, 0.0f, copy.data(), nullptr, quads.data(), static_cast<int>(quads.size()));
    int width = 0;
    int height = 0;
    textSize(text, scale, width, height);
    const float box[8] = {-panelMargin, -panelMargin,        width + panelMargin,
                          -panelMargin, width + panelMargin, height + panelMargin,
                          -panelMargin, height + panelMargin};
    std::vector<float> boxTriangles;
    appendQuads(boxTriangles, box, 1, left, top, 1.0f, 2);
    std::vector<float> letters;
    appendQuads(letters, reinterpret_cast<const float*>(quads.data()), quadCount, left, top, scale, 4);

    // The engine's state, put back afterwards.
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    GLint arrayBuffer = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    const GLboolean culling = glIsEnabled(GL_CULL_FACE);
    const GLboolean blending = glIsEnabled(GL_BLEND);
    GLint arrays = 0;
    glGetIntegerv(GL_MAX_VERTEX_ATTRIBS, &arrays);
    const GLuint arrayCount = static_cast<GLuint>(std::min<GLint>(arrays, maxVertexArrays));
    GLint enabled[maxVertexArrays] = {};
    for (GLuint index = 0; index < arrayCount; ++index) {
        glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled[index]);
        index == 0 ? glEnableVertexAttribArray(index) : glDisableVertexAttribArray(index);
    }
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glUseProgram(painter.program);
    glUniform2f(painter.windowSizeLocation, static_cast<float>(windowWidth),
                static_cast<float>(windowHeight));
    glBindBuffer(GL_ARRAY_BUFFER, painter.buffer);

    const float shade[4] = {0.0f, 0.0f, 0.0f, 0.6f};
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    drawTriangles(painter, boxTriangles, shade);
    drawTriangles(painter, letters, white);

    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer));
    glUseProgram(static_cast<GLuint>(program));
    for (GLuint index = 0; index < arrayCount; ++index) {
        enabled[index] != 0 ? glEnableVertexAttribArray(index) : glDisableVertexAttribArray(index);
    }
    blending ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    culling ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
    depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
}

} // namespace valley
