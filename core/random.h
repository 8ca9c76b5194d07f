// The engine's random generator: an additive lagged-Fibonacci generator with a 31-word table
// (lags 31 and 3), seeded by the minimal-standard multiplier 16807 modulo 2^31 - 1 and run 310
// draws before the first one is handed out. Every platform draws the same numbers: these are,
// draw for draw, what the GNU C library's rand() gives after srand with the same seed, so
// recordings made by earlier builds keep replaying to the same state.
//
// Draws are 0 to 2147483647; callers reduce them as they need.
#pragma once

#include <cstdint>

namespace valley {

struct RandomGenerator {
    uint32_t table[31]; // the last 31 sums, modulo 2^32
    int32_t front;      // the word the next sum is written to
    int32_t rear;       // the word 3 places behind front (cyclically) that joins it
};

// Fills `generator` from `seed` (0 counts as 1) and hands it back.
RandomGenerator& seedRandom(RandomGenerator& generator, uint32_t seed);

// The next draw, 0 to 2147483647.
int32_t nextRandom(RandomGenerator& generator);

} // namespace valley
