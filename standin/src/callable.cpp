#include "class_db_internal.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/callable_custom.hpp>

#include <functional>
#include <vector>

namespace godot {

int CallableCustomBase::get_argument_count(bool &r_is_valid) const {
    r_is_valid = false;
    return 0;
}

bool CallableCustom::is_valid() const {
    return ObjectDB::get_instance(get_object()) != nullptr;
}

Callable::Callable(Object *p_object, const StringName &p_method)
    : object_id_(p_object ? p_object->get_instance_id() : 0), method_(p_method) {}

Callable::Callable(CallableCustom *p_custom) {
    if (p_custom != nullptr) {
        custom_ = std::shared_ptr<CallableCustom>(p_custom, [](CallableCustom *p) { memdelete(p); });
    }
}

Callable Callable::create(const Variant &p_variant, const StringName &p_method) {
    return Callable(p_variant.operator Object *(), p_method);
}

bool Callable::is_null() const {
    return custom_ == nullptr && object_id_ == 0 && method_.is_empty();
}

bool Callable::is_valid() const {
    if (custom_) {
        return custom_->is_valid();
    }
    Object *object = ObjectDB::get_instance(object_id_);
    return object != nullptr && object->has_method(method_);
}

Object *Callable::get_object() const {
    return ObjectDB::get_instance(custom_ ? uint64_t(custom_->get_object()) : object_id_);
}

int64_t Callable::get_object_id() const {
    return static_cast<int64_t>(custom_ ? uint64_t(custom_->get_object()) : object_id_);
}

int64_t Callable::get_argument_count() const {
    if (custom_) {
        bool valid = false;
        const int count = custom_->get_argument_count(valid);
        return valid ? count : 0;
    }
    Object *object = ObjectDB::get_instance(object_id_);
    MethodBind *bind = object ? internal::find_method(object->get_class(), method_) : nullptr;
    return bind ? bind->get_argument_count() : 0;
}

int64_t Callable::hash() const {
    if (custom_) {
        return custom_->hash();
    }
    return static_cast<int64_t>(method_.hash() ^ static_cast<uint32_t>(object_id_ ^ (object_id_ >> 32)));
}

void Callable::callp(const Variant **p_arguments, int p_argcount, Variant &r_return_value,
                     GDExtensionCallError &r_call_error) const {
    r_call_error = GDExtensionCallError{GDEXTENSION_CALL_OK, 0, 0};
    if (custom_) {
        custom_->call(p_arguments, p_argcount, r_return_value, r_call_error);
        return;
    }
    Object *object = ObjectDB::get_instance(object_id_);
    if (object == nullptr) {
        r_call_error.error = GDEXTENSION_CALL_ERROR_INSTANCE_IS_NULL;
        r_return_value = Variant();
        return;
    }
    r_return_value = object->callp(method_, p_arguments, p_argcount, r_call_error);
}

Variant Callable::callv(const Array &p_arguments) const {
    std::vector<const Variant *> pointers;
    for (int64_t i = 0; i < p_arguments.size(); ++i) {
        pointers.push_back(&p_arguments[i]);
    }
    Variant result;
    GDExtensionCallError error;
    callp(pointers.data(), static_cast<int>(pointers.size()), result, error);
    return result;
}

bool Callable::operator==(const Callable &p_other) const {
    if (custom_ || p_other.custom_) {
        if (!custom_ || !p_other.custom_) {
            return false;
        }
        if (custom_ == p_other.custom_) {
            return true;
        }
        const CallableCustom::CompareEqualFunc equal = custom_->get_compare_equal_func();
        return equal != nullptr && equal == p_other.custom_->get_compare_equal_func() &&
               equal(custom_.get(), p_other.custom_.get());
    }
    return object_id_ == p_other.object_id_ && method_ == p_other.method_;
}

} // namespace godot
