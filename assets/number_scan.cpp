// Numbers of COLLADA element texts: tokens, decimals read as atof and indices as atoi read
// them, with the common plain spellings decoded 8 or 16 characters at a time.
#include "assets/number_scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <system_error>

namespace valley {

namespace {

// Tokens are runs of anything but spaces, each ended by a space or the end of the text: what
// strtok(text, " ") cuts, found without changing the text.
bool endsToken(char c) { return c == ' ' || c == '\0'; }

// Bit i set when c[i] is a space or i is past the `available` characters: 16 characters at a
// time where the processor can, one by one for the text's last 64.
uint64_t spaceBits(const char* c, size_t available) {
#if defined(__SSE2__)
    if (available >= 64) {
        const __m128i space = _mm_set1_epi8(' ');
        uint64_t bits = 0;
        for (int i = 0; i < 4; ++i) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + 16 * i));
            const uint32_t matches = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, space)));
            bits |= static_cast<uint64_t>(matches) << (16 * i);
        }
        return bits;
    }
#endif
    uint64_t bits = 0;
    for (size_t i = 0; i < 64; ++i) {
        if (i >= available || c[i] == ' ') {
            bits |= uint64_t{1} << i;
        }
    }
    return bits;
}

// strtod on the token alone: its end is made the end of the text for the call.
double strtodToken(char* token) {
    char* tokenEnd = token;
    while (!endsToken(*tokenEnd)) {
        ++tokenEnd;
    }
    const char separator = *tokenEnd;
    *tokenEnd = '\0';
    const double value = std::strtod(token, nullptr);
    *tokenEnd = separator;
    return value;
}

// from_chars for a plain decimal that makes up the whole token, strtod for anything else. A
// standard library without a floating-point from_chars (the browser's) has strtod read all: its C
// library's strtod rounds correctly too.
#if defined(__cpp_lib_to_chars)
double readDoubleSlowly(char* token, const char* end) {
    const char* digits = token + (*token == '-' ? 1 : 0);
    if (isDigit(*digits) || *digits == '.') {
        double value = 0.0;
        const std::from_chars_result read = std::from_chars(token, end, value);
        if (read.ec == std::errc() && endsToken(*read.ptr)) {
            return value;
        }
    }
    return strtodToken(token);
}
#else
double readDoubleSlowly(char* token, const char*) { return strtodToken(token); }
#endif

// The token at `token` as atof reads it (`end`: the text's terminating zero), all three ways
// giving strtod's double:
// - [-]digits[.digits] with at most 8 digits, at most 7 before the point: the digits as an
//   integer divided by a power of ten up to 10^8, both exact in a double, so the one rounding of
//   the division is the correct rounding strtod gives;
// - any other plain decimal ([-]digits[.digits][e[+-]digits]) that makes up the whole token:
//   from_chars, correctly rounded as glibc's strtod is;
// - everything else goes to strtod itself: leading whitespace, '+', hex, inf and nan,
//   characters after the number, no number at all, values out of range (strtod gives infinity
//   or zero, from_chars gives nothing).
// With a decimal point other than '.' (the engine never sets a locale) strtod reads everything.
inline double readDouble(char* token, const char* end) {
    const bool negative = *token == '-';
    const char* digits = token + (negative ? 1 : 0);
    if (end - digits >= 16) {
        const uint64_t first = loadWord(digits);
        const uint64_t second = loadWord(digits + 8);
        // The first point among the first 7 characters, looked for apart from the digits so
        // that the two searches overlap: each byte equal to '.' sets its top bit.
        const uint64_t notPoint = first ^ 0x2E2E2E2E2E2E2E2Eu;
        const uint64_t points =
            ~(((notPoint & 0x7F7F7F7F7F7F7F7Fu) + 0x7F7F7F7F7F7F7F7Fu) | notPoint) & 0x0080808080808080u;
        const int point = points != 0 ? 1 : 0;
        const int wholeBits = __builtin_ctzll(points | uint64_t{1} << 63) & ~7; // 56 without a point
        // The characters again with the point taken out (by a shift distance rather than a
        // branch: numbers with and without one mix), so that one run holds all the digits.
        const int skipped = wholeBits + 8 * point;
        const uint64_t rest = shiftedDown(first, skipped) | shiftedUp(second, 64 - skipped);
        const DigitRun number = digitRun((first & ~(~uint64_t{0} << wholeBits)) | rest << wholeBits);
        // Negative when something other than digits comes before the point.
        const int fractionLength = (number.length - wholeBits / 8) & -point;
        if (number.length > 0 && fractionLength >= 0 && endsToken(digits[number.length + point])) {
            static constexpr double powersOfTen[9] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
            static constexpr double signs[2] = {1.0, -1.0};
            // At most 8 digits: exact as a double, and converted as a signed number (cheaper).
            const double digitsValue = static_cast<double>(static_cast<int64_t>(valueOf(number)));
            return signs[negative ? 1 : 0] * (digitsValue / powersOfTen[fractionLength]);
        }
    }
    return readDoubleSlowly(token, end);
}

