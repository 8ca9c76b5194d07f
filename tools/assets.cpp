#include "tools/assets.h"

#include "tools/image.h"
#include "tools/mesh.h"
#include "tools/sky.h"
#include "tools/terrain.h"
#include "tools/textures.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace vgen {

namespace {

GeneratedFile meshFile(const std::string& name, const Mesh& mesh) {
    const std::string text = writeCollada(mesh);
    return {"Meshes/" + name + ".dae", std::vector<std::uint8_t>(text.begin(), text.end())};
}

} // namespace

std::vector<GeneratedFile> generateAll() {
    std::vector<GeneratedFile> files;
    const Mesh terrain = buildTerrainMesh();
    files.push_back(meshFile("riverlake_terrain", terrain));
    files.push_back(meshFile("cliff", buildCliffMesh(terrainHeights(terrain))));
    files.push_back(meshFile("water2", buildGridMesh(
                                           "water2", 5, 50.0, [](double, double) { return 0.0; }, 5.0)));
    files.push_back(meshFile("cube5", buildCube("cube5")));
    files.push_back(meshFile("sphere9", buildSphere("sphere9", 16, 12)));
    files.push_back(meshFile("skyCube", buildSkyCube("skyCube")));

    files.push_back({"Textures/rhyolite.bmp", encodeBmp(makeRhyolite(256))});
    files.push_back({"Textures/rock1.bmp", encodeBmp(makeDarkRock(256))});
    files.push_back({"Textures/overlayedsquare.bmp", encodeBmp(makeOverlayedSquare(256))});
    files.push_back({"Textures/water1_f.bmp", encodeBmp(makeWater(256))});
    files.push_back({"Textures/skybox_texture.bmp", encodeBmp(makeSky(1024, 512))});
    files.push_back({"Textures/grass1.dds", encodeDds(makeGrass(256, 0))});
    files.push_back({"Textures/grass3.dds", encodeDds(makeGrass(256, 1))});
    return files;
}

void writeAll(const std::string& outDir, const std::vector<GeneratedFile>& files) {
    namespace fs = std::filesystem;
    for (const GeneratedFile& f : files) {
        const fs::path target = fs::path(outDir) / f.path;
        fs::create_directories(target.parent_path());
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(f.bytes.data()),
                  static_cast<std::streamsize>(f.bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + target.string());
    }
}

} // namespace vgen
