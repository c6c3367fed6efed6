// Bound methods: a member or static function callable with Variant arguments.
#pragma once

#include <gdextension_interface.h>
#include <godot_cpp/core/property_info.hpp>
#include <godot_cpp/core/type_info.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

namespace godot {

class Object;

class MethodBind {
public:
    virtual ~MethodBind() = default;

    // Missing trailing arguments come from the defaults; too many, or too few without defaults, set
    // r_error and call nothing.
    Variant call(Object *p_object, const Variant **p_args, int p_argcount,
                 GDExtensionCallError &r_error) const;

    const StringName &get_name() const { return name_; }
    const StringName &get_instance_class() const { return instance_class_; }
    int get_argument_count() const { return static_cast<int>(argument_info_.size()); }
    const std::vector<Variant> &get_default_arguments() const { return default_arguments_; }
    const PropertyInfo &get_argument_info(int p_index) const {
        return argument_info_[static_cast<size_t>(p_index)];
    }
    const PropertyInfo &get_return_info() const { return return_info_; }
    bool has_return() const { return has_return_; }
    bool is_const() const { return is_const_; }
    bool is_static() const { return is_static_; }
    uint32_t get_hint_flags() const;

    // Set once while the class database binds the method.
    void set_name(const StringName &p_name) { name_ = p_name; }
    void set_instance_class(const StringName &p_class) { instance_class_ = p_class; }
    void set_argument_names(const std::vector<StringName> &p_names);
    void set_default_arguments(const std::vector<Variant> &p_defaults) { default_arguments_ = p_defaults; }

protected:
    // p_args holds exactly get_argument_count() arguments.
    virtual Variant invoke(Object *p_object, const Variant *const *p_args) const = 0;

    StringName name_;
    StringName instance_class_;
    std::vector<PropertyInfo> argument_info_;
    PropertyInfo return_info_;
    std::vector<Variant> default_arguments_;
    bool has_return_ = false;
    bool is_const_ = false;
    bool is_static_ = false;
};

namespace internal {

template <typename F> struct MethodTraits;

template <typename T, typename R, typename... P> struct MethodTraits<R (T::*)(P...)> {
    using Class = T;
    using Return = R;
    static constexpr bool is_const = false;
    static constexpr bool is_static = false;
};

template <typename T, typename R, typename... P> struct MethodTraits<R (T::*)(P...) const> {
    using Class = T;
    using Return = R;
    static constexpr bool is_const = true;
    static constexpr bool is_static = false;
};

template <typename R, typename... P> struct MethodTraits<R (*)(P...)> {
    using Return = R;
    static constexpr bool is_const = false;
    static constexpr bool is_static = true;
};

// Calls p_method (a member function on p_object, or a static function) with each argument converted
// to its parameter type; the result as a Variant (nil for void).
template <typename M, typename R, typename... P, size_t... I>
Variant invoke_method(M p_method, Object *p_object, const Variant *const *p_args, std::index_sequence<I...>) {
    (void)p_args;
    if constexpr (MethodTraits<M>::is_static) {
        (void)p_object;
        if constexpr (std::is_void_v<R>) {
            p_method(VariantCaster<P>::cast(*p_args[I])...);
            return Variant();
        } else {
            return to_variant(p_method(VariantCaster<P>::cast(*p_args[I])...));
        }
    } else {
        using T = typename MethodTraits<M>::Class;
        T *instance = static_cast<T *>(p_object);
        if constexpr (std::is_void_v<R>) {
            (instance->*p_method)(VariantCaster<P>::cast(*p_args[I])...);
            return Variant();
        } else {
            return to_variant((instance->*p_method)(VariantCaster<P>::cast(*p_args[I])...));
        }
    }
}

template <typename M, typename R, typename... P> class MethodBindT : public MethodBind {
    M method_;

protected:
    Variant invoke(Object *p_object, const Variant *const *p_args) const override {
        return invoke_method<M, R, P...>(method_, p_object, p_args, std::index_sequence_for<P...>{});
    }

public:
    explicit MethodBindT(M p_method) : method_(p_method) {
        argument_info_ = {get_type_property_info<P>()...};
        return_info_ = get_type_property_info<R>();
        has_return_ = !std::is_void_v<R>;
        is_const_ = MethodTraits<M>::is_const;
        is_static_ = MethodTraits<M>::is_static;
    }
};

} // namespace internal

template <typename T, typename R, typename... P> MethodBind *create_method_bind(R (T::*p_method)(P...)) {
    return new internal::MethodBindT<R (T::*)(P...), R, P...>(p_method);
}

template <typename T, typename R, typename... P>
MethodBind *create_method_bind(R (T::*p_method)(P...) const) {
    return new internal::MethodBindT<R (T::*)(P...) const, R, P...>(p_method);
}

template <typename R, typename... P> MethodBind *create_static_method_bind(R (*p_method)(P...)) {
    return new internal::MethodBindT<R (*)(P...), R, P...>(p_method);
}

} // namespace godot
