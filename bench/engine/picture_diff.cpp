// Compares two folders of captured frames (valley --capture) picture by picture: for every
// frame-NNNNNN.png of the first, the file of the same name in the second. Channels are 0 to 255.
// The same picture: equal sizes, every channel's mean absolute difference over the frame at most
// 1 and no channel of any pixel off by more than 8.
//
//   valley_picture_diff BEFORE_DIR AFTER_DIR      exit status 0: every frame the same picture
#include <stb/stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const double largestMean = 1.0;
const int largestPixel = 8;

struct FrameDiff {
    double mean[3]; // per channel
    int largest;    // any channel, any pixel
};

bool diffFrames(const std::string& before, const std::string& after, FrameDiff& diff) {
    int width[2] = {};
    int height[2] = {};
    int channels = 0;
    unsigned char* a = stbi_load(before.c_str(), &width[0], &height[0], &channels, 3);
    unsigned char* b = stbi_load(after.c_str(), &width[1], &height[1], &channels, 3);
    const bool comparable = a != nullptr && b != nullptr && width[0] == width[1] && height[0] == height[1];
    diff = FrameDiff{{0, 0, 0}, 0};
    if (comparable) {
        const size_t pixels = static_cast<size_t>(width[0]) * static_cast<size_t>(height[0]);
        long long sums[3] = {0, 0, 0};
        for (size_t i = 0; i < pixels * 3; ++i) {
            const int d = std::abs(static_cast<int>(a[i]) - static_cast<int>(b[i]));
            sums[i % 3] += d;
            diff.largest = std::max(diff.largest, d);
        }
        for (int c = 0; c < 3; ++c) {
            diff.mean[c] = static_cast<double>(sums[c]) / static_cast<double>(pixels);
        }
    }
    stbi_image_free(a);
    stbi_image_free(b);
    return comparable;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s BEFORE_DIR AFTER_DIR\n", argv[0]);
        return 2;
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("frame-", 0) == 0 && entry.path().extension() == ".png") {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    bool same = !names.empty();
    double worstMean = 0.0;
    int worstPixel = 0;
    int identical = 0;
    for (const std::string& name : names) {
        FrameDiff diff;
        if (!diffFrames(std::string(argv[1]) + "/" + name, std::string(argv[2]) + "/" + name, diff)) {
            std::printf("%s: missing or of another size\n", name.c_str());
            same = false;
            continue;
        }
        const double mean = std::max({diff.mean[0], diff.mean[1], diff.mean[2]});
        worstMean = std::max(worstMean, mean);
        worstPixel = std::max(worstPixel, diff.largest);
        identical += diff.largest == 0 ? 1 : 0;
        if (mean > largestMean || diff.largest > largestPixel) {
            std::printf("%s: mean %.3f, largest %d\n", name.c_str(), mean, diff.largest);
            same = false;
        }
    }
    std::printf("Picture: %zu frames (%d identical), worst channel mean %.4f / 255, largest pixel "
                "difference %d / 255: %s\n",
                names.size(), identical, worstMean, worstPixel, same ? "same picture" : "CHANGED");
    return same ? 0 : 1;
}
