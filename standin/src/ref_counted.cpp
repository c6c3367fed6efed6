#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/class_db.hpp>

namespace godot {

RefCounted::RefCounted() {
    _gde_mark_ref_counted();
}

bool RefCounted::init_ref() {
    return reference();
}

bool RefCounted::reference() {
    ++refcount_;
    return true;
}

bool RefCounted::unreference() {
    if (refcount_ > 0) {
        --refcount_;
    }
    return refcount_ == 0;
}

void RefCounted::_bind_methods() {
    ClassDB::bind_method(D_METHOD("get_reference_count"), &RefCounted::get_reference_count);
}

STANDIN_REGISTER_ENGINE_CLASS(RefCounted);

} // namespace godot
