// memnew / memdelete: creation and destruction of engine objects.
#pragma once

#include <godot_cpp/core/defs.hpp>

#include <type_traits>

namespace godot {

template <typename T> T *_post_initialize(T *p_object) {
    return p_object;
}

template <typename T> void memdelete(T *p_object) {
    static_assert(sizeof(T) > 0, "memdelete of an incomplete type");
    delete p_object;
}

} // namespace godot

// Yields T*; a RefCounted result is usually taken straight into a Ref<T>: `Ref<T> r = memnew(T);`.
#define memnew(m_class) ::godot::_post_initialize(new m_class)
