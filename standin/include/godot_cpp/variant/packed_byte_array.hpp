// Bytes as a copy-on-write value; the engine's wire format for packets.
#pragma once

#include <godot_cpp/variant/packed_array_storage.hpp>

#include <climits>

namespace godot {

class PackedByteArray : public internal::PackedArrayStorage<uint8_t> {
    friend class internal::PackedArrayStorage<uint8_t>;

public:
    // Values are stored modulo 256.
    bool append(int64_t p_value) {
        push(static_cast<uint8_t>(p_value));
        return true;
    }
    bool push_back(int64_t p_value) { return append(p_value); }
    void append_array(const PackedByteArray &p_array) { push_all(p_array); }
    void set(int64_t p_index, int64_t p_value) { store(p_index, static_cast<uint8_t>(p_value)); }
    int64_t get(int64_t p_index) const { return load(p_index); }
    bool has(int64_t p_value) const {
        return p_value >= 0 && p_value < 256 && contains(static_cast<uint8_t>(p_value));
    }
    int64_t find(int64_t p_value, int64_t p_from = 0) const {
        return (p_value >= 0 && p_value < 256) ? index_of(static_cast<uint8_t>(p_value), p_from) : -1;
    }
    void fill(int64_t p_value) { fill_with(static_cast<uint8_t>(p_value)); }
    PackedByteArray slice(int64_t p_begin, int64_t p_end = INT_MAX) const {
        return sliced<PackedByteArray>(p_begin, p_end);
    }
    PackedByteArray duplicate() const { return *this; }
};

} // namespace godot
