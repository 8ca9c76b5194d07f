// valley_icon DIR: draws the program's icon (tools/icon.h) at every size the desktop asks for,
// as DIR/icons/hicolor/NxN/apps/valley.png: the icon theme's layout, installed as it is.
#include "tools/icon.h"

#include <stb/stb_image_write.h>

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const std::string side = std::to_string(size);
        const std::filesystem::path folder =
            std::filesystem::path(argv[1]) / "icons/hicolor" / (side + "x" + side) / "apps";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        const std::string path = (folder / "valley.png").string();
        const vgen::Image icon = vgen::makeIcon(size);
        if (stbi_write_png(path.c_str(), icon.width, icon.height, 3, icon.rgb.data(), icon.width * 3) == 0) {
            std::fprintf(stderr, "valley_icon: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
