// GLSL programs with their input tables, and the four material presets.
//
// A program is described by name: vertex attributes ("Position", "Normal", "TexCoordIn"),
// value uniforms ("normalMat", a 4x4 matrix; "Blend1", a float written to the output alpha)
// and samplers ("Texture1", "Texture2") with default textures. Names are pointers to constant
// text, never copied. Matrices follow core/vec_math.h (column-major, untransposed).
#pragma once

#include "core/problem.h"
#include "core/vec_math.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace valley {

struct RenderObject;
struct ResourceCache;
struct Texture;

const int maxVariables = 10; // entries per table

struct VariableEntry {
    int32_t location;  // found at link time; -1 when the linked program lacks it
    const char* name;  // GLSL identifier, not copied
    int32_t size;      // attributes: floats (1-4); value uniforms: 1, 4 or 16; samplers: 0
    int32_t count;     // array count handed to OpenGL: 1; samplers 0
    int32_t sampler;   // 1 for a sampler uniform
    const void* value; // value uniforms: default data (float, 4 floats or Mat4)
};

struct VariableTable {
    int32_t stride;             // sum of attribute sizes in floats (attribute table only)
    int32_t projectionLocation; // "Projection" (attribute table only)
    int32_t modelviewLocation;  // "Modelview" (attribute table only)
    VariableEntry entries[maxVariables];
    int32_t count;
    int32_t valueCount;
};

struct ShaderProgram {
    const char* vertexPath;
    const char* fragmentPath;
    VariableTable attributes;        // attributes 0..count-1, then the normal-matrix value uniforms
    VariableTable uniforms;          // samplers 0..textureCount-1, then the blend value uniforms
    uint32_t program;                // OpenGL program name, set by linkProgram
    Texture* textures[maxVariables]; // default texture of each sampler
    int32_t textureCount;
    Mat4 sentProjection;             // the "Projection" last handed to the linked program
    uint8_t projectionSent;          // 0 until the first draw after linking
    const char* defines;             // compiled in after the "#version" line; none for the files as written
    ShaderProgram* slopeVariants[2]; // terrain only: its programs for steep and flat ground
                                     // (render/ground_pieces.h), same tables; none for others
};

extern const float defaultOne; // shared default of the float value uniforms ("Blend1"): 1.0

ShaderProgram* newShaderProgram(); // empty tables, never released
void addAttribute(ShaderProgram& program, const char* name, int32_t size);
void addNormalMatrix(ShaderProgram& program); // default value: identityMat4
void addBlend(ShaderProgram& program);
void addSampler(ShaderProgram& program, Texture* texture, const char* name);
// The largest shader file read: 1 MB, hundreds of times the valley's shaders. The data folder
// is trusted code, as any engine's shaders are: the bound keeps the reading finite, but no bound
// on the file keeps the driver's compiler from expanding a short text without end.
const uint64_t largestShaderFile = 1000000;
// A shader file's text with every line ended by "\n" (a final line feed adds an empty line);
// "" and the problem when it cannot be read (missing, not a regular file, over the bound).
Problem readTextFile(const char* path, std::string& text);
std::string shaderTextFrom(const uint8_t* bytes, size_t size);       // the same from bytes; no file needed
uint32_t compileShader(uint32_t type, const ShaderProgram& program); // with the program's defines
// A shader file's text as GLSL ES 1.00 (the browser's) takes it: the "#version" line, or none,
// becomes "#version 100" with a default float precision, high where the stage has it.
std::string glslEsText(const std::string& text);
uint32_t linkProgram(ShaderProgram& program);
void applyProgram(ShaderProgram& program, RenderObject& object, const Mat4& projection,
                  const Mat4& modelview);

// Each takes its default texture ("Textures/grass3.dds") from the cache, so it is loaded once.
ShaderProgram* makePhongMaterial(ResourceCache& cache);
ShaderProgram* makePhongTerrainMaterial(ResourceCache& cache); // with its two slope variants
ShaderProgram* makeWaterMaterial(ResourceCache& cache);
ShaderProgram* makeSkyBoxMaterial(ResourceCache& cache);

} // namespace valley
