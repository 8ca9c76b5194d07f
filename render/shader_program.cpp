// GLSL programs: building the input tables, compiling and linking, and feeding one object's
// inputs before its draw. Also the four material presets the scene uses.
//
// Units: attribute sizes and the stride count floats (4 bytes each). y points up in every shader.
// Matrices follow core/vec_math.h (column-major, handed to OpenGL untransposed).
#include "render/shader_program.h"

#include "assets/resource_cache.h"
#include "assets/texture.h"
#include "core/report.h"
#include "platform/file_read.h"
#include "platform/gl.h"
#include "render/ground_pieces.h"
#include "render/render_object.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace valley {

const float defaultOne = 1.0f;

namespace {

// Relative to the working directory: the data folder (app/data_folder.h).
const char* const defaultTexturePath = "Textures/grass3.dds";

// The slot under the list's cursor, moving the cursor on; none once the slots have run out, so
// an input without a slot of its own keeps the program's default.
const Slot* nextSlot(ObjectList& slots) {
    if (slots.cursor == nullptr) {
        return nullptr;
    }
    const Slot* slot = static_cast<const Slot*>(slots.cursor->payload);
    slots.cursor = slots.cursor->next;
    return slot;
}

void findUniformLocations(uint32_t program, VariableTable& table, int32_t first, int32_t count) {
    for (int32_t i = first; i < first + count; ++i) {
        table.entries[i].location = glGetUniformLocation(program, table.entries[i].name);
    }
}

// Sends `count` value uniforms starting at entry `first`, each from its set slot or its default.
void sendValueUniforms(const VariableTable& table, int32_t first, int32_t count, ObjectList& slots) {
    slots.cursor = slots.head;
    for (int32_t i = first; i < first + count; ++i) {
        const VariableEntry& entry = table.entries[i];
        const Slot* slot = nextSlot(slots);
        const void* value =
            slot != nullptr && slot->set != 0 ? reinterpret_cast<const void*>(slot->value) : entry.value;
        const GLfloat* data = static_cast<const GLfloat*>(value);
        switch (entry.size) {
        case 1:
            glUniform1fv(entry.location, entry.count, data);
            break;
        case 4:
            glUniform4fv(entry.location, entry.count, data);
            break;
        case 16:
            glUniformMatrix4fv(entry.location, entry.count, GL_FALSE, data);
            break;
        default:
            break;
        }
    }
}

// Prints the info log of a shader or program, at most logSize - 1 characters, when the status
// query reports failure. A compiler log is followed by a line feed; a linker log gets one only
// when it lacks its own, so the next line never runs onto it.
template <GLsizei logSize>
void printLogOnFailure(GLuint object, GLenum status, PFNGLGETSHADERIVPROC getStatus,
                       PFNGLGETSHADERINFOLOGPROC getLog, bool compilerLog) {
    GLint succeeded = GL_FALSE;
    getStatus(object, status, &succeeded);
    if (succeeded == GL_FALSE) {
        char log[logSize] = {};
        getLog(object, logSize, nullptr, log);
        const size_t length = std::strlen(log);
        const bool endsLine = length > 0 && log[length - 1] == '\n';
        std::printf("%s%s", log, compilerLog || !endsLine ? "\n" : "");
    }
}

// The program's defines go after the "#version" line, which must stay first.
std::string withDefines(const std::string& text, const char* defines) {
    if (defines == nullptr) {
        return text;
    }
    const size_t lineEnd = text.find('\n');
    const size_t at = text.rfind("#version", 0) == 0 && lineEnd != std::string::npos ? lineEnd + 1 : 0;
    return text.substr(0, at) + defines + text.substr(at);
}

} // namespace

std::string glslEsText(const std::string& text) {
    const size_t lineEnd = text.find('\n');
    const size_t body =
        text.rfind("#version", 0) == 0 ? (lineEnd == std::string::npos ? text.size() : lineEnd + 1) : 0;
    return "#version 100\n"
           "#ifdef GL_FRAGMENT_PRECISION_HIGH\n"
           "precision highp float;\n"
           "#else\n"
           "precision mediump float;\n"
           "#endif\n" +
           text.substr(body);
}

namespace {

struct Preset {
    const char* vertexPath;
    const char* fragmentPath;
    const char* texturePath;
    const char* samplers[2]; // none where unused
    bool valueUniforms;      // normalMat (identity) and Blend1 (1.0)
};

ShaderProgram* makePreset(ResourceCache& cache, const Preset& preset) {
    ShaderProgram* program = newShaderProgram();
    program->vertexPath = preset.vertexPath;
    addAttribute(*program, "Position", 3);
    addAttribute(*program, "Normal", 3);
    addAttribute(*program, "TexCoordIn", 2);
    program->fragmentPath = preset.fragmentPath;
    Texture* texture = static_cast<Texture*>(getResource(cache, preset.texturePath));
    for (const char* sampler : preset.samplers) {
        if (sampler != nullptr) {
            addSampler(*program, texture, sampler);
        }
    }
    if (preset.valueUniforms) {
        addNormalMatrix(*program);
        addBlend(*program);
    }
    linkProgram(*program);
    return program;
}

} // namespace

