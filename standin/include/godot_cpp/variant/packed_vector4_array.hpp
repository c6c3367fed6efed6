// Vector4 values as a copy-on-write value.
#pragma once

#include <godot_cpp/variant/packed_array_storage.hpp>
#include <godot_cpp/variant/vector4.hpp>

#include <climits>

namespace godot {

class PackedVector4Array : public internal::PackedArrayStorage<Vector4> {
    friend class internal::PackedArrayStorage<Vector4>;

public:
    bool append(const Vector4 &p_value) {
        push(p_value);
        return true;
    }
    bool push_back(const Vector4 &p_value) { return append(p_value); }
    void append_array(const PackedVector4Array &p_array) { push_all(p_array); }
    void set(int64_t p_index, const Vector4 &p_value) { store(p_index, p_value); }
    Vector4 get(int64_t p_index) const { return load(p_index); }
    bool has(const Vector4 &p_value) const { return contains(p_value); }
    int64_t find(const Vector4 &p_value, int64_t p_from = 0) const { return index_of(p_value, p_from); }
    void fill(const Vector4 &p_value) { fill_with(p_value); }
    PackedVector4Array slice(int64_t p_begin, int64_t p_end = INT_MAX) const {
        return sliced<PackedVector4Array>(p_begin, p_end);
    }
    PackedVector4Array duplicate() const { return *this; }
};

} // namespace godot
