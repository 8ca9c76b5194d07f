// Every mesh file stays inside the COLLADA subset our engine reads, and its
// triangles face the side that should be visible.
#include "tests/tools/generated_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

namespace {

TEST(Collada, ReaderNoticesDepartures) {
    const auto& good = vt::fileBytes("Meshes/cube5.dae");
    auto broken = [&](const std::string& from, const std::string& to) {
        std::string t(good.begin(), good.end());
        t.replace(t.find(from), from.size(), to);
        return !vt::readDae({t.begin(), t.end()}).errors.empty();
    };
    EXPECT_TRUE(vt::readDae(good).errors.empty());
    for (auto [from, to] :
         std::vector<std::pair<std::string, std::string>>{{"<up_axis>Z_UP", "<up_axis>Y_UP"},
                                                          {"<p>0 0 0 ", "<p>0  0 0 "},
                                                          {"<p>0 0 0 ", "<p>0\n0 0 "},
                                                          {"<vcount>3 ", "<vcount>4 "},
                                                          {"count=\"12\"", "count=\"11\""},
                                                          {"<p>0 0 0 ", "<p>24 0 0 "},
                                                          {"count=\"72\"", "count=\"71\""},
                                                          {"</vertices>", "</vertices><lines/>"}})
        EXPECT_TRUE(broken(from, to)) << to;
}

TEST(Collada, EveryMeshIsWithinTheSubsetAndFacesTheVisibleSide) {
    // Direction each triangle should face, given its centre (engine space).
    const std::pair<const char*, int> meshes[] = {
        {"riverlake_terrain", 0}, {"cliff", 0}, {"water2", 0}, {"cube5", 1}, {"sphere9", 1}, {"skyCube", -1}};
    for (const auto& [name, outwards] : meshes) {
        const auto m = vt::readMesh(name);
        for (const auto& e : m.errors)
            ADD_FAILURE() << name << ": " << e;
        ASSERT_GT(m.triangles.size(), 0u) << name;
        for (std::size_t t = 0; t < m.triangles.size(); ++t) {
            vt::V3 c;
            for (auto i : m.triangles[t])
                c = {c.x + m.positions[i].x, c.y + m.positions[i].y, c.z + m.positions[i].z};
            const vt::V3 want =
                outwards ? vt::V3{c.x * outwards, c.y * outwards, c.z * outwards} : vt::V3{0, 1, 0};
            const vt::V3 n = vt::faceNormal(m, t);
            ASSERT_GT(vt::dot(n, n), 1e-18) << name << ": degenerate triangle " << t;
            ASSERT_GT(vt::dot(n, want), 0.0) << name << ": triangle " << t << " faces the wrong way";
        }
    }
}

TEST(Collada, ShapesHaveTheExpectedSize) {
    const auto cube = vt::readMesh("cube5");
    EXPECT_EQ(cube.positions.size(), 24u); // four per face: flat shading
    for (const auto& p : cube.positions)
        EXPECT_EQ(std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}), 1.0);
    EXPECT_TRUE(*std::min_element(cube.texcoords.begin(), cube.texcoords.end()) >= 0.0 &&
                *std::max_element(cube.texcoords.begin(), cube.texcoords.end()) <= 1.0);
    const auto sphere = vt::readMesh("sphere9");
    std::set<std::tuple<double, double, double>> unique;
    for (const auto& p : sphere.positions) {
        EXPECT_NEAR(vt::dot(p, p), 1.0, 1e-6);
        unique.insert({p.x, p.y, p.z});
    }
    EXPECT_EQ(unique.size(), sphere.positions.size()) << "sphere positions must be shared";
    double extent = 0;
    for (const auto& p : vt::readMesh("water2").positions) {
        EXPECT_EQ(p.y, 0.0);
        extent = std::max({extent, std::fabs(p.x), std::fabs(p.z)});
    }
    EXPECT_EQ(extent, 50.0);
}

} // namespace
