// The DDS check on arbitrary bytes, held in a buffer of exactly their size. A file it takes is
// decoded by SOIL (no OpenGL needed for that) from exactly the checked bytes, and must come out
// at the checked size.
#include "assets/dds_check.h"
#include "fuzz/fuzz_check.h"

#include <SOIL/SOIL.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

using namespace valley;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(data, data + size);
    DdsLayout layout;
    if (checkDds(file.data(), file.size(), 16384, layout)) {
        require(layout.width == 0 && layout.height == 0 && layout.levels == 0 && layout.size == 0,
                "a refused file leaves an empty layout");
        return 0;
    }
    require(layout.width >= 1 && layout.width <= 16384 && layout.height >= 1 && layout.height <= 16384,
            "sides within 1..16384");
    require(layout.levels >= 1 && (std::max(layout.width, layout.height) >> (layout.levels - 1)) >= 1,
            "no more levels than the sides have");
    require(layout.size > 128 && layout.size <= size, "the checked bytes lie inside the file");
    std::vector<uint8_t> checked(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(layout.size));
    int width = 0;
    int height = 0;
    int channels = 0;
    unsigned char* pixels = SOIL_load_image_from_memory(checked.data(), static_cast<int>(checked.size()),
                                                        &width, &height, &channels, SOIL_LOAD_AUTO);
    require(pixels != nullptr, "SOIL decodes a checked file");
    require(width == layout.width && height == layout.height, "SOIL decodes it at the checked size");
    SOIL_free_image_data(pixels);
    return 0;
}
