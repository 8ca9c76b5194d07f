#include "tests/tools/generated_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace {

TEST(Determinism, GeneratingTwiceGivesIdenticalBytes) {
    const auto again = vgen::generateAll();
    ASSERT_EQ(again.size(), vt::allFiles().size());
    for (std::size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].path, vt::allFiles()[i].path);
        EXPECT_FALSE(again[i].bytes.empty()) << again[i].path;
        EXPECT_TRUE(again[i].bytes == vt::allFiles()[i].bytes) << again[i].path << " differs between runs";
    }
}

TEST(Determinism, WritesExactlyTheFilesTheBuildDeclares) {
    // A file missing from the build's output list is never regenerated; an
    // extra entry makes the build rerun the generator every time.
    std::set<std::string> declared, written;
    std::stringstream list(VALLEY_DATA_LIST);
    for (std::string item; std::getline(list, item, ',');)
        declared.insert(item);
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(testing::TempDir()) / "valley_assets_out";
    fs::remove_all(dir);
    vgen::writeAll(dir.string(), vt::allFiles());
    for (const auto& f : vt::allFiles()) {
        std::ifstream in(dir / f.path, std::ios::binary);
        EXPECT_TRUE(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}) == f.bytes) << f.path;
    }
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            written.insert(fs::relative(entry.path(), dir).generic_string());
    EXPECT_EQ(written, declared);
    fs::remove_all(dir);
}

} // namespace
