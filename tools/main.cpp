// valley_assets OUTDIR: writes the valley's meshes and textures below OUTDIR.
#include "tools/assets.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    try {
        const auto files = vgen::generateAll();
        vgen::writeAll(argv[1], files);
        std::printf("valley_assets: wrote %zu files to %s\n", files.size(), argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "valley_assets: %s\n", e.what());
        return 1;
    }
    return 0;
}
