// Reading the files the program loads (meshes, textures, shaders, recordings) with a bound, so
// that nothing in a folder can hang the program or make it read without end.
//
// A file is opened without blocking (a FIFO with no writer answers at once), and then it must be
// a regular file, whose size is known before a byte is read; a loader reads a file only when its
// size is within the bound of its kind, and a format with a header reads the header first and
// then only the bytes the header asks for. Only a recording the user names may also be a pipe
// or a device, read up to its own bound. Sizes in bytes.
#pragma once

#include "core/problem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace valley {

struct ReadableFile {
    int descriptor = -1;
    bool regular = false; // its size is known
    uint64_t size = 0;    // a regular file's size when it was opened
};

// Opens a file to read; `streams` lets a pipe or device through (read until it ends), otherwise
// anything but a regular file is refused. The problem is why it cannot be read.
Problem openToRead(const std::string& path, bool streams, ReadableFile& file);
// Appends up to `count` more bytes of the file, fewer where it ends.
Problem readMore(ReadableFile& file, uint64_t count, std::vector<uint8_t>& bytes);
void closeReadable(ReadableFile& file);

// The whole of a regular file of at most `largest` bytes; nothing is read from a larger one.
Problem readWholeFile(const std::string& path, uint64_t largest, std::vector<uint8_t>& bytes);
// "larger than 12 MB": why a file over the bound is refused (decimal megabytes, rounded up).
std::string largerThan(uint64_t largest);

} // namespace valley
