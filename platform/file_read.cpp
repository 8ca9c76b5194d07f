#include "platform/file_read.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace valley {

Problem openToRead(const std::string& path, bool streams, ReadableFile& file) {
    file = ReadableFile{};
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return std::strerror(errno);
    }
    struct stat status = {};
    if (fstat(descriptor, &status) != 0) {
        const int error = errno;
        close(descriptor);
        return std::strerror(error);
    }
    const bool regular = S_ISREG(status.st_mode);
    if (!regular && (!streams || S_ISDIR(status.st_mode))) {
        close(descriptor);
        return S_ISDIR(status.st_mode) ? "a folder, not a file" : "not a regular file";
    }
    // A pipe is read the ordinary way from here: each read waits for its writer.
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags < 0 || fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        close(descriptor);
        return std::strerror(error);
    }
    file = ReadableFile{descriptor, regular, regular ? static_cast<uint64_t>(status.st_size) : 0};
    return std::nullopt;
}

Problem readMore(ReadableFile& file, uint64_t count, std::vector<uint8_t>& bytes) {
    // A regular file's bytes go into one buffer of their size; a stream's grow with what comes.
    const uint64_t expected = file.regular ? std::min(count, file.size) : 0;
    bytes.reserve(bytes.size() + static_cast<size_t>(expected));
    uint64_t done = 0;
    while (done < count) {
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(count - done, uint64_t{1} << 20));
        const size_t start = bytes.size();
        bytes.resize(start + chunk);
        const ssize_t got = read(file.descriptor, bytes.data() + start, chunk);
        const int error = errno;
        bytes.resize(start + static_cast<size_t>(std::max<ssize_t>(got, 0)));
        if (got < 0 && error == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::strerror(error);
        }
        if (got == 0) {
            break;
        }
        done += static_cast<uint64_t>(got);
    }
    return std::nullopt;
}

void closeReadable(ReadableFile& file) {
    if (file.descriptor >= 0) {
        close(file.descriptor);
    }
    file = ReadableFile{};
}

Problem readWholeFile(const std::string& path, uint64_t largest, std::vector<uint8_t>& bytes) {
    ReadableFile file;
    Problem problem = openToRead(path, false, file);
    if (!problem && file.size > largest) {
        problem = largerThan(largest);
    }
    if (!problem) {
        problem = readMore(file, file.size, bytes);
    }
    closeReadable(file);
    return problem;
}

std::string largerThan(uint64_t largest) {
    return "larger than " + std::to_string((largest + 999999) / 1000000) + " MB";
}

} // namespace valley
