// FNV-1a over raw bytes: the determinism tests hash the exact bit patterns of what they observe.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brinewake_test {

inline constexpr uint64_t FNV1A_OFFSET = 0xCBF29CE484222325ull;

inline uint64_t fnv1a(uint64_t p_hash, const void *p_data, size_t p_size) {
    const uint8_t *bytes = static_cast<const uint8_t *>(p_data);
    for (size_t i = 0; i < p_size; ++i) {
        p_hash ^= bytes[i];
        p_hash *= 0x100000001B3ull;
    }
    return p_hash;
}

} // namespace brinewake_test
