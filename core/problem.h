// The one way a step that can fail hands back how it went: a Problem holds why it failed, in one
// line without a line feed, or nothing when it succeeded. It cannot be dropped unread (the
// build makes that an error), and report() (core/report.h) prints it as the console line of its kind
// (docs/code_tour.md, "Failures").
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace valley {

class [[nodiscard]] Problem {
public:
    Problem() = default; // none: the step succeeded
    Problem(std::nullopt_t) {}
    Problem(std::string why) : why_(std::move(why)) {}
    Problem(const char* why) : why_(std::string(why)) {}

    explicit operator bool() const { return why_.has_value(); }
    const std::string& operator*() const { return *why_; } // only when there is a problem
    const std::string* operator->() const { return &*why_; }
    friend bool operator==(const Problem& a, const Problem& b) { return a.why_ == b.why_; }
    friend bool operator!=(const Problem& a, const Problem& b) { return !(a == b); }

private:
    std::optional<std::string> why_;
};

} // namespace valley
