// The engine's Array: a list of Variants shared by reference (copies see each other's changes).
#pragma once

#include <cstdint>
#include <memory>

namespace godot {

class Variant;

namespace internal {
struct ArrayData;
}

class Array {
    std::shared_ptr<internal::ArrayData> data_;

public:
    Array();

    template <typename... Args> static Array make(const Args &...p_args);

    int64_t size() const;
    bool is_empty() const;
    void clear();
    // New elements are nil. Returns an Error code (0 when done).
    int64_t resize(int64_t p_size);

    void push_back(const Variant &p_value);
    void append(const Variant &p_value);
    void append_array(const Array &p_array);
    int64_t insert(int64_t p_position, const Variant &p_value);
    void remove_at(int64_t p_position);
    void erase(const Variant &p_value);
    void push_front(const Variant &p_value);
    Variant pop_back();
    Variant pop_front();
    Variant front() const;
    Variant back() const;
    bool has(const Variant &p_value) const;
    int64_t find(const Variant &p_what, int64_t p_from = 0) const;
    int64_t count(const Variant &p_value) const;
    Variant get(int64_t p_index) const;
    void set(int64_t p_index, const Variant &p_value);
    void reverse();
    Array slice(int64_t p_begin, int64_t p_end = 0x7FFFFFFF, int64_t p_step = 1, bool p_deep = false) const;
    Array duplicate(bool p_deep = false) const;
    bool is_same_instance(const Array &p_other) const { return data_ == p_other.data_; }

    // Outside the array: an index error, and a scratch nil instead of the engine's crash.
    const Variant &operator[](int64_t p_index) const;
    Variant &operator[](int64_t p_index);

    const Variant *begin() const;
    const Variant *end() const;
    Variant *begin();
    Variant *end();

    bool operator==(const Array &p_other) const;
    bool operator!=(const Array &p_other) const;
};

} // namespace godot

#include <godot_cpp/variant/variant.hpp>