ShaderProgram* newShaderProgram() {
    ShaderProgram* program = new ShaderProgram{};
    for (VariableTable* table : {&program->attributes, &program->uniforms}) {
        table->projectionLocation = -1;
        table->modelviewLocation = -1;
        for (VariableEntry& entry : table->entries) {
            entry.location = -1;
        }
    }
    return program;
}

void addAttribute(ShaderProgram& program, const char* name, int32_t size) {
    VariableTable& table = program.attributes;
    if (table.count >= maxVariables) {
        return;
    }
    VariableEntry& entry = table.entries[table.count];
    entry = {entry.location, name, size, 1, 0, nullptr};
    table.stride += size;
    table.count += 1;
}

void addNormalMatrix(ShaderProgram& program) {
    VariableTable& table = program.attributes;
    if (table.count + table.valueCount >= maxVariables) {
        return;
    }
    VariableEntry& entry = table.entries[table.count + table.valueCount];
    // Sent as a whole 4x4 matrix, so its default must be one; value uniforms are only ever
    // read, so the shared identity serves.
    entry = {entry.location, "normalMat", 16, 1, 0, &identityMat4};
    table.valueCount += 1;
}

void addBlend(ShaderProgram& program) {
    VariableTable& table = program.uniforms;
    if (table.count >= maxVariables) {
        return;
    }
    VariableEntry& entry = table.entries[program.textureCount + table.valueCount];
    entry = {entry.location, "Blend1", 1, 1, 0, &defaultOne};
    table.valueCount += 1;
    table.count += 1;
}

void addSampler(ShaderProgram& program, Texture* texture, const char* name) {
    VariableTable& table = program.uniforms;
    if (table.count >= maxVariables || texture == nullptr) {
        return;
    }
    program.textures[program.textureCount] = texture;
    VariableEntry& entry = table.entries[table.count];
    entry = {entry.location, name, 0, 0, 1, nullptr};
    program.textureCount += 1;
    table.count += 1;
}

std::string shaderTextFrom(const uint8_t* bytes, size_t size) {
    // Every line ends with a line feed, so a text ending in one gains an empty last line.
    return std::string(reinterpret_cast<const char*>(bytes), size) + "\n";
}

Problem readTextFile(const char* path, std::string& text) {
    text.clear();
    std::vector<uint8_t> bytes;
    if (path == nullptr) {
        return std::strerror(ENOENT);
    }
    if (Problem problem = readWholeFile(path, largestShaderFile, bytes)) {
        return problem;
    }
    text = shaderTextFrom(bytes.data(), bytes.size());
    return std::nullopt;
}

uint32_t compileShader(uint32_t type, const ShaderProgram& program) {
    GLuint shader = glCreateShader(type);
    const char* path = type == GL_VERTEX_SHADER ? program.vertexPath : program.fragmentPath;
    std::string file;
    const Problem problem = readTextFile(path, file);
    // The compiler's log says only that the text ended: the line before it names the file.
    const std::string name = path == nullptr ? "" : path;
    if (problem && *problem != std::strerror(ENOENT)) {
        report(problem, Failure::shaderRead, name);
    } else if (file.find_first_not_of('\n') == std::string::npos) {
        report("missing or empty", Failure::shaderEmpty, name);
    }
    std::string text = withDefines(glslEs ? glslEsText(file) : file, program.defines);
    const GLchar* source = text.c_str();
    GLint length = static_cast<GLint>(text.size());
    glShaderSource(shader, 1, &source, &length);
    glCompileShader(shader);
    printLogOnFailure<1000>(shader, GL_COMPILE_STATUS, glGetShaderiv, glGetShaderInfoLog, true);
    return shader;
}

