// Writing the files a session makes (the recording, captured frames) so that a failed write is
// never silent: each writer hands back why it failed (core/problem.h), and a tally counts what
// was written and reports the first failure in one line on standard error, naming the file.
#pragma once

#include "core/problem.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace valley {

// Appends all the bytes to an open file, or none: a write cut short (a full disk, a file-size
// limit) is taken back.
Problem appendWhole(std::FILE* file, const std::vector<uint8_t>& bytes);

// Writes a whole new file; on failure nothing is left under the name.
Problem writeNewFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Whether a file can be made in the folder: one is made and removed.
Problem folderWritable(const std::string& folder);

struct WriteTally {
    int written = 0;
    int failed = 0;
};

// Counts one write; the first failure prints "valley: cannot write PATH: PROBLEM" on standard
// error.
void tallyWrite(WriteTally& tally, const std::string& path, const Problem& problem);

} // namespace valley
