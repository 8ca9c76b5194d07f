// Integers stored least significant byte first, the order of every binary file the engine reads
// or writes (BMP and DDS headers, recordings), whatever the machine's own order. Sizes in bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace valley {

uint64_t readLittleEndian(const uint8_t* bytes, int size); // size 1 to 8
uint32_t readUint32LittleEndian(const uint8_t* bytes);
int32_t readInt32LittleEndian(const uint8_t* bytes);                            // two's complement
void appendLittleEndian(std::vector<uint8_t>& bytes, uint64_t value, int size); // the low `size` bytes

} // namespace valley
