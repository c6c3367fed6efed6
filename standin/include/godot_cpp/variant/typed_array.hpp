// An Array whose elements are meant to be of one type (the engine checks; the stand-in does not).
#pragma once

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <initializer_list>

namespace godot {

template <typename T> class TypedArray : public Array {
public:
    TypedArray() = default;
    TypedArray(const Array &p_array) : Array(p_array) {}
    TypedArray(const Variant &p_variant) : Array(p_variant.operator Array()) {}
    TypedArray(std::initializer_list<T> p_values) {
        for (const T &value : p_values) {
            push_back(Variant(value));
        }
    }
};

} // namespace godot
