#include "assets/texture.h"
#include "assets/texture_budget.h"
#include "platform/file_read.h"
#include "tests/assets/asset_files.h"
#include "tests/support/gl_context.h"
#include "tools/dds_samples.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace valley;

namespace {

using TextureLoad = GlContextTest;

GLint boundLevelParameter(GLint level, GLenum parameter) {
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
    return value;
}

GLint boundParameter(GLenum parameter) {
    GLint value = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}

const char* renderer() { return reinterpret_cast<const char*>(glGetString(GL_RENDERER)); }

GLfloat boundParameterf(GLenum parameter) {
    GLfloat value = -1.0f;
    glGetTexParameterfv(GL_TEXTURE_2D, parameter, &value);
    return value;
}

// Every mipmap level of the bound texture (levels of width x height shrinking to 1 x 1) as BGRA.
std::vector<std::vector<uint8_t>> boundLevels(int width, int height) {
    std::vector<std::vector<uint8_t>> levels;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int level = 0; width >> level > 0 || height >> level > 0; ++level) {
        levels.emplace_back(4 * std::max(width >> level, 1) * std::max(height >> level, 1), 0);
        glGetTexImage(GL_TEXTURE_2D, level, GL_BGRA, GL_UNSIGNED_BYTE, levels.back().data());
    }
    return levels;
}

struct CompressedReference {
    bool compressed; // the driver really compressed the generic compressed format
    std::vector<std::vector<uint8_t>> levels;
};

// The BMP's pixels uploaded the plain way as the generic compressed format, with mipmaps.
CompressedReference compressedUpload(const std::string& path) {
    std::vector<uint8_t> bytes;
    BmpImage image;
    EXPECT_FALSE(readWholeFile(path, 100000000, bytes));
    EXPECT_FALSE(decodeBmp(bytes.data(), bytes.size(), image));
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_COMPRESSED_RGBA, image.width, image.rows, 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, image.pixels.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    CompressedReference reference = {boundLevelParameter(0, GL_TEXTURE_COMPRESSED) == GL_TRUE,
                                     boundLevels(image.width, image.rows)};
    glDeleteTextures(1, &name);
    return reference;
}

Texture loadCapturingOutput(const std::string& path, std::string& output) {
    Texture texture{7, 7, 7};
    testing::internal::CaptureStdout();
    loadTexture(path.c_str(), texture);
    output = testing::internal::GetCapturedStdout();
    return texture;
}

} // namespace

