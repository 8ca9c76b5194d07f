#include "tests/support/rgb_image.h"

#include <stb/stb_image.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

RgbImage loadPng(const std::string& path) {
    RgbImage image;
    int channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &image.width, &image.height, &channels, 3);
    if (pixels == nullptr) {
        return RgbImage{};
    }
    image.pixels.assign(pixels, pixels + static_cast<size_t>(image.width) * image.height * 3);
    stbi_image_free(pixels);
    return image;
}

Colour bandMean(const RgbImage& image, float top, float bottom) {
    double sum[3] = {0, 0, 0};
    int first = static_cast<int>(top * image.height);
    int last = static_cast<int>(bottom * image.height);
    for (int y = first; y < last; ++y) {
        const unsigned char* row = image.pixels.data() + static_cast<size_t>(y) * image.width * 3;
        for (int i = 0; i < image.width * 3; ++i) {
            sum[i % 3] += row[i];
        }
    }
    double count = std::max(1.0, double(last - first) * image.width);
    return {float(sum[0] / count), float(sum[1] / count), float(sum[2] / count)};
}

float blueness(const Colour& colour) { return colour.b - 0.5f * (colour.r + colour.g); }

double meanDifference(const RgbImage& small, const RgbImage& large, int left, int step) {
    double total = 0.0;
    for (int y = 0; y < small.height; ++y) {
        for (int x = 0; x < small.width; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                double block = 0.0; // large's step x step pixels under this one, averaged
                for (int j = 0; j < step; ++j) {
                    for (int i = 0; i < step; ++i) {
                        const size_t at =
                            (static_cast<size_t>(y * step + j) * large.width + left + x * step + i) * 3;
                        block += large.pixels[at + channel];
                    }
                }
                const size_t here = (static_cast<size_t>(y) * small.width + x) * 3;
                total += std::abs(small.pixels[here + channel] - block / (step * step));
            }
        }
    }
    return total / (3.0 * small.width * small.height);
}

int changedPixels(const RgbImage& before, const RgbImage& after) {
    int changed = 0;
    for (size_t i = 0; i + 2 < before.pixels.size() && i + 2 < after.pixels.size(); i += 3) {
        int difference = std::abs(before.pixels[i] - after.pixels[i]) +
                         std::abs(before.pixels[i + 1] - after.pixels[i + 1]) +
                         std::abs(before.pixels[i + 2] - after.pixels[i + 2]);
        changed += difference > 60 ? 1 : 0;
    }
    return changed;
}

namespace {

std::vector<float> profile(const RgbImage& image, bool byColumn) {
    std::vector<float> sums(byColumn ? image.width : image.height, 0.0f);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const unsigned char* p = image.pixels.data() + (static_cast<size_t>(y) * image.width + x) * 3;
            sums[byColumn ? x : y] += float(p[0] + p[1] + p[2]) / 3.0f;
        }
    }
    float across = float(byColumn ? image.height : image.width);
    for (float& sum : sums) {
        sum /= across;
    }
    return sums;
}

} // namespace

std::vector<float> columnProfile(const RgbImage& image) { return profile(image, true); }

std::vector<float> rowProfile(const RgbImage& image) { return profile(image, false); }

int contentShift(const std::vector<float>& before, const std::vector<float>& after, int maxShift) {
    int size = static_cast<int>(std::min(before.size(), after.size()));
    int best = 0;
    float bestDifference = std::numeric_limits<float>::max();
    for (int shift = -maxShift; shift <= maxShift; ++shift) {
        float difference = 0.0f;
        int count = 0;
        for (int i = std::max(0, -shift); i < size && i + shift < size; ++i) {
            difference += std::fabs(after[i] - before[i + shift]);
            ++count;
        }
        if (count > 0 && difference / count < bestDifference) {
            bestDifference = difference / count;
            best = shift;
        }
    }
    return best;
}