// atoi's reading (whitespace, one sign, digits up to the first other character) for
// readIndex.
int64_t readIndexSlowly(const char* token) {
    const char* c = token;
    while (*c == '\t' || *c == '\n' || *c == '\v' || *c == '\f' || *c == '\r') {
        ++c;
    }
    const bool negative = *c == '-';
    if (*c == '-' || *c == '+') {
        ++c;
    }
    int64_t value = 0;
    for (; isDigit(*c); ++c) {
        if (value <= largestCount) {
            value = 10 * value + (*c - '0');
        }
    }
    return negative && value != 0 ? -1 : value;
}

// The token at `token` as atoi reads it, where only values from 0 up to the largest count
// matter: a larger value comes back as something above the largest count, any negative one as
// -1.
int64_t readIndex(const char* token, const char* end) {
    if (end - token >= 8) {
        // Digits, 1 to 8 of them, right up to the token's end.
        const DigitRun run = digitRun(loadWord(token));
        if (run.length > 0 && endsToken(token[run.length])) {
            return static_cast<int64_t>(valueOf(run));
        }
    }
    return readIndexSlowly(token);
}

// The next token's start, past the spaces at `cursor`; none when only spaces are left.
const char* tokenAt(const char* cursor) {
    while (*cursor == ' ') {
        ++cursor;
    }
    return *cursor == '\0' ? nullptr : cursor;
}

// Just past the token at `token`.
const char* pastToken(const char* token) {
    while (!endsToken(*token)) {
        ++token;
    }
    return token;
}

} // namespace

Tokens::Tokens(char* text)
    : text_(text), length_(std::strlen(text)),
      dotDecimals_(std::strcmp(std::localeconv()->decimal_point, ".") == 0) {}

int64_t Tokens::countRest() {
    int64_t count = __builtin_popcountll(starts_);
    while (scanned_ < length_) {
        scanBlock();
        count += __builtin_popcountll(starts_);
    }
    starts_ = 0;
    return count;
}

void Tokens::scanBlock() {
    const uint64_t spaces = spaceBits(text_ + scanned_, length_ - scanned_);
    starts_ = ~spaces & (spaces << 1 | spaceBefore_);
    spaceBefore_ = spaces >> 63;
    scanned_ += 64;
}

bool readFloats(Tokens& tokens, int64_t count, float* values) {
    const char* end = tokens.end();
    if (!tokens.dotDecimals()) {
        return tokens.read(
            count, [values](char* token, int64_t i) { values[i] = static_cast<float>(strtodToken(token)); });
    }
    return tokens.read(count, [values, end](char* token, int64_t i) {
        values[i] = static_cast<float>(readDouble(token, end));
    });
}

bool readIndexTriple(const char*& cursor, const char* end, uint64_t fields[3]) {
    const char* token = tokenAt(cursor);
    for (int field = 0; field < 3; ++field) {
        if (token == nullptr) {
            return false;
        }
        // Negative numbers, -1 here, become too large to pass as indices.
        fields[field] = static_cast<uint64_t>(readIndex(token, end));
        cursor = pastToken(token);
        if (field < 2) {
            token = tokenAt(cursor);
        }
    }
    return true;
}

} // namespace valley
