// Paths and names as a console line may show them: a control character (a line feed, an escape
// sequence) or a backslash in a file name is written as a C escape (\n, \t, \x1b, \\), so that a
// name can neither break a message into two lines nor pass for another.
#pragma once

#include <string>

namespace valley {

std::string printable(const std::string& text);

} // namespace valley
