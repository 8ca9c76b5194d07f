#include "assets/file_kinds.h"
#include "assets/mesh.h"
#include "assets/resource_cache.h"
#include "assets/texture.h"
#include "tests/assets/asset_files.h"

#include <gtest/gtest.h>

#include <string>

using namespace valley;

namespace {

int lengthOf(const ObjectList& list) {
    int length = 0;
    for (ListNode* node = list.head; node != nullptr; node = node->next) {
        ++length;
    }
    return length;
}

void* getCapturingOutput(ResourceCache& cache, const std::string& name, std::string& output) {
    testing::internal::CaptureStdout();
    void* resource = getResource(cache, name.c_str());
    output = testing::internal::GetCapturedStdout();
    return resource;
}

std::string failureLine(const std::string& name) { return "error: mesh " + name + " loaded incorrectly!\n"; }

std::string missingTextureLine(const std::string& name) {
    return "error: texture " + name + " loaded incorrectly: No such file or directory\n";
}

} // namespace

// The kinds are told by substring anywhere in the name, case-sensitively, several at once.
TEST(FileKinds, EveryExtensionFoundAnywhereInTheNameCounts) {
    const struct {
        const char* name;
        bool bmp, dds, dae;
    } cases[] = {
        {"Textures/rock1.bmp", true, false, false}, {"Textures/grass1.dds", false, true, false},
        {"Meshes/cube5.dae", false, false, true},   {"a.bmp.dds", true, true, false},
        {"x.dae.bmp", true, false, true},           {"Textures/ROCK.BMP", false, false, false},
        {"dir.dds/readme", false, true, false},     {"", false, false, false},
    };
    for (const auto& c : cases) {
        const FileKinds kinds = fileKindsOf(c.name);
        EXPECT_EQ(kinds.bmp, c.bmp) << c.name;
        EXPECT_EQ(kinds.dds, c.dds) << c.name;
        EXPECT_EQ(kinds.dae, c.dae) << c.name;
    }
}

TEST(ResourceCache, EachNameIsLoadedOnceAndRecordedEvenWhenTheLoadFails) {
    HeldCache held;
    const std::string name = tempPath("absent.dae");
    std::string output;
    void* first = getCapturingOutput(held.cache, name, output);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(output, failureLine(name));
    EXPECT_EQ(static_cast<Mesh*>(first)->vertexCount, 0);
    EXPECT_EQ(static_cast<Mesh*>(first)->vertices, nullptr);

    const std::string sameText = name; // another string with the same characters
    EXPECT_EQ(getCapturingOutput(held.cache, sameText, output), first);
    EXPECT_EQ(output, "");
    EXPECT_EQ(lengthOf(held.cache.entries), 1);
    EXPECT_EQ(lengthOf(held.cache.meshes), 1);
    EXPECT_EQ(lengthOf(held.cache.textures), 0);
}

TEST(ResourceCache, NamesAreComparedExactly) {
    HeldCache held;
    const std::string lower = tempPath("rock.bmp");
    const std::string upper = tempPath("Rock.bmp");
    std::string output;
    void* a = getCapturingOutput(held.cache, lower, output);
    void* b = getCapturingOutput(held.cache, upper, output);
    EXPECT_NE(a, nullptr);
    EXPECT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(static_cast<Texture*>(a)->textureId, 0u);
    EXPECT_EQ(output, missingTextureLine(upper));
    EXPECT_EQ(lengthOf(held.cache.textures), 2);
    EXPECT_EQ(getResource(held.cache, lower.c_str()), a);
    EXPECT_EQ(getResource(held.cache, upper.c_str()), b);
}

TEST(ResourceCache, UnknownExtensionsAreNeitherLoadedNorRecordedAndAreAskedAgain) {
    HeldCache held;
    for (const char* name : {"notes.txt", "terrain.DAE", "sky.png", ""}) {
        for (int attempt = 0; attempt < 2; ++attempt) {
            std::string output;
            EXPECT_EQ(getCapturingOutput(held.cache, name, output), nullptr) << name;
            EXPECT_EQ(output, "") << name;
        }
    }
    EXPECT_EQ(getResource(held.cache, nullptr), nullptr);
    EXPECT_EQ(held.cache.entries.head, nullptr);
    EXPECT_EQ(held.cache.meshes.head, nullptr);
    EXPECT_EQ(held.cache.textures.head, nullptr);
}

TEST(ResourceCache, ATextureAndMeshNameRecordsBothAndFindsTheTextureFirst) {
    HeldCache held;
    const std::string name = tempPath("odd.bmp.dae");
    std::string output;
    void* found = getCapturingOutput(held.cache, name, output);
    EXPECT_EQ(output, missingTextureLine(name) + failureLine(name));
    EXPECT_EQ(lengthOf(held.cache.textures), 1);
    EXPECT_EQ(lengthOf(held.cache.meshes), 1);
    EXPECT_EQ(lengthOf(held.cache.entries), 2);
    EXPECT_EQ(found, held.cache.textures.head->payload);
}

TEST(ResourceCache, FindReturnsTheFirstEntryWithTheName) {
    HeldCache held;
    int first = 1;
    int second = 2;
    int other = 3;
    appendToList(held.cache.entries, new ResourceEntry{"b.dae", &other});
    appendToList(held.cache.entries, new ResourceEntry{"a.dae", &first});
    appendToList(held.cache.entries, new ResourceEntry{"a.dae", &second});
    EXPECT_EQ(findResource(held.cache, "a.dae"), &first);
    EXPECT_EQ(findResource(held.cache, "b.dae"), &other);
    EXPECT_EQ(findResource(held.cache, "a.da"), nullptr);
    EXPECT_EQ(getResource(held.cache, "a.dae"), &first); // found: nothing loaded
    EXPECT_EQ(lengthOf(held.cache.entries), 3);
}

TEST(ResourceCache, ADirectLoadIsASeparateRecordTheCacheDoesNotKnow) {
    HeldCache held;
    const std::string name = tempPath("lonely.dae");
    std::string output;
    void* cached = getCapturingOutput(held.cache, name, output);
    HeldMesh direct;
    testing::internal::CaptureStdout();
    loadMesh(direct.mesh, name.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), failureLine(name));
    EXPECT_NE(cached, static_cast<void*>(&direct.mesh));
    EXPECT_EQ(lengthOf(held.cache.entries), 1);
    EXPECT_EQ(getCapturingOutput(held.cache, name, output), cached);
    EXPECT_EQ(output, "");
}
