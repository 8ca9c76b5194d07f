#include "core/random.h"

namespace valley {

namespace {

const int32_t tableSize = 31;
const int32_t lag = 3;           // front starts this many words ahead of rear
const int32_t warmUpDraws = 310; // ten rounds of the table, thrown away at seeding

// 16807 * word modulo 2^31 - 1 without overflow (Schrage's method); the seed is read as a signed
// word, and a negative product wraps to positive.
int32_t nextSeedWord(int32_t word) {
    const int32_t high = word / 127773;
    const int32_t low = word % 127773;
    int32_t next = 16807 * low - 2836 * high;
    if (next < 0) {
        next += 2147483647;
    }
    return next;
}

} // namespace

RandomGenerator& seedRandom(RandomGenerator& generator, uint32_t seed) {
    int32_t word = static_cast<int32_t>(seed == 0 ? 1 : seed);
    generator.table[0] = static_cast<uint32_t>(word);
    for (int32_t i = 1; i < tableSize; ++i) {
        word = nextSeedWord(word);
        generator.table[i] = static_cast<uint32_t>(word);
    }
    generator.front = lag;
    generator.rear = 0;
    for (int32_t i = 0; i < warmUpDraws; ++i) {
        nextRandom(generator);
    }
    return generator;
}

int32_t nextRandom(RandomGenerator& generator) {
    uint32_t& sum = generator.table[generator.front];
    sum += generator.table[generator.rear];
    const int32_t draw = static_cast<int32_t>(sum >> 1);
    generator.front = (generator.front + 1) % tableSize;
    generator.rear = (generator.rear + 1) % tableSize;
    return draw;
}

} // namespace valley
