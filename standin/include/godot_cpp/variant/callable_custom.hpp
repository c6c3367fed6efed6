// Base of user-defined callables (a lambda, a bound member function).
#pragma once

#include <gdextension_interface.h>
#include <godot_cpp/core/object_id.hpp>
#include <godot_cpp/variant/string.hpp>

#include <cstdint>

namespace godot {

class Variant;

class CallableCustomBase {
public:
    virtual ObjectID get_object() const = 0;
    // The default knows no argument count (r_is_valid false).
    virtual int get_argument_count(bool &r_is_valid) const;
    virtual void call(const Variant **p_arguments, int p_argcount, Variant &r_return_value,
                      GDExtensionCallError &r_call_error) const = 0;
    virtual ~CallableCustomBase() {}
};

class CallableCustom : public CallableCustomBase {
public:
    typedef bool (*CompareEqualFunc)(const CallableCustom *p_a, const CallableCustom *p_b);
    typedef bool (*CompareLessFunc)(const CallableCustom *p_a, const CallableCustom *p_b);

    virtual uint32_t hash() const = 0;
    virtual String get_as_text() const = 0;
    virtual CompareEqualFunc get_compare_equal_func() const = 0;
    virtual CompareLessFunc get_compare_less_func() const = 0;
    // The default: valid while the object of get_object() exists.
    virtual bool is_valid() const;
    virtual ObjectID get_object() const = 0;
    virtual void call(const Variant **p_arguments, int p_argcount, Variant &r_return_value,
                      GDExtensionCallError &r_call_error) const = 0;
};

} // namespace godot
