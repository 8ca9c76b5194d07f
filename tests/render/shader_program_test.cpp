#include "render/shader_program.h"

#include "assets/texture.h"
#include "tests/render/render_fixture.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>

using namespace valley;

namespace {

std::string tempFile(const char* name, const char* text) {
    std::string path = testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
}

Texture someTexture = {0, 0, 3};

int boundTexture(int unit) {
    GLint name = 0;
    glActiveTexture(GL_TEXTURE0 + unit);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

using ShaderPrograms = DrawTest;

} // namespace

// Plain files are read whole; a FIFO without a writer, a device, a folder or a file over the
// bound is refused at once, without reading it.
TEST(ReadTextFile, EveryLineEndsWithALineFeedAndOnlyPlainFilesWithinTheBoundAreRead) {
    const std::string fifo = testing::TempDir() + "fifo.txt";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string atBound = tempFile("at_bound.txt", "");
    std::filesystem::resize_file(atBound, largestShaderFile);
    const std::string overBound = tempFile("over_bound.txt", "");
    std::filesystem::resize_file(overBound, largestShaderFile + 1);
    struct Case {
        std::string path;
        std::string text;
        std::string problem; // "" when read
    };
    const Case cases[] = {
        {tempFile("open.txt", "one\ntwo"), "one\ntwo\n", ""},
        {tempFile("ended.txt", "one\ntwo\n"), "one\ntwo\n\n", ""},
        {tempFile("empty.txt", ""), "\n", ""},
        {atBound, std::string(largestShaderFile, '\0') + "\n", ""},
        {"/nonexistent/valley/shader.txt", "", "No such file or directory"},
        {fifo, "", "not a regular file"},
        {"/dev/zero", "", "not a regular file"},
        {testing::TempDir(), "", "a folder, not a file"},
        {overBound, "", "larger than 1 MB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string text = "left over";
        const Problem problem = readTextFile(c.path.c_str(), text);
        EXPECT_EQ(problem ? *problem : std::string(), c.problem);
        EXPECT_EQ(text, c.text);
    }
}

TEST(ProgramTables, AttributesAndNormalMatricesShareTenEntries) {
    std::unique_ptr<ShaderProgram> owned(newShaderProgram());
    ShaderProgram& program = *owned;
    const VariableTable& attributes = program.attributes;
    addAttribute(program, "Position", 3);
    addAttribute(program, "TexCoordIn", 2);
    addNormalMatrix(program);
    EXPECT_EQ(attributes.stride, 5);
    EXPECT_STREQ(attributes.entries[2].name, "normalMat");
    EXPECT_EQ(attributes.entries[2].size, 16);
    EXPECT_EQ(attributes.entries[2].value, &identityMat4);
    EXPECT_EQ(attributes.entries[2].location, -1);
    for (int i = 0; i < 9; ++i) {
        addNormalMatrix(program);
    }
    EXPECT_EQ(attributes.valueCount, 8);
    for (int i = 0; i < 10; ++i) {
        addAttribute(program, "Normal", 3);
    }
    EXPECT_EQ(attributes.count, 10);
    EXPECT_EQ(attributes.stride, 5 + 8 * 3);
}

TEST(ProgramTables, SamplersNeedATextureAndShareTenEntriesWithBlends) {
    std::unique_ptr<ShaderProgram> owned(newShaderProgram());
    ShaderProgram& program = *owned;
    const VariableTable& uniforms = program.uniforms;
    addSampler(program, nullptr, "Texture1");
    addSampler(program, &someTexture, "Texture1");
    addSampler(program, &someTexture, "Texture2");
    addBlend(program);
    EXPECT_EQ(program.textureCount, 2);
    EXPECT_EQ(program.textures[1], &someTexture);
    EXPECT_EQ(uniforms.entries[1].sampler, 1);
    EXPECT_STREQ(uniforms.entries[2].name, "Blend1");
    EXPECT_EQ(uniforms.entries[2].value, &defaultOne);
    for (int i = 0; i < 10; ++i) {
        addBlend(program);
    }
    addSampler(program, &someTexture, "Texture3");
    EXPECT_EQ(uniforms.count, 10);
    EXPECT_EQ(uniforms.valueCount, 8);
    EXPECT_EQ(program.textureCount, 2);
}

TEST_F(ShaderPrograms, ErrorsPrintTheCompileAndLinkLogsEachEndingItsLine) {
    std::string broken = tempFile("broken.txt", "#version 120\nvoid main() { gl_Position = undeclared; }");
    std::unique_ptr<ShaderProgram> owned(newShaderProgram());
    ShaderProgram& program = *owned;
    program.vertexPath = broken.c_str();
    testing::internal::CaptureStdout();
    uint32_t shader = compileShader(GL_VERTEX_SHADER, program);
    std::string printed = testing::internal::GetCapturedStdout();
    char log[1000] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    EXPECT_NE(std::string(log), "");
    EXPECT_EQ(printed, std::string(log) + "\n");

    // A file that is missing or empty is named on a line of its own before the compiler's log.
    const std::string empty = tempFile("empty.txt", "");
    for (const std::string& path : {empty, broken + ".missing"}) {
        program.vertexPath = path.c_str();
        testing::internal::CaptureStdout();
        shader = compileShader(GL_VERTEX_SHADER, program);
        printed = testing::internal::GetCapturedStdout();
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        EXPECT_EQ(printed, "error: shader " + path + " is missing or empty!\n" + log + "\n");
    }

    std::string noMain = tempFile("nomain.txt", "#version 120\nvoid other() {}");
    std::string plain = tempFile("plain.txt", "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }");
    // The linker's log ends its line whether or not the driver ended it (a shader that did not
    // compile gives a log without a line feed).
    program.fragmentPath = plain.c_str();
    for (const std::string& path : {noMain, broken}) {
        program.vertexPath = path.c_str();
        testing::internal::CaptureStdout();
        uint32_t linked = linkProgram(program);
        printed = testing::internal::GetCapturedStdout();
        glGetProgramInfoLog(linked, 256, nullptr, log);
        EXPECT_EQ(program.program, linked);
        const std::string linkLog = log;
        ASSERT_NE(linkLog, "");
        const std::string line = linkLog.back() == '\n' ? linkLog : linkLog + "\n";
        ASSERT_GE(printed.size(), line.size());
        EXPECT_EQ(printed.substr(printed.size() - line.size()), line) << path;
    }
}

TEST_F(ShaderPrograms, PresetsFindEveryInputTheirShadersDeclare) {
    const Materials& made = materials();
    for (ShaderProgram* program : {made.phong, made.terrain, made.water, made.skyBox}) {
        const VariableTable& attributes = program->attributes;
        EXPECT_EQ(attributes.stride, 8);
        EXPECT_NE(attributes.projectionLocation, -1);
        EXPECT_NE(attributes.modelviewLocation, -1);
        EXPECT_NE(attributes.entries[0].location, -1);
        EXPECT_NE(attributes.entries[2].location, -1);
        // Normal and normalMat, unless unlit.
        EXPECT_EQ(attributes.entries[1].location == -1, program == made.skyBox) << program->vertexPath;
        EXPECT_EQ(attributes.valueCount, program == made.skyBox ? 0 : 1);
        for (int i = 3; i < attributes.count + attributes.valueCount; ++i) {
            EXPECT_NE(attributes.entries[i].location, -1);
            EXPECT_EQ(attributes.entries[i].value, &identityMat4);
        }
        for (int i = 0; i < program->uniforms.count; ++i) {
            EXPECT_NE(program->uniforms.entries[i].location, -1) << program->uniforms.entries[i].name;
        }
    }
    EXPECT_EQ(made.phong->uniforms.count, 2);
    EXPECT_EQ(made.phong->uniforms.entries[1].value, &defaultOne);
    EXPECT_EQ(made.terrain->textures[0], made.terrain->textures[1]);
    // The default texture comes from the cache: one file, loaded once, for every preset.
    EXPECT_EQ(made.phong->textures[0], made.water->textures[0]);
    EXPECT_EQ(made.phong->textures[0], made.skyBox->textures[0]);
    EXPECT_EQ(made.skyBox->uniforms.count, 1);
}

TEST_F(ShaderPrograms, ApplyBindsSetSlotsAndOtherwiseTheProgramsDefaults) {
    ShaderProgram* terrain = materials().terrain;
    Texture* rock = solidTexture(90, 90, 90);
    const float blend = 0.6f;
    RenderObject* bare = createRenderObject(&quad(), camera); // no slots at all
    applyProgram(*terrain, *bare, scene.projection, identityMat4);
    EXPECT_EQ(boundTexture(1), static_cast<int>(terrain->textures[1]->textureId));
    GLfloat sent = 0.0f;
    glGetUniformfv(terrain->program, terrain->uniforms.entries[2].location, &sent);
    EXPECT_EQ(sent, 1.0f);
    GLint unit = -1;
    glGetUniformiv(terrain->program, terrain->uniforms.entries[1].location, &unit);
    EXPECT_EQ(unit, 1);

    RenderObject* slotted = addQuad(terrain, {0, 0, 0}, rock);
    setBlend(*slotted, &blend);
    applyProgram(*terrain, *slotted, scene.projection, identityMat4);
    EXPECT_EQ(boundTexture(0), static_cast<int>(rock->textureId));
    EXPECT_EQ(boundTexture(1), static_cast<int>(rock->textureId));
    glGetUniformfv(terrain->program, terrain->uniforms.entries[2].location, &sent);
    EXPECT_EQ(sent, 0.6f);
}

// A program built through the public operations, not a preset: an object without slots draws
// with the defaults, the normal matrix a whole identity and the blend 1.0.
TEST_F(ShaderPrograms, AHandBuiltProgramSendsWholeDefaultsToAnObjectWithoutSlots) {
    std::string vertex =
        tempFile("handVert.txt", "#version 120\n"
                                 "attribute vec3 Position;\n"
                                 "uniform mat4 Projection, Modelview, normalMat;\n"
                                 "varying vec4 shade;\n"
                                 "void main() {\n"
                                 "  shade = normalMat * vec4(0.25, 0.5, 0.75, 1.0);\n"
                                 "  gl_Position = Projection * Modelview * vec4(Position, 1.0);\n"
                                 "}");
    std::string fragment =
        tempFile("handFrag.txt", "#version 120\n"
                                 "uniform float Blend1;\n"
                                 "varying vec4 shade;\n"
                                 "void main() { gl_FragColor = vec4(shade.xyz, Blend1); }");
    std::unique_ptr<ShaderProgram> owned(newShaderProgram());
    ShaderProgram* program = owned.get();
    program->vertexPath = vertex.c_str();
    program->fragmentPath = fragment.c_str();
    addAttribute(*program, "Position", 3);
    addAttribute(*program, "Normal", 3); // the quad's vertex layout; the shader reads neither
    addAttribute(*program, "TexCoordIn", 2);
    addNormalMatrix(*program);
    addBlend(*program);
    linkProgram(*program);
    const VariableEntry& normalMat = program->attributes.entries[3];
    ASSERT_NE(normalMat.location, -1);

    RenderObject* bare = createRenderObject(&quad(), camera); // in the scene list, no slots
    bare->shader = program;
    bare->position = {0, 0, -5};
    drawRenderList(scene);
    Mat4 sent = {};
    glGetUniformfv(program->program, normalMat.location, sent.m);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(sent.m[i], identityMat4.m[i]) << "element " << i;
    }
    const Pixel centre = pixelAt({0, 0, -5});
    EXPECT_NEAR(centre.red, 64, 1);
    EXPECT_NEAR(centre.green, 128, 1);
    EXPECT_NEAR(centre.blue, 191, 1);
    EXPECT_EQ(centre.alpha, 255);
}

// The browser's shaders: the version line replaced (or added), the rest kept as it is, and every
// shader file, with the terrain's defines, compiling as GLSL ES 1.00 (Mesa takes that language
// in a desktop context too).
TEST_F(ShaderPrograms, ShaderFilesBecomeGlslEsWithAPrecision) {
    const std::string prelude = "#version 100\n#ifdef GL_FRAGMENT_PRECISION_HIGH\nprecision highp float;\n"
                                "#else\nprecision mediump float;\n#endif\n";
    const std::pair<std::string, std::string> cases[] = {
        {"#version 120\nuniform float a;\n", "uniform float a;\n"},
        {"uniform float a;\n", "uniform float a;\n"},
        {"#version 120", ""},
        {"", ""},
    };
    for (const auto& [text, body] : cases) {
        EXPECT_EQ(glslEsText(text), prelude + body) << text;
    }

    const char* files[] = {"shaders/phongVert.txt",        "shaders/phongFrag.txt",
                           "shaders/phongTerrainVert.txt", "shaders/phongTerrainFrag.txt",
                           "shaders/waterVert.txt",        "shaders/waterFrag.txt",
                           "shaders/skyBoxVert.txt",       "shaders/skyBoxFrag.txt"};
    for (const char* defines : {"", "#define GROUND_FLATNESS 0.0\n"}) {
        for (const char* file : files) {
            const bool vertex = std::string(file).find("Vert") != std::string::npos;
            std::string original;
            ASSERT_FALSE(readTextFile(file, original)) << file;
            const std::string es = glslEsText(original);
            const std::string text = es.substr(0, 13) + defines + es.substr(13);
            GLuint shader = glCreateShader(vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
            const GLchar* source = text.c_str();
            glShaderSource(shader, 1, &source, nullptr);
            glCompileShader(shader);
            GLint compiled = GL_FALSE;
            glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
            char log[1000] = {};
            glGetShaderInfoLog(shader, sizeof log, nullptr, log);
            EXPECT_EQ(compiled, GL_TRUE) << file << defines << ": " << log;
            glDeleteShader(shader);
        }
    }
}
