// Strings as a copy-on-write value (the class database's name lists).
#pragma once

#include <godot_cpp/variant/packed_array_storage.hpp>
#include <godot_cpp/variant/string.hpp>

#include <climits>

namespace godot {

class PackedStringArray : public internal::PackedArrayStorage<String> {
    friend class internal::PackedArrayStorage<String>;

public:
    bool append(const String &p_value) {
        push(p_value);
        return true;
    }
    bool push_back(const String &p_value) { return append(p_value); }
    void append_array(const PackedStringArray &p_array) { push_all(p_array); }
    void set(int64_t p_index, const String &p_value) { store(p_index, p_value); }
    String get(int64_t p_index) const { return load(p_index); }
    bool has(const String &p_value) const { return contains(p_value); }
    int64_t find(const String &p_value, int64_t p_from = 0) const { return index_of(p_value, p_from); }
    PackedStringArray slice(int64_t p_begin, int64_t p_end = INT_MAX) const {
        return sliced<PackedStringArray>(p_begin, p_end);
    }
    PackedStringArray duplicate() const { return *this; }
};

} // namespace godot
