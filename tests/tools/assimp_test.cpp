// Cross-check with an independent importer.
//
// Assimp 5.2 keeps the vertices in the file's Z_UP coordinates and puts the
// Z_UP -> Y_UP rotation, (x, y, z) -> (x, z, -y), into the root node's
// transformation. With the node transforms applied, its vertices are our
// engine-space positions; they are compared as sets, since Assimp emits one
// vertex per triangle corner.
#include "tests/tools/generated_data.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

namespace {

void collect(const aiScene* s, const aiNode* node, aiMatrix4x4 parent, std::vector<vt::V3>& out,
             std::size_t& tris) {
    const aiMatrix4x4 m = parent * node->mTransformation;
    for (unsigned i = 0; i < node->mNumMeshes; ++i) {
        const aiMesh* mesh = s->mMeshes[node->mMeshes[i]];
        for (unsigned f = 0; f < mesh->mNumFaces; ++f)
            tris += mesh->mFaces[f].mNumIndices == 3;
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            const aiVector3D p = m * mesh->mVertices[v];
            out.push_back({p.x, p.y, p.z});
        }
    }
    for (unsigned c = 0; c < node->mNumChildren; ++c)
        collect(s, node->mChildren[c], m, out, tris);
}

TEST(Assimp, LoadsEveryMeshWithOurTrianglesAndPositions) {
    for (const char* name : {"riverlake_terrain", "cliff", "water2", "cube5", "sphere9", "skyCube"}) {
        SCOPED_TRACE(name);
        const auto& bytes = vt::fileBytes(std::string("Meshes/") + name + ".dae");
        const auto ours = vt::readDae(bytes);
        Assimp::Importer importer;
        const aiScene* scene =
            importer.ReadFileFromMemory(bytes.data(), bytes.size(), aiProcess_Triangulate, "dae");
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        std::vector<vt::V3> theirs;
        std::size_t tris = 0;
        collect(scene, scene->mRootNode, aiMatrix4x4(), theirs, tris);
        EXPECT_EQ(tris, ours.polylistCount);

        // Bucket ours by 1e-3 cells; look each of theirs up in its 27 neighbours.
        using Key = std::tuple<long, long, long>;
        auto key = [](const vt::V3& p, long dx, long dy, long dz) {
            return Key{std::lround(p.x * 1e3) + dx, std::lround(p.y * 1e3) + dy, std::lround(p.z * 1e3) + dz};
        };
        std::multimap<Key, std::size_t> buckets;
        for (std::size_t i = 0; i < ours.positions.size(); ++i)
            buckets.insert({key(ours.positions[i], 0, 0, 0), i});
        std::vector<char> used(ours.positions.size(), 0);
        std::size_t strays = 0;
        for (const auto& p : theirs) {
            bool found = false;
            for (long d = 0; d < 27; ++d)
                for (auto [it, end] = buckets.equal_range(key(p, d % 3 - 1, d / 3 % 3 - 1, d / 9 - 1));
                     it != end; ++it) {
                    const auto& q = ours.positions[it->second];
                    if (std::fabs(q.x - p.x) + std::fabs(q.y - p.y) + std::fabs(q.z - p.z) < 1e-4)
                        used[it->second] = 1, found = true; // coincident cube corners all count
                }
            strays += !found;
        }
        EXPECT_EQ(strays, 0u);
        EXPECT_EQ(std::count(used.begin(), used.end(), 0), 0);
    }
}

} // namespace