TEST_F(TextureLoad, BmpIsUploadedWithMipmapsAndReadsBackAsStored) {
    const std::string path = tempPath("gradient.bmp");
    writeFile(path, makeBmp(8, 4, gradientPattern));
    const CompressedReference reference = compressedUpload(path);
    Texture texture{};
    EXPECT_EQ(&loadTexture(path.c_str(), texture), &texture);
    ASSERT_NE(texture.textureId, 0u);
    EXPECT_EQ(texture.width, 8);
    EXPECT_EQ(texture.height, 4);

    glBindTexture(GL_TEXTURE_2D, texture.textureId);
    EXPECT_EQ(boundLevelParameter(0, GL_TEXTURE_WIDTH), 8);
    EXPECT_EQ(boundLevelParameter(0, GL_TEXTURE_HEIGHT), 4);
    EXPECT_EQ(boundLevelParameter(1, GL_TEXTURE_WIDTH), 4);
    EXPECT_EQ(boundLevelParameter(2, GL_TEXTURE_HEIGHT), 1);
    EXPECT_EQ(boundLevelParameter(3, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(boundParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(boundParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_LINEAR);
    EXPECT_EQ(boundParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(boundParameterf(GL_TEXTURE_MAX_ANISOTROPY_EXT), anisotropyFor(4.0f, renderer()));

    // A driver may keep the generic compressed format uncompressed (exact read-back) or
    // really compress it (then only close). A software renderer stores the compressed texels
    // plain: every level reads back as the driver's own compressed upload of the same image.
    const std::vector<std::vector<uint8_t>> loaded = boundLevels(8, 4);
    const bool software = softwareRenderer(renderer());
    EXPECT_EQ(boundLevelParameter(0, GL_TEXTURE_COMPRESSED) == GL_TRUE, reference.compressed && !software);
    if (software) {
        EXPECT_EQ(loaded, reference.levels);
    }
    const int tolerance = reference.compressed ? 48 : 0;
    const std::vector<uint8_t>& pixels = loaded[0];
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 8; ++column) {
            uint8_t bgr[3];
            gradientPattern(row, column, bgr);
            const uint8_t* pixel = &pixels[4 * (row * 8 + column)];
            for (int c = 0; c < 3; ++c) {
                EXPECT_LE(std::abs(pixel[c] - bgr[c]), tolerance) << row << "," << column << "," << c;
            }
            EXPECT_EQ(pixel[3], 255);
        }
    }
    GLuint name = texture.textureId;
    glDeleteTextures(1, &name);
}

TEST_F(TextureLoad, TopDownBmpArrivesUpsideDownWithItsNegativeHeight) {
    const std::string path = tempPath("top_down.bmp");
    writeFile(path, makeBmp(2, -2, [](int row, int, uint8_t bgr[3]) {
                  bgr[0] = bgr[1] = bgr[2] = static_cast<uint8_t>(row == 0 ? 200 : 40);
              }));
    Texture texture{};
    loadTexture(path.c_str(), texture);
    ASSERT_NE(texture.textureId, 0u);
    EXPECT_EQ(texture.height, -2);
    glBindTexture(GL_TEXTURE_2D, texture.textureId);
    EXPECT_EQ(boundLevelParameter(0, GL_TEXTURE_HEIGHT), 2);
    uint8_t pixels[16];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    EXPECT_NEAR(pixels[0], 200, 8); // the file's first row is OpenGL's bottom row
    EXPECT_NEAR(pixels[8], 40, 8);
    GLuint name = texture.textureId;
    glDeleteTextures(1, &name);
}

TEST_F(TextureLoad, DdsGoesThroughSoilAndRepeats) {
    const std::string path = tempPath("red.dds");
    writeFile(path, makeDxt1Dds(0xF800));
    Texture texture{};
    loadTexture(path.c_str(), texture);
    ASSERT_NE(texture.textureId, 0u);
    EXPECT_EQ(texture.width, 0);
    EXPECT_EQ(texture.height, 0);

    glBindTexture(GL_TEXTURE_2D, texture.textureId);
    EXPECT_EQ(boundParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(boundParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(boundParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    GLfloat largest = 0.0f;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &largest);
    EXPECT_EQ(boundParameterf(GL_TEXTURE_MAX_ANISOTROPY_EXT), anisotropyFor(largest, renderer()));
    EXPECT_EQ(boundLevelParameter(0, GL_TEXTURE_WIDTH), 4);
    EXPECT_GE(boundLevelParameter(2, GL_TEXTURE_WIDTH), 1); // mipmaps were made

    uint8_t pixels[4 * 4 * 4];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    EXPECT_EQ(pixels[0], 255);
    EXPECT_EQ(pixels[1], 0);
    EXPECT_EQ(pixels[2], 0);
    GLuint name = texture.textureId;
    glDeleteTextures(1, &name);
}

// A failed load leaves no texture and says why in one line naming the file. Files that are not
// plain files, or larger than a texture may be, are refused without waiting or reading them.
TEST_F(TextureLoad, FailuresLeaveAnEmptyRecordAndSayWhyInOneLine) {
    std::vector<uint8_t> truncated = makeBmp(4, 4, gradientPattern);
    truncated.pop_back();
    writeFile(tempPath("truncated.bmp"), truncated);
    writeFile(tempPath("garbage.dds"), std::string("not a picture"));
    // Sound pictures under names the loader does not take: no texture, nothing said.
    writeFile(tempPath("picture.png"), makeBmp(4, 4, gradientPattern));
    writeFile(tempPath("upper.BMP"), makeBmp(4, 4, gradientPattern));
    for (const char* fifo : {"fifo.bmp", "fifo.dds"}) {
        std::remove(tempPath(fifo).c_str());
        ASSERT_EQ(mkfifo(tempPath(fifo).c_str(), 0600), 0);
    }
    std::filesystem::remove(tempPath("zero.dds"));
    std::filesystem::create_symlink("/dev/zero", tempPath("zero.dds"));
    std::filesystem::create_directories(tempPath("folder.bmp"));
    writeFile(tempPath("huge.bmp"), makeBmp(4, 4, gradientPattern));
    std::filesystem::resize_file(tempPath("huge.bmp"), 4 * largestTexturePixels);
    // 8192 x 4096 blocks of DXT1: sound, but twice the decoded budget.
    std::vector<uint8_t> wide = makeDxt1Dds(0xF800);
    putInt32(wide, 12, 4096);
    putInt32(wide, 16, 8192);
    writeFile(tempPath("wide.dds"), wide);
    std::filesystem::resize_file(tempPath("wide.dds"), 128 + 8192 / 4 * (4096 / 4) * 8);

    const std::string bmpReason = "not an uncompressed 24-bit BMP of at most 4096 x 4096 pixels";
    const std::string ddsReason =
        "not a DXT1, DXT3, DXT5, BGR or BGRA DDS file of at most 4096 x 4096 pixels";
    const struct {
        const char* name;
        std::string reason; // "" for no line
    } cases[] = {
        {"missing.bmp", "No such file or directory"},
        {"truncated.bmp", "cut short: its pixel rows end past the end of the file"},
        {"missing.dds", "No such file or directory"},
        {"garbage.dds", ddsReason},
        {"picture.png", ""},
        {"upper.BMP", ""},
        {"fifo.bmp", "not a regular file"},
        {"fifo.dds", "not a regular file"},
        {"zero.dds", "not a regular file"},
        {"folder.bmp", "a folder, not a file"},
        {"huge.bmp", "larger than 52 MB"},
        {"wide.dds", ddsReason},
    };
    for (const auto& c : cases) {
        std::string output;
        Texture texture = loadCapturingOutput(tempPath(c.name), output);
        EXPECT_EQ(texture.textureId, 0u) << c.name;
        EXPECT_EQ(texture.width, 0) << c.name;
        EXPECT_EQ(texture.height, 0) << c.name;
        const std::string line =
            "error: texture " + tempPath(c.name) + " loaded incorrectly: " + c.reason + "\n";
        EXPECT_EQ(output, c.reason.empty() ? "" : line) << c.name;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A DDS file is read as far as its header declares: a sound picture followed by gigabytes of
// anything (a sparse tail here) loads without reading them.
TEST_F(TextureLoad, ADdsIsReadOnlyAsFarAsItsHeaderDeclares) {
    const std::string path = tempPath("long_tail.dds");
    writeFile(path, makeDxt1Dds(0x07E0));
    std::filesystem::resize_file(path, uint64_t{4} << 30);
    std::string output;
    Texture texture = loadCapturingOutput(path, output);
    EXPECT_NE(texture.textureId, 0u);
    EXPECT_EQ(output, "");
    GLuint name = texture.textureId;
    glDeleteTextures(1, &name);
    std::filesystem::remove(path);
}

TEST_F(TextureLoad, ExtensionsAreFoundAnywhereInTheName) {
    const std::string path = tempPath("stone.bmp.backup");
    writeFile(path, makeBmp(2, 2, gradientPattern));
    Texture texture{};
    loadTexture(path.c_str(), texture);
    EXPECT_NE(texture.textureId, 0u);
    EXPECT_EQ(texture.width, 2);
    GLuint name = texture.textureId;
    glDeleteTextures(1, &name);
}

TEST_F(TextureLoad, ANameWithBothExtensionsEndsWithTheDdsPathsResult) {
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        bool texture;
    } cases[] = {
        {"bmp.bmp.dds", makeBmp(8, 4, gradientPattern), false}, // SOIL is not asked to guess the format
        {"dds.bmp.dds", makeDxt1Dds(0x07E0), true},
    };
    for (const auto& c : cases) {
        const std::string path = tempPath(c.name);
        writeFile(path, c.bytes);
        Texture texture{};
        loadTexture(path.c_str(), texture);
        EXPECT_EQ(texture.textureId != 0, c.texture) << c.name;
        EXPECT_EQ(texture.width, 0) << c.name; // a BMP read first is forgotten when the DDS path fails
        EXPECT_EQ(texture.height, 0) << c.name;
        GLuint name = texture.textureId;
        glDeleteTextures(1, &name);
    }
}

// Every sample of the generator: the sound ones become textures, the hostile ones (sizes that
// overflowed SOIL, endless mipmap counts, short files, other formats) none, quickly.
TEST_F(TextureLoad, DdsSamplesAreCheckedBeforeSoilSeesThem) {
    for (const vgen::DdsSample& sample : vgen::ddsSamples()) {
        const std::string path = tempPath(sample.file.path);
        writeFile(path, sample.file.bytes);
        std::string output;
        Texture texture = loadCapturingOutput(path, output);
        EXPECT_EQ(texture.textureId != 0, sample.sound) << sample.file.path;
        EXPECT_EQ(output.empty(), sample.sound) << sample.file.path << ": " << output;
        GLuint name = texture.textureId;
        glDeleteTextures(1, &name);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
