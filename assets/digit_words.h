// Decimal digits read 8 characters at a time: a text's bytes loaded as one 64-bit word (the
// first character in the low byte, whatever the byte order) and taken apart without branches,
// since the numbers of a mesh file vary too much for branches to be predicted.
#pragma once

#include <cstdint>
#include <cstring>

namespace valley {

inline bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// 8 characters read as one word, the first in the low byte.
inline uint64_t loadWord(const char* c) {
    uint64_t word;
    std::memcpy(&word, c, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    return word;
}

// Shifts by an even 0 to 64 bits (64 clears the word), done in two halves.
inline uint64_t shiftedDown(uint64_t word, int bits) { return word >> (bits / 2) >> (bits / 2); }
inline uint64_t shiftedUp(uint64_t word, int bits) { return word << (bits / 2) << (bits / 2); }

// The leading decimal digits of a word of 8 characters.
struct DigitRun {
    uint64_t digits; // each character minus '0'
    int length;      // how many characters before the first non-digit, 8 when none is
};

// Top bit of each byte set for a non-digit, given the word minus '0' in every byte: a digit
// gives 0..9; any other byte sets its top bit here or after adding 0x76. Borrows and carries
// only run towards later characters, so every byte up to the first non-digit is judged right.
inline uint64_t nonDigitBits(uint64_t digits) {
    return (digits | (digits + 0x7676767676767676u)) & 0x8080808080808080u;
}

inline DigitRun digitRun(uint64_t word) {
    const uint64_t digits = word - 0x3030303030303030u;
    const uint64_t nonDigits = nonDigitBits(digits);
    // The bits below the first non-digit's top bit, 8 x length + 7 of them (64 without one).
    const uint64_t before = (nonDigits - 1) & ~nonDigits;
    const int length = (64 - __builtin_clzll(before)) / 8;
    return DigitRun{digits, length};
}

// The value of the run's digits: moved to the top bytes over zeros (leading zero digits), then
// combined in pairs, fours and eights.
inline uint64_t valueOf(const DigitRun& run) {
    uint64_t digits = shiftedUp(run.digits, 64 - 8 * run.length);
    digits = digits * 10 + (digits >> 8);
    digits = ((digits & 0x000000FF000000FFu) * (100 + (uint64_t{1000000} << 32)) +
              ((digits >> 16) & 0x000000FF000000FFu) * (1 + (uint64_t{10000} << 32))) >>
             32;
    return digits & 0xFFFFFFFFu;
}

} // namespace valley
