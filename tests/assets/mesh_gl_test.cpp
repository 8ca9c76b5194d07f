#include "assets/collada_reader.h"
#include "assets/mesh.h"
#include "assets/resource_cache.h"
#include "assets/texture.h"
#include "tests/assets/asset_files.h"
#include "tests/support/gl_context.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace valley;

namespace {

using MeshLoad = GlContextTest;
using CachedLoad = GlContextTest;

template <typename T> std::vector<T> bufferContents(GLenum target, GLuint buffer) {
    glBindBuffer(target, buffer);
    GLint size = 0;
    glGetBufferParameteriv(target, GL_BUFFER_SIZE, &size);
    std::vector<T> contents(static_cast<size_t>(size) / sizeof(T));
    glGetBufferSubData(target, 0, size, contents.data());
    return contents;
}

void expectBuffersHoldTheArrays(const Mesh& mesh) {
    std::vector<float> vertices = bufferContents<float>(GL_ARRAY_BUFFER, mesh.vertexBuffer);
    ASSERT_EQ(vertices.size(), static_cast<size_t>(mesh.vertexCount * 8));
    EXPECT_EQ(std::memcmp(vertices.data(), mesh.vertices, vertices.size() * sizeof(float)), 0);
    std::vector<int32_t> indices = bufferContents<int32_t>(GL_ELEMENT_ARRAY_BUFFER, mesh.indexBuffer);
    ASSERT_EQ(indices.size(), static_cast<size_t>(mesh.triangleCount * 3));
    EXPECT_EQ(std::memcmp(indices.data(), mesh.indices, indices.size() * sizeof(int32_t)), 0);
}

void deleteBuffers(const Mesh& mesh) {
    GLuint buffers[2] = {mesh.vertexBuffer, mesh.indexBuffer};
    glDeleteBuffers(2, buffers);
}

GLint binding(GLenum which) {
    GLint value = -1;
    glGetIntegerv(which, &value);
    return value;
}

} // namespace

TEST_F(MeshLoad, BuffersHoldTheArraysReadFromTheFile) {
    const std::string path = tempPath("square.dae");
    const std::string document = makeCollada(ColladaParts{});
    writeFile(path, document);
    HeldMesh loaded;
    testing::internal::CaptureStdout();
    loadMesh(loaded.mesh, path.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_NE(loaded.mesh.vertexBuffer, 0u);
    ASSERT_NE(loaded.mesh.indexBuffer, 0u);
    EXPECT_NE(loaded.mesh.vertexBuffer, loaded.mesh.indexBuffer);
    EXPECT_EQ(binding(GL_ARRAY_BUFFER_BINDING), static_cast<GLint>(loaded.mesh.vertexBuffer));
    EXPECT_EQ(binding(GL_ELEMENT_ARRAY_BUFFER_BINDING), static_cast<GLint>(loaded.mesh.indexBuffer));
    expectBuffersHoldTheArrays(loaded.mesh);

    std::string text = document;
    HeldMesh read;
    ASSERT_FALSE(readColladaMesh(text.data(), read.mesh));
    ASSERT_EQ(loaded.mesh.vertexCount, read.mesh.vertexCount);
    ASSERT_EQ(loaded.mesh.triangleCount, read.mesh.triangleCount);
    EXPECT_EQ(
        std::memcmp(loaded.mesh.vertices, read.mesh.vertices, sizeof(float) * 8 * read.mesh.vertexCount), 0);
    EXPECT_EQ(std::memcmp(&loaded.mesh.extent, &read.mesh.extent, sizeof(Vec3)), 0);
    deleteBuffers(loaded.mesh);
}

TEST_F(MeshLoad, RecomputedNormalsAreUploadedAgain) {
    const std::string path = tempPath("bent.dae");
    writeFile(path, makeCollada(ColladaParts{}));
    HeldMesh held;
    loadMesh(held.mesh, path.c_str());
    ASSERT_NE(held.mesh.vertexBuffer, 0u);
    held.mesh.vertices[3 * 8 + 1] = 1.0f; // lift vertex 3: the second triangle tilts
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    computeVertexNormals(held.mesh);
    EXPECT_NE(held.mesh.vertices[3 * 8 + 3], 0.0f);
    expectBuffersHoldTheArrays(held.mesh);
    deleteBuffers(held.mesh);
}

TEST_F(MeshLoad, AFailedLoadMakesNoBuffers) {
    const std::string path = tempPath("short.dae");
    ColladaParts parts;
    parts.triangleCount = "3";
    writeFile(path, makeCollada(parts));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    HeldMesh held;
    testing::internal::CaptureStdout();
    loadMesh(held.mesh, path.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "error: mesh " + path + " loaded incorrectly!\n");
    EXPECT_EQ(held.mesh.vertexBuffer, 0u);
    EXPECT_EQ(held.mesh.indexBuffer, 0u);
    EXPECT_EQ(binding(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(CachedLoad, AMeshIsLoadedOnceAndADirectLoadIsAnotherRecord) {
    const std::string path = tempPath("cached.dae");
    writeFile(path, makeCollada(ColladaParts{}));
    HeldCache held;
    ResourceCache& cache = held.cache;
    Mesh* cached = static_cast<Mesh*>(getResource(cache, path.c_str()));
    ASSERT_NE(cached, nullptr);
    ASSERT_NE(cached->vertexBuffer, 0u);
    EXPECT_EQ(getResource(cache, path.c_str()), cached);

    HeldMesh direct;
    loadMesh(direct.mesh, path.c_str());
    EXPECT_NE(direct.mesh.vertexBuffer, cached->vertexBuffer);
    EXPECT_NE(direct.mesh.vertices, cached->vertices);
    EXPECT_EQ(cache.entries.head, cache.entries.tail); // still one entry
    EXPECT_EQ(getResource(cache, path.c_str()), cached);
    deleteBuffers(direct.mesh);
    deleteBuffers(*cached);
}

TEST_F(CachedLoad, ABmpAndDdsNameRecordsTwoTexturesAndFindsTheFirst) {
    const std::string path = tempPath("twice.bmp.dds");
    writeFile(path, makeDxt1Dds(0x001F)); // each record loads it through the DDS path
    HeldCache held;
    ResourceCache& cache = held.cache;
    Texture* found = static_cast<Texture*>(getResource(cache, path.c_str()));
    ASSERT_NE(found, nullptr);
    ASSERT_NE(cache.textures.head, cache.textures.tail);
    EXPECT_EQ(cache.textures.head->next, cache.textures.tail); // exactly two
    EXPECT_EQ(found, cache.textures.head->payload);
    Texture* second = static_cast<Texture*>(cache.textures.tail->payload);
    EXPECT_NE(found->textureId, 0u);
    EXPECT_NE(second->textureId, 0u);
    EXPECT_NE(found->textureId, second->textureId);
    EXPECT_EQ(cache.entries.tail->previous, cache.entries.head);
    EXPECT_EQ(cache.meshes.head, nullptr);
    GLuint names[2] = {found->textureId, second->textureId};
    glDeleteTextures(2, names);
}
