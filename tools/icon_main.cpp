// valley_icon FILE.png: draws the program's icon (tools/icon.h) into FILE.png.
#include "tools/icon.h"

#include <stb/stb_image_write.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.png\n", argv[0]);
        return 2;
    }
    const vgen::Image icon = vgen::makeIcon(128);
    if (stbi_write_png(argv[1], icon.width, icon.height, 3, icon.rgb.data(), icon.width * 3) == 0) {
        std::fprintf(stderr, "valley_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
