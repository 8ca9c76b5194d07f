// Whole files read into memory for the loaders.
#pragma once

#include <cstdio>
#include <vector>

namespace valley {

// Appends every byte of the file; false when it cannot be opened. `mode` is the fopen mode:
// "rb" for pictures, "r" for text (the same on the POSIX systems the engine runs on).
inline bool readWholeFile(const char* fileName, const char* mode, std::vector<char>& bytes) {
    std::FILE* file = std::fopen(fileName, mode);
    if (file == nullptr) {
        return false;
    }
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    std::fclose(file);
    return true;
}

} // namespace valley
