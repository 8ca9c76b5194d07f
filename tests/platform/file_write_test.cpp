#include "platform/file_write.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>

using namespace valley;

namespace {

// A folder of its own, and a file-size limit of 100 bytes while the test runs (a write past it
// fails with EFBIG instead of ending the process).
class FileWrite : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/valley-write-XXXXXX";
        folder = mkdtemp(pattern);
        previousSignal = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previousLimit);
        rlimit limit = previousLimit;
        limit.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    void TearDown() override {
        setrlimit(RLIMIT_FSIZE, &previousLimit);
        std::signal(SIGXFSZ, previousSignal);
        std::filesystem::remove_all(folder);
    }

    std::string folder;
    rlimit previousLimit = {};
    void (*previousSignal)(int) = nullptr;
};

} // namespace

TEST_F(FileWrite, AnAppendThatDoesNotFitIsTakenBackWhole) {
    const std::string path = folder + "/appended";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(appendWhole(file, std::vector<uint8_t>(60, 1)), std::nullopt);
    EXPECT_EQ(appendWhole(file, std::vector<uint8_t>(60, 2)), "File too large");
    std::fclose(file);
    EXPECT_EQ(std::filesystem::file_size(path), 60u);
}

TEST_F(FileWrite, ANewFileThatCannotBeWrittenWholeIsNotLeft) {
    const struct {
        std::string path;
        size_t size;
        Problem problem;
    } cases[] = {
        {folder + "/fits", 100, std::nullopt},
        {folder + "/too-large", 101, "File too large"},
        {folder + "/no-such-folder/file", 1, "No such file or directory"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(writeNewFile(c.path, std::vector<uint8_t>(c.size, 7)), c.problem) << c.path;
        EXPECT_EQ(std::filesystem::exists(c.path), !c.problem) << c.path;
    }
    EXPECT_EQ(folderWritable(folder), std::nullopt);
    EXPECT_NE(folderWritable("/proc"), std::nullopt);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1)
        << "only the file that fitted";
}

TEST_F(FileWrite, ATallyCountsEveryWriteAndNamesOnlyTheFirstFailure) {
    WriteTally tally;
    testing::internal::CaptureStderr();
    const Problem full = "No space left on device";
    for (const Problem& problem : {Problem{}, full, Problem{}, full}) {
        tallyWrite(tally, folder + "/frame", problem);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "valley: cannot write " + folder + "/frame: No space left on device\n");
    EXPECT_EQ(tally.written, 2);
    EXPECT_EQ(tally.failed, 2);
}
