// Objects freed when the last reference (Ref<T> or Variant) lets go.
#pragma once

#include <godot_cpp/classes/object.hpp>

#include <cstdint>

namespace godot {

class RefCounted : public Object {
    GDCLASS(RefCounted, Object)

public:
    RefCounted();

    // The first reference; the stand-in treats it like any other.
    bool init_ref();
    bool reference();
    // True when the count has dropped to 0: the caller then frees the object.
    bool unreference();
    int32_t get_reference_count() const { return refcount_; }

protected:
    static void _bind_methods();

private:
    int32_t refcount_ = 0;
};

} // namespace godot

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/core/class_db.hpp>
