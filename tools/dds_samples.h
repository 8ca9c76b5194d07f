// DDS files for the texture loader's checks and the DDS fuzz target's seeds: sound files of
// every kind the engine takes, and hostile ones whose headers overflow SOIL's sizes, declare
// more levels than their sides have or than the file holds, or that are another format.
#pragma once

#include "tools/assets.h"

#include <vector>

namespace vgen {

struct DdsSample {
    GeneratedFile file; // path: a file name ending ".dds"
    bool sound;         // the engine takes it (with a largest texture side of 16384)
};

// Same bytes on every call.
std::vector<DdsSample> ddsSamples();

} // namespace vgen
