// Programmer errors: a condition the code itself guarantees, checked where breaking it would
// corrupt the run (a list node removed from a list that does not hold it, a pool handed no slot). Unlike a
// reported failure (core/report.h), which bad files or arguments cause and the run survives, a
// broken guarantee stops the program at once with one line naming the place, in every build,
// tests included: it is never compiled out.
#pragma once

namespace valley {

[[noreturn]] void stopOnProgrammerError(const char* condition, const char* file, int line);

} // namespace valley

#define VALLEY_ASSERT(condition)                                                                             \
    ((condition) ? static_cast<void>(0) : ::valley::stopOnProgrammerError(#condition, __FILE__, __LINE__))
