#include "platform/file_write.h"

#include "core/report.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace valley {

Problem appendWhole(std::FILE* file, const std::vector<uint8_t>& bytes) {
    if (std::fflush(file) != 0) {
        return std::strerror(errno);
    }
    const int descriptor = fileno(file);
    const off_t start = lseek(descriptor, 0, SEEK_END);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(descriptor, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            const std::string problem = wrote < 0 ? std::strerror(errno) : "nothing was written";
            if (start >= 0 && ftruncate(descriptor, start) != 0) {
                return problem + "; the part written stays";
            }
            return problem;
        }
        done += static_cast<size_t>(wrote);
    }
    return std::nullopt;
}

Problem writeNewFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return std::strerror(errno);
    }
    errno = 0;
    int error = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fflush(file) != 0) {
        error = errno != 0 ? errno : EIO;
    }
    if (std::fclose(file) != 0 && error == 0) {
        error = errno != 0 ? errno : EIO;
    }
    if (error != 0) {
        std::remove(path.c_str());
        return std::strerror(error);
    }
    return std::nullopt;
}

Problem folderWritable(const std::string& folder) {
    const std::string probe = folder + "/.valley-write-check-" + std::to_string(getpid());
    const Problem problem = writeNewFile(probe, {0});
    std::remove(probe.c_str());
    return problem;
}

void tallyWrite(WriteTally& tally, const std::string& path, const Problem& problem) {
    if (!problem) {
        ++tally.written;
        return;
    }
    if (++tally.failed == 1) {
        report(problem, Failure::write, path);
    }
}

} // namespace valley
