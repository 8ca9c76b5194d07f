// The BMP decoder on arbitrary bytes, held in a buffer of exactly their size. A decoded image
// is compared pixel by pixel with the file read the plain way: rows padded to 4 bytes, pixels
// stored blue, green, red.
#include "assets/texture.h"
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace valley;

namespace {

uint32_t readUint32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy owned here: the decoder must not rely on anything past the last byte.
    std::vector<uint8_t> file(data, data + size);
    BmpImage image;
    const bool decoded = !decodeBmp(file.data(), file.size(), image);
    if (!decoded) {
        require(image.width == 0 && image.height == 0 && image.rows == 0 && image.pixels.empty(),
                "a refused file leaves an empty image");
        return 0;
    }
    require(size >= 34 && file[0] == 'B' && file[1] == 'M', "only files signed BM are decoded");
    const uint32_t headerSize = readUint32(&file[14]);
    require(headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
                headerSize == 124,
            "only Windows information headers are decoded");
    require(file[28] == 24 && file[29] == 0, "only 24 bits per pixel are decoded");
    require(readUint32(&file[30]) == 0, "only uncompressed pixels are decoded");
    require(image.width > 0 && image.width <= 16384, "width within 1..16384");
    require(image.rows > 0 && image.rows <= 16384, "row count within 1..16384");
    require(image.rows == (image.height < 0 ? -image.height : image.height), "rows are |height|");
    const size_t width = static_cast<size_t>(image.width);
    const size_t rows = static_cast<size_t>(image.rows);
    require(image.pixels.size() == width * rows * 4, "4 bytes for every pixel");

    const size_t offset = readUint32(&file[10]);
    const size_t rowBytes = (3 * width + 3) / 4 * 4;
    for (size_t i = 0; i < rows; ++i) {
        for (size_t j = 0; j < width; ++j) {
            const uint8_t* stored = &file[offset + i * rowBytes + 3 * j];
            const uint8_t* pixel = &image.pixels[(i * width + j) * 4];
            require(pixel[0] == stored[0] && pixel[1] == stored[1] && pixel[2] == stored[2],
                    "pixels are the file's blue, green and red bytes");
            require(pixel[3] == 255, "pixels are opaque");
        }
    }
    return 0;
}
