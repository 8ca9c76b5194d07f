// The one way a step that can fail hands back how it went: a Problem holds why it failed, in one
// line without a line feed, or nothing when it succeeded. Who prints it, and where, depends on
// the kind of failure (docs/code_tour.md, "Failures").
#pragma once

#include <optional>
#include <string>

namespace valley {

using Problem = std::optional<std::string>;

} // namespace valley
