// Reported failures: every console line the program prints for bad input or a failed step,
// written once, in one table. A loader or step hands back a Problem (core/problem.h); its caller
// passes it here with the kind of failure and the name of what failed. Names go through
// printable (core/printable.h), so a control character in a file name cannot forge a line.
//
// Programmer errors are not reported here: they stop the program (core/programmer_error.h).
#pragma once

#include "core/problem.h"

#include <string>

namespace valley {

enum class Failure {
    mesh,         // "error: mesh NAME loaded incorrectly!" (the reason is not shown)
    noMesh,       // "error: mesh is NULL!"
    texture,      // "error: texture NAME loaded incorrectly: WHY"
    shaderRead,   // "error: shader NAME cannot be read: WHY"
    shaderEmpty,  // "error: shader NAME is missing or empty!"
    windowIcon,   // "error: window icon WHY"
    windowSystem, // "Failed to initialize GLFW. (WHY)" on standard error
    window,       // "Failed to open GLFW window. (WHY)" on standard error
    usage,        // "valley: WHY" on standard error (the command line, a recording)
    write,        // "valley: cannot write NAME: WHY" on standard error
};

// Prints the line of `failure` when there is a problem; nothing otherwise. True when it printed.
bool report(const Problem& problem, Failure failure, const std::string& name = "");

} // namespace valley
