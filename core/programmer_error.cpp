#include "core/programmer_error.h"

#include <cstdio>
#include <cstdlib>

namespace valley {

void stopOnProgrammerError(const char* condition, const char* file, int line) {
    std::fflush(stdout);
    std::fprintf(stderr, "valley: programmer error at %s:%d: %s\n", file, line, condition);
    std::abort();
}

} // namespace valley
