// Single-precision floats as a copy-on-write value.
#pragma once

#include <godot_cpp/variant/packed_array_storage.hpp>

#include <climits>

namespace godot {

class PackedFloat32Array : public internal::PackedArrayStorage<float> {
    friend class internal::PackedArrayStorage<float>;

public:
    // Values are rounded to single precision.
    bool append(double p_value) {
        push(static_cast<float>(p_value));
        return true;
    }
    bool push_back(double p_value) { return append(p_value); }
    void append_array(const PackedFloat32Array &p_array) { push_all(p_array); }
    void set(int64_t p_index, double p_value) { store(p_index, static_cast<float>(p_value)); }
    double get(int64_t p_index) const { return load(p_index); }
    bool has(double p_value) const { return contains(static_cast<float>(p_value)); }
    int64_t find(double p_value, int64_t p_from = 0) const {
        return index_of(static_cast<float>(p_value), p_from);
    }
    void fill(double p_value) { fill_with(static_cast<float>(p_value)); }
    PackedFloat32Array slice(int64_t p_begin, int64_t p_end = INT_MAX) const {
        return sliced<PackedFloat32Array>(p_begin, p_end);
    }
    PackedFloat32Array duplicate() const { return *this; }
};

} // namespace godot
