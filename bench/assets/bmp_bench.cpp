// A 1024 x 1024 24-bit bottom-up BMP held in memory, decoded by ours and by stb_image. Both give
// 4 bytes per pixel: ours blue, green, red, 255 in stored row order; stb_image is asked for 4
// channels (red, green, blue, 255) and turns the rows top-down as it decodes.
#include "assets/texture.h"
#include "tests/assets/asset_files.h"

#include <benchmark/benchmark.h>
#include <stb/stb_image.h>

#include <cstdint>
#include <vector>

using namespace valley;

namespace {

constexpr int32_t side = 1024;

// Rows need no padding at this width; the pixels vary in every channel.
const std::vector<uint8_t>& picture() {
    static const std::vector<uint8_t> bytes = makeBmp(side, side, [](int row, int column, uint8_t bgr[3]) {
        const uint32_t mixed =
            static_cast<uint32_t>(row) * 2654435761u ^ static_cast<uint32_t>(column) * 40503u;
        bgr[0] = static_cast<uint8_t>(mixed);
        bgr[1] = static_cast<uint8_t>(mixed >> 8);
        bgr[2] = static_cast<uint8_t>(mixed >> 16);
    });
    return bytes;
}

void BM_Bmp1024Ours(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = picture();
    for (auto _ : state) {
        BmpImage image;
        if (decodeBmp(bytes.data(), bytes.size(), image)) {
            state.SkipWithError("the picture was refused");
            return;
        }
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_Bmp1024Ours)->Unit(benchmark::kMillisecond);

void BM_Bmp1024Stb(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = picture();
    for (auto _ : state) {
        int width = 0;
        int height = 0;
        int channels = 0;
        stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height,
                                                &channels, 4);
        if (pixels == nullptr || width != side || height != side) {
            stbi_image_free(pixels);
            state.SkipWithError("stb_image refused the picture");
            return;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_Bmp1024Stb)->Unit(benchmark::kMillisecond);

} // namespace