uint32_t linkProgram(ShaderProgram& program) {
    GLuint vertexShader = compileShader(GL_VERTEX_SHADER, program);
    GLuint fragmentShader = compileShader(GL_FRAGMENT_SHADER, program);
    GLuint name = glCreateProgram();
    glAttachShader(name, vertexShader);
    glAttachShader(name, fragmentShader);
    glLinkProgram(name);
    printLogOnFailure<256>(name, GL_LINK_STATUS, glGetProgramiv, glGetProgramInfoLog, false);
    glUseProgram(name);

    VariableTable& attributes = program.attributes;
    VariableTable& uniforms = program.uniforms;
    for (int32_t i = 0; i < attributes.count; ++i) {
        attributes.entries[i].location = glGetAttribLocation(name, attributes.entries[i].name);
    }
    attributes.projectionLocation = glGetUniformLocation(name, "Projection");
    attributes.modelviewLocation = glGetUniformLocation(name, "Modelview");
    findUniformLocations(name, attributes, attributes.count, attributes.valueCount);
    findUniformLocations(name, uniforms, 0, program.textureCount);
    findUniformLocations(name, uniforms, program.textureCount, uniforms.valueCount);
    // Sampler j reads texture unit j for the program's whole life.
    for (int32_t j = 0; j < program.textureCount; ++j) {
        glUniform1i(uniforms.entries[j].location, j);
    }
    program.projectionSent = 0;
    // An attribute the program lacks has no array to enable.
    for (int32_t i = 0; i < attributes.count; ++i) {
        if (attributes.entries[i].location != -1) {
            glEnableVertexAttribArray(attributes.entries[i].location);
        }
    }
    program.program = name;
    return name;
}

void applyProgram(ShaderProgram& program, RenderObject& object, const Mat4& projection,
                  const Mat4& modelview) {
    const VariableTable& attributes = program.attributes;
    const VariableTable& uniforms = program.uniforms;
    glUseProgram(program.program);
    // A program keeps its uniforms: the projection, the same for a whole frame, goes out on change.
    if (program.projectionSent == 0 ||
        std::memcmp(program.sentProjection.m, projection.m, sizeof projection.m) != 0) {
        glUniformMatrix4fv(attributes.projectionLocation, 1, GL_FALSE, projection.m);
        copyMat4(program.sentProjection, projection);
        program.projectionSent = 1;
    }
    glUniformMatrix4fv(attributes.modelviewLocation, 1, GL_FALSE, modelview.m);

    // Interleaved vertices: each attribute follows the previous one within the stride.
    uintptr_t offset = 0;
    for (int32_t i = 0; i < attributes.count; ++i) {
        const VariableEntry& entry = attributes.entries[i];
        if (entry.location != -1) {
            glVertexAttribPointer(entry.location, entry.size, GL_FLOAT, GL_FALSE, attributes.stride * 4,
                                  reinterpret_cast<const void*>(offset * 4));
        }
        offset += entry.size;
    }

    object.textureSlots.cursor = object.textureSlots.head;
    for (int32_t j = 0; j < program.textureCount; ++j) {
        glActiveTexture(GL_TEXTURE0 + j);
        const Slot* slot = nextSlot(object.textureSlots);
        GLuint texture = slot != nullptr && slot->set != 0 ? static_cast<GLuint>(slot->value)
                                                           : program.textures[j]->textureId;
        glBindTexture(GL_TEXTURE_2D, texture);
    }

    sendValueUniforms(attributes, attributes.count, attributes.valueCount, object.normalSlots);
    sendValueUniforms(uniforms, program.textureCount, uniforms.valueCount, object.blendSlots);
}

ShaderProgram* makePhongMaterial(ResourceCache& cache) {
    return makePreset(
        cache,
        {"shaders/phongVert.txt", "shaders/phongFrag.txt", defaultTexturePath, {"Texture1", nullptr}, true});
}

ShaderProgram* makePhongTerrainMaterial(ResourceCache& cache) {
    ShaderProgram* program = makePreset(cache, {"shaders/phongTerrainVert.txt",
                                                "shaders/phongTerrainFrag.txt",
                                                defaultTexturePath,
                                                {"Texture1", "Texture2"},
                                                true});
    // The same program with its blend weight fixed, for triangles wholly on one side of it: the
    // compiler drops the texture read the weight leaves out.
    const char* const flatness[2] = {"#define GROUND_FLATNESS 0.0\n", "#define GROUND_FLATNESS 1.0\n"};
    for (int slope : {steepGround, flatGround}) {
        ShaderProgram* variant = new ShaderProgram(*program);
        variant->defines = flatness[slope];
        linkProgram(*variant);
        program->slopeVariants[slope] = variant;
    }
    glUseProgram(program->program);
    return program;
}

ShaderProgram* makeWaterMaterial(ResourceCache& cache) {
    return makePreset(
        cache,
        {"shaders/waterVert.txt", "shaders/waterFrag.txt", defaultTexturePath, {"Texture1", nullptr}, true});
}

ShaderProgram* makeSkyBoxMaterial(ResourceCache& cache) {
    return makePreset(cache, {"shaders/skyBoxVert.txt",
                              "shaders/skyBoxFrag.txt",
                              defaultTexturePath,
                              {"Texture1", nullptr},
                              false});
}

} // namespace valley
