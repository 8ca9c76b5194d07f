#include "assets/dds_check.h"
#include "tools/dds_samples.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace valley;

TEST(DdsCheck, TakesTheSoundSamplesAndRefusesTheHostileOnes) {
    for (const vgen::DdsSample& sample : vgen::ddsSamples()) {
        const std::vector<uint8_t>& bytes = sample.file.bytes;
        DdsLayout layout = {7, 7, 7, 7};
        EXPECT_EQ(!checkDds(bytes.data(), bytes.size(), 16384, layout), sample.sound) << sample.file.path;
        if (!sample.sound) {
            EXPECT_EQ(layout.width + layout.height + layout.levels, 0) << sample.file.path;
            EXPECT_EQ(layout.size, 0u) << sample.file.path;
        }
    }
}

TEST(DdsCheck, LayoutCountsEveryDeclaredLevelAndSidesStayWithinTheLargestGiven) {
    const struct {
        const char* name;
        int32_t largestSide;
        DdsLayout layout; // zero when refused
    } cases[] = {
        {"dxt1_8x4_mipmaps.dds", 16384, {8, 4, 4, 128 + 5 * 8}},
        {"dxt1_8x4_mipmaps.dds", 8, {8, 4, 4, 128 + 5 * 8}},
        {"dxt1_8x4_mipmaps.dds", 4, {0, 0, 0, 0}},
        {"dxt5_8x8_mipmaps.dds", 16384, {8, 8, 4, 128 + 7 * 16}},
        {"rgba_2x2_mipmaps.dds", 16384, {2, 2, 2, 128 + 5 * 4}},
        {"rgb_5x3_one_mipmap_count.dds", 16384, {5, 3, 1, 128 + 45}},
        // Sides a context might allow but SOIL's int sizes would not.
        {"dxt1_65536x16384_no_data.dds", 1 << 20, {0, 0, 0, 0}},
    };
    const std::vector<vgen::DdsSample> samples = vgen::ddsSamples();
    for (const auto& c : cases) {
        const auto sample = std::find_if(samples.begin(), samples.end(),
                                         [&c](const vgen::DdsSample& s) { return s.file.path == c.name; });
        ASSERT_NE(sample, samples.end()) << c.name;
        std::vector<uint8_t> bytes = sample->file.bytes;
        bytes.resize(bytes.size() + 100); // bytes past the levels are no part of the layout
        DdsLayout layout;
        EXPECT_EQ(!checkDds(bytes.data(), bytes.size(), c.largestSide, layout), c.layout.width != 0)
            << c.name;
        EXPECT_EQ(layout.width, c.layout.width) << c.name;
        EXPECT_EQ(layout.height, c.layout.height) << c.name;
        EXPECT_EQ(layout.levels, c.layout.levels) << c.name;
        EXPECT_EQ(layout.size, c.layout.size) << c.name;
    }
}
