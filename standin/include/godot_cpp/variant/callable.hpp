// A callable: an object's method by name, or a CallableCustom that the callable owns.
#pragma once

#include <gdextension_interface.h>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>
#include <memory>

namespace godot {

class Variant;
class Array;
class Object;
class CallableCustom;

class Callable {
    std::shared_ptr<CallableCustom> custom_;
    uint64_t object_id_ = 0;
    StringName method_;

public:
    Callable() = default;
    Callable(Object *p_object, const StringName &p_method);
    // Takes ownership of p_custom (allocated with memnew).
    Callable(CallableCustom *p_custom);

    static Callable create(const Variant &p_variant, const StringName &p_method);

    CallableCustom *get_custom() const { return custom_.get(); }
    bool is_null() const;
    bool is_custom() const { return custom_ != nullptr; }
    bool is_standard() const { return custom_ == nullptr; }
    bool is_valid() const;
    Object *get_object() const;
    int64_t get_object_id() const;
    StringName get_method() const { return method_; }
    int64_t get_argument_count() const;
    int64_t hash() const;

    Variant callv(const Array &p_arguments) const;
    template <typename... Args> Variant call(const Args &...p_args) const;
    void callp(const Variant **p_arguments, int p_argcount, Variant &r_return_value,
               GDExtensionCallError &r_call_error) const;

    bool operator==(const Callable &p_other) const;
    bool operator!=(const Callable &p_other) const { return !(*this == p_other); }
};

} // namespace godot

#include <godot_cpp/variant/variant.hpp>
