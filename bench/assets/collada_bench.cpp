// The terrain mesh into an in-memory mesh: our COLLADA reader against Assimp's importer (only
// aiProcess_Triangulate), neither touching OpenGL. Two pairs: from the file (each reads it from
// disk every iteration) and from the file's text already in memory (ours parses a fresh copy,
// since it parses in place; Assimp reads from the buffer).
#include "assets/collada_reader.h"
#include "platform/file_read.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace valley;

namespace {

const std::string terrainPath = std::string(ASSET_BENCH_DATA_DIR) + "Meshes/riverlake_terrain.dae";

std::vector<char> terrainText() {
    std::vector<uint8_t> bytes;
    if (readWholeFile(terrainPath, largestColladaFile, bytes)) {
        return {}; // not read: timeOurs then says so
    }
    return std::vector<char>(bytes.begin(), bytes.end());
}

// Times read(mesh) filling a fresh mesh, and freeing it (Assimp frees its last scene in the
// next read, so that is timed on both sides).
template <class Read> void timeOurs(benchmark::State& state, Read read) {
    int64_t vertices = 0;
    for (auto _ : state) {
        Mesh mesh{};
        if (!read(mesh)) {
            state.SkipWithError("the terrain was not read; build valley_data first");
            return;
        }
        benchmark::DoNotOptimize(mesh.vertices);
        vertices = mesh.vertexCount;
        delete[] mesh.vertices;
        delete[] mesh.indices;
    }
    state.counters["vertices"] = static_cast<double>(vertices);
}

// One importer for every iteration, so its set-up is not counted; each read frees the last scene.
template <class Read> void timeAssimp(benchmark::State& state, Read read) {
    Assimp::Importer importer;
    int64_t vertices = 0;
    for (auto _ : state) {
        const aiScene* scene = read(importer);
        if (scene == nullptr || scene->mNumMeshes == 0) {
            state.SkipWithError(importer.GetErrorString());
            return;
        }
        benchmark::DoNotOptimize(scene->mMeshes[0]->mVertices);
        vertices = scene->mMeshes[0]->mNumVertices;
    }
    state.counters["vertices"] = static_cast<double>(vertices);
}

// loadMesh short of the upload.
void BM_TerrainFileOurs(benchmark::State& state) {
    timeOurs(state, [](Mesh& mesh) { return !readColladaFile(terrainPath.c_str(), mesh); });
}
BENCHMARK(BM_TerrainFileOurs)->Unit(benchmark::kMillisecond);

void BM_TerrainFileAssimp(benchmark::State& state) {
    timeAssimp(state, [](Assimp::Importer& importer) {
        return importer.ReadFile(terrainPath, aiProcess_Triangulate);
    });
}
BENCHMARK(BM_TerrainFileAssimp)->Unit(benchmark::kMillisecond);

void BM_TerrainTextOurs(benchmark::State& state) {
    std::vector<char> original = terrainText();
    original.push_back('\0');
    timeOurs(state, [&original](Mesh& mesh) {
        std::vector<char> text(original);
        return !readColladaMesh(text.data(), mesh);
    });
}
BENCHMARK(BM_TerrainTextOurs)->Unit(benchmark::kMillisecond);

void BM_TerrainTextAssimp(benchmark::State& state) {
    const std::vector<char> text = terrainText();
    timeAssimp(state, [&text](Assimp::Importer& importer) {
        return importer.ReadFileFromMemory(text.data(), text.size(), aiProcess_Triangulate, "dae");
    });
}
BENCHMARK(BM_TerrainTextAssimp)->Unit(benchmark::kMillisecond);

} // namespace
