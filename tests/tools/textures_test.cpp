// Texture files: header fields, row layout, loading through SOIL, and the
// look and tiling each texture promises.
#include "tests/tools/generated_data.h"

#include "tools/textures.h"

#include <SOIL/SOIL.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

std::uint32_t le(const std::vector<std::uint8_t>& b, std::size_t at, int n = 4) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | b[at + i];
    return v;
}

using vt::Pixels;

Pixels load(const std::vector<std::uint8_t>& bytes, int force = SOIL_LOAD_RGB) {
    return vt::loadPixels(bytes, force);
}
Pixels load(const std::string& name) { return vt::loadTexture(name); }

TEST(Bmp, HeadersDescribeA24BitBottomUpImage) {
    for (const char* name : {"rhyolite", "rock1", "overlayedsquare", "water1_f", "skybox_texture"}) {
        SCOPED_TRACE(name);
        const auto& b = vt::fileBytes(std::string("Textures/") + name + ".bmp");
        const std::uint32_t w = le(b, 18), h = le(b, 22), stride = (w * 3 + 3) & ~3U;
        EXPECT_EQ(le(b, 0, 2), 0x4D42u); // "BM"
        EXPECT_EQ(le(b, 2), b.size());
        EXPECT_EQ(le(b, 10), 54u);            // pixel data offset
        EXPECT_EQ(le(b, 14), 40u);            // BITMAPINFOHEADER
        EXPECT_EQ(le(b, 26), 24u << 16 | 1u); // one plane, 24 bits
        EXPECT_EQ(le(b, 30), 0u);             // BI_RGB
        EXPECT_EQ(le(b, 34), stride * h);
        EXPECT_EQ(b.size(), 54 + stride * h);
        EXPECT_TRUE(w >= 256 && w <= 1024 && (w & (w - 1)) == 0 && h >= 256 && h <= w && (h & (h - 1)) == 0);
        // The file stores the bottom row first, in BGR order.
        const Pixels p = load(b);
        ASSERT_TRUE(p.w == int(w) && p.h == int(h));
        for (std::uint32_t y : {0U, h / 3, h - 1})
            for (std::uint32_t x : {0U, w / 2 + 1, w - 1})
                for (int c = 0; c < 3; ++c)
                    EXPECT_EQ(p.at(x, y)[c], b[54 + (h - 1 - y) * stride + 3 * x + 2 - c]);
    }
    vgen::Image odd(5, 3); // 15 bytes of pixels per row, padded to 16
    for (int i = 0; i < 15; ++i)
        odd.set(i % 5, i / 5, {i * 17.0, 255.0 - i, 3.0 * i});
    const auto b = vgen::encodeBmp(odd);
    EXPECT_EQ(b.size(), 54u + 16 * 3);
    EXPECT_TRUE(load(b).rgb == odd.rgb);
}

TEST(Dds, GrassLoadsThroughSoilAsRgb) {
    for (int variant : {0, 1}) {
        const Pixels p =
            load(vt::fileBytes(variant ? "Textures/grass3.dds" : "Textures/grass1.dds"), SOIL_LOAD_AUTO);
        EXPECT_TRUE(p.w == 256 && p.h == 256 && p.channels == 3) << p.w << "x" << p.h << "x" << p.channels;
        EXPECT_TRUE(p.rgb == vgen::makeGrass(256, variant).rgb) << "pixels or channel order changed";
        EXPECT_GT(p.mean(1), std::max(p.mean(0), p.mean(2)) + 20); // green
    }
}

TEST(Textures, LookLikeWhatTheyAreCalledAndTile) {
    const Pixels rhyolite = load("rhyolite.bmp"), rock = load("rock1.bmp"), water = load("water1_f.bmp");
    const Pixels grass1 = load("grass1.dds"), grass3 = load("grass3.dds"), sky = load("skybox_texture.bmp");
    const Pixels square = load("overlayedsquare.bmp");
    // Lit flat ground shows its texture at 1.5 times, slopes facing the sun at up to twice: the
    // stone and the grass stay dark enough to keep their colour there.
    for (const Pixels* p : {&rhyolite, &grass1, &grass3})
        EXPECT_LT(1.5 * std::max({p->mean(0), p->mean(1), p->mean(2)}), 180);
    // Grey-brown stone: warm, but hardly coloured.
    EXPECT_TRUE(rhyolite.mean(0) > rhyolite.mean(1) + 2 && rhyolite.mean(1) > rhyolite.mean(2) + 2);
    EXPECT_LT(rhyolite.mean(0) - rhyolite.mean(2), 0.4 * rhyolite.mean(1));
    EXPECT_LT(std::fabs(rock.mean(0) - rock.mean(2)), 10); // neutral grey
    EXPECT_GT(std::min(water.mean(1), water.mean(2)), water.mean(0) + 40);
    EXPECT_GT(std::fabs(grass1.mean(0) - grass3.mean(0)), 15);
    EXPECT_LT(square.at(2, 2)[0] + 0, 80); // dark frame around a bright checker
    EXPECT_GT(square.at(square.w / 2 - 20, square.h / 2 - 20)[1] + 0, 100);

    for (const Pixels* p : {&rhyolite, &rock, &water, &grass1, &grass3, &sky}) {
        // The wrap-around step is no bigger than a typical step inside.
        double inner = 0;
        for (int x = 0; x + 1 < p->w; x += 8)
            inner += p->diff(x, x + 1, true) / (p->w / 8);
        EXPECT_LT(p->diff(p->w - 1, 0, true), 2 * inner + 3);
        EXPECT_TRUE(p == &sky || p->diff(p->h - 1, 0, false) < 2 * inner + 3);
    }
}

} // namespace
