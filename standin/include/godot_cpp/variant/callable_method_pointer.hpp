// callable_mp / callable_mp_static: Callables that call a C++ member or static function directly.
#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/core/method_bind.hpp>
#include <godot_cpp/core/type_info.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/callable_custom.hpp>

#include <cstdint>
#include <cstring>
#include <utility>

namespace godot {
namespace internal {

// Arguments are converted like a bound method's; the count must match exactly (no defaults).
template <typename M, typename R, typename... P> class MethodPointerCallable : public CallableCustom {
    uint64_t object_id_;
    M method_;

    static bool equal(const CallableCustom *p_a, const CallableCustom *p_b) {
        const auto *a = static_cast<const MethodPointerCallable *>(p_a);
        const auto *b = static_cast<const MethodPointerCallable *>(p_b);
        return a->object_id_ == b->object_id_ && a->method_ == b->method_;
    }
    static bool less(const CallableCustom *p_a, const CallableCustom *p_b) {
        const auto *a = static_cast<const MethodPointerCallable *>(p_a);
        const auto *b = static_cast<const MethodPointerCallable *>(p_b);
        if (a->object_id_ != b->object_id_) {
            return a->object_id_ < b->object_id_;
        }
        return std::memcmp(&a->method_, &b->method_, sizeof(M)) < 0;
    }

public:
    MethodPointerCallable(uint64_t p_object_id, M p_method) : object_id_(p_object_id), method_(p_method) {}

    uint32_t hash() const override {
        uint32_t h = static_cast<uint32_t>(object_id_ ^ (object_id_ >> 32));
        unsigned char bytes[sizeof(M)];
        std::memcpy(bytes, &method_, sizeof(M));
        for (unsigned char byte : bytes) {
            h = h * 31u + byte;
        }
        return h;
    }
    String get_as_text() const override {
        Object *object = ObjectDB::get_instance(object_id_);
        return (object ? object->get_class() : String("null")) + "::<method pointer>";
    }
    CompareEqualFunc get_compare_equal_func() const override { return &MethodPointerCallable::equal; }
    CompareLessFunc get_compare_less_func() const override { return &MethodPointerCallable::less; }
    bool is_valid() const override {
        return MethodTraits<M>::is_static || ObjectDB::get_instance(object_id_) != nullptr;
    }
    ObjectID get_object() const override { return ObjectID(object_id_); }
    int get_argument_count(bool &r_is_valid) const override {
        r_is_valid = true;
        return static_cast<int>(sizeof...(P));
    }
    void call(const Variant **p_arguments, int p_argcount, Variant &r_return_value,
              GDExtensionCallError &r_call_error) const override {
        r_call_error = GDExtensionCallError{GDEXTENSION_CALL_OK, 0, static_cast<int32_t>(sizeof...(P))};
        if (p_argcount != static_cast<int>(sizeof...(P))) {
            r_call_error.error = p_argcount > static_cast<int>(sizeof...(P))
                                     ? GDEXTENSION_CALL_ERROR_TOO_MANY_ARGUMENTS
                                     : GDEXTENSION_CALL_ERROR_TOO_FEW_ARGUMENTS;
            return;
        }
        Object *object = nullptr;
        if constexpr (!MethodTraits<M>::is_static) {
            object = ObjectDB::get_instance(object_id_);
            if (object == nullptr) {
                r_call_error.error = GDEXTENSION_CALL_ERROR_INSTANCE_IS_NULL;
                return;
            }
        }
        r_return_value =
            invoke_method<M, R, P...>(method_, object, p_arguments, std::index_sequence_for<P...>{});
    }
};

} // namespace internal

template <typename T, typename R, typename... P> Callable callable_mp(T *p_instance, R (T::*p_method)(P...)) {
    using Custom = internal::MethodPointerCallable<R (T::*)(P...), R, P...>;
    return Callable(memnew(Custom(p_instance ? p_instance->get_instance_id() : 0, p_method)));
}

template <typename T, typename R, typename... P>
Callable callable_mp(T *p_instance, R (T::*p_method)(P...) const) {
    using Custom = internal::MethodPointerCallable<R (T::*)(P...) const, R, P...>;
    return Callable(memnew(Custom(p_instance ? p_instance->get_instance_id() : 0, p_method)));
}

template <typename R, typename... P> Callable callable_mp_static(R (*p_method)(P...)) {
    using Custom = internal::MethodPointerCallable<R (*)(P...), R, P...>;
    return Callable(memnew(Custom(0, p_method)));
}

} // namespace godot
