// Numbers read from the texts of COLLADA elements, fast and exactly as the C library reads them.
//
// Contract, for zero-terminated texts (nothing past the terminating zero is read):
// - tokens are runs of characters other than ' ', as strtok(text, " ") cuts them (a newline or
//   tab stays inside a token);
// - readFloats gives every token's (float)atof(token), bit for bit, in whatever locale is set;
// - indices read as atoi reads them, for every value from 0 up to largestCount; a larger value
//   comes back as something above largestCount and a negative one as a value above every
//   limit, so both are refused as indices, as atoi's values outside int are.
#pragma once

#include "assets/digit_words.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace valley {

// Far above any mesh of the valley; keeps every count within 32 bits.
constexpr int64_t largestCount = int64_t{1} << 26;

// The tokens of one zero-terminated text, in order. Token starts (a non-space at the text's
// start or after a space) are found 64 characters at a time, so reading one number does not
// wait for the end of the one before.
class Tokens {
public:
    explicit Tokens(char* text);

    // The text's terminating zero.
    const char* end() const { return text_ + length_; }

    // Whether strtod's decimal point is '.', as in the C locale.
    bool dotDecimals() const { return dotDecimals_; }

    // Hands the next `count` tokens in order to read(token, i), i counting from 0; false when
    // the text ends first.
    template <class Read> bool read(int64_t count, Read read) {
        // Locals, so that the compiler need not store them back around every token.
        uint64_t starts = starts_;
        int64_t i = 0;
        while (i < count) {
            if (starts == 0) {
                if (scanned_ >= length_) {
                    return false;
                }
                scanBlock();
                starts = starts_;
                continue;
            }
            char* block = text_ + (scanned_ - 64);
            do {
                read(block + __builtin_ctzll(starts), i);
                starts &= starts - 1;
                ++i;
            } while (starts != 0 && i < count);
        }
        starts_ = starts;
        return true;
    }

    // How many tokens are left; the walk ends.
    int64_t countRest();

private:
    void scanBlock();

    char* text_;
    size_t length_;
    bool dotDecimals_;
    size_t scanned_ = 0;       // characters looked at, a multiple of 64
    uint64_t starts_ = 0;      // token starts among the last 64 not handed out yet
    uint64_t spaceBefore_ = 1; // the character before the next 64 is a space (or there is none)
};

// The next `count` tokens as floats; false when the text ends first.
bool readFloats(Tokens& tokens, int64_t count, float* values);

// The three indices starting at the next token after `cursor`, which moves past them; false
// when the text (ending at `end`) runs out first.
bool readIndexTriple(const char*& cursor, const char* end, uint64_t fields[3]);

// The `count` index triples of a text, each field checked against its limit (it must be
// below), handed in order to place(k, first, second, third). False for a field out of range or
// a text too short.
template <class Place>
bool readIndexTriples(const char* text, int64_t count, const uint64_t limits[3], Place place) {
    const char* cursor = text;
    const char* end = cursor + std::strlen(cursor);
    const uint64_t sharedLimit = std::min({limits[0], limits[1], limits[2]});
    int64_t k = 0;
    while (k < count) {
        while (*cursor == ' ') {
            ++cursor;
        }
        // Mesh files give most triples as one number three times, single spaces between, and
        // neighbouring triples mostly numbers as wide: while that holds, triples are read with
        // the width fixed, so that where the next one starts is known at once.
        const int width = end - cursor >= 32 ? std::min(digitRun(loadWord(cursor)).length, 7) : 0;
        if (width > 0) {
            const int step = width + 1;
            const uint64_t digitsAndSpace = ~uint64_t{0} >> (64 - 8 * step);
            const uint64_t digitBytes = digitsAndSpace >> 8;
            const uint64_t space = uint64_t{' '} << (8 * width);
            while (k < count && end - cursor >= 32) {
                const uint64_t word = loadWord(cursor);
                const uint64_t text = word & digitsAndSpace;
                const uint64_t digits = word - 0x3030303030303030u;
                if ((nonDigitBits(digits) & digitBytes) != 0 || (text & ~digitBytes) != space ||
                    (loadWord(cursor + step) & digitsAndSpace) != text ||
                    (loadWord(cursor + 2 * step) & digitsAndSpace) != text) {
                    break;
                }
                const uint64_t value = valueOf(DigitRun{digits, width});
                if (value >= sharedLimit) {
                    return false;
                }
                place(k++, value, value, value);
                cursor += 3 * step;
            }
            if (k == count) {
                break;
            }
        }
        // Anything else, one triple at a time.
        uint64_t fields[3];
        if (!readIndexTriple(cursor, end, fields) || fields[0] >= limits[0] || fields[1] >= limits[1] ||
            fields[2] >= limits[2]) {
            return false;
        }
        place(k++, fields[0], fields[1], fields[2]);
    }
    return true;
}

} // namespace valley
