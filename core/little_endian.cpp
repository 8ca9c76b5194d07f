#include "core/little_endian.h"

#include <cstring>

namespace valley {

uint64_t readLittleEndian(const uint8_t* bytes, int size) {
    uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
        value |= static_cast<uint64_t>(bytes[i]) << (8 * i);
    }
    return value;
}

uint32_t readUint32LittleEndian(const uint8_t* bytes) {
    return static_cast<uint32_t>(readLittleEndian(bytes, 4));
}

int32_t readInt32LittleEndian(const uint8_t* bytes) {
    const uint32_t value = readUint32LittleEndian(bytes);
    int32_t result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

void appendLittleEndian(std::vector<uint8_t>& bytes, uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

} // namespace valley
