#include "core/report.h"

#include "core/printable.h"
#include "core/programmer_error.h"

#include <cstdio>

namespace valley {

namespace {

struct FailureLine {
    Failure failure;
    bool onStandardError;
    const char* before; // then the name, if the line shows one
    const char* middle; // then the problem, if the line shows it
    const char* after;
    bool showsName;
    bool showsWhy;
};

const FailureLine failureLines[] = {
    {Failure::mesh, false, "error: mesh ", "", " loaded incorrectly!", true, false},
    {Failure::noMesh, false, "error: mesh is NULL!", "", "", false, false},
    {Failure::texture, false, "error: texture ", " loaded incorrectly: ", "", true, true},
    {Failure::shaderRead, false, "error: shader ", " cannot be read: ", "", true, true},
    {Failure::shaderEmpty, false, "error: shader ", "", " is missing or empty!", true, false},
    {Failure::windowIcon, false, "error: window icon ", "", "", false, true},
    {Failure::windowSystem, true, "Failed to initialize GLFW. (", "", ")", false, true},
    {Failure::window, true, "Failed to open GLFW window. (", "", ")", false, true},
    {Failure::usage, true, "valley: ", "", "", false, true},
    {Failure::write, true, "valley: cannot write ", ": ", "", true, true},
};

} // namespace

bool report(const Problem& problem, Failure failure, const std::string& name) {
    if (!problem) {
        return false;
    }
    for (const FailureLine& line : failureLines) {
        if (line.failure != failure) {
            continue;
        }
        std::string text = line.before;
        text += line.showsName ? printable(name) : "";
        text += line.middle;
        text += line.showsWhy ? *problem : "";
        text += line.after;
        text += '\n';
        std::fputs(text.c_str(), line.onStandardError ? stderr : stdout);
        return true;
    }
    VALLEY_ASSERT(!"every kind of failure has its line in the table");
    return false;
}

} // namespace valley
