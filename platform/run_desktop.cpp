// The desktop's side of the process: the loop runs inside the call, and the process start comes
// from /proc.
#include "platform/window.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace valley {

bool platformPlaying() { return true; }

int platformRunLoop(const std::function<bool()>& step, const std::function<int()>& finish) {
    while (step()) {
    }
    return finish();
}

// From the process's start time in /proc (clock ticks since boot).
double platformSecondsSinceStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    size_t fields = text.rfind(')');
    if (fields == std::string::npos) {
        return 0.0;
    }
    char* next = &text[fields + 1];
    unsigned long long startTicks = 0;
    for (int field = 3; field <= 22; ++field) { // the start time is field 22
        startTicks = std::strtoull(next, &next, 10);
        if (field == 3) {
            next += 2; // field 3 is the state letter
        }
    }
    timespec now = {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    double bootSeconds = static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    return bootSeconds - static_cast<double>(startTicks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace valley
