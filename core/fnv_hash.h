// 32-bit FNV-1a over bytes: the check words of recordings and the hash of a session's state.
// Feed it piece by piece, starting from fnvStart.
#pragma once

#include "core/vec_math.h"

#include <cstddef>
#include <cstdint>

namespace valley {

const uint32_t fnvStart = 2166136261u;

inline uint32_t fnvAdd(uint32_t hash, const void* bytes, size_t size) {
    const unsigned char* next = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ next[i]) * 16777619u;
    }
    return hash;
}

inline uint32_t fnvAddVec3(uint32_t hash, const Vec3& v) {
    const float parts[3] = {v.x, v.y, v.z};
    return fnvAdd(hash, parts, sizeof parts);
}

} // namespace valley
