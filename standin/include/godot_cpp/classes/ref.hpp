// Ref<T>: a counted reference to a RefCounted object.
#pragma once

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace godot {

template <typename T> class Ref {
    T *reference_ = nullptr;

    void ref_pointer(T *p_object) {
        if (p_object == reference_) {
            return;
        }
        if (p_object != nullptr) {
            p_object->reference();
        }
        unref();
        reference_ = p_object;
    }

public:
    Ref() = default;
    Ref(T *p_object) { ref_pointer(p_object); }
    Ref(const Ref &p_other) { ref_pointer(p_other.reference_); }
    Ref(Ref &&p_other) noexcept : reference_(p_other.reference_) { p_other.reference_ = nullptr; }
    template <typename U> Ref(const Ref<U> &p_other) { ref_pointer(Object::cast_to<T>(p_other.ptr())); }
    Ref(const Variant &p_variant) { ref_pointer(Object::cast_to<T>(p_variant.operator Object *())); }
    ~Ref() { unref(); }

    Ref &operator=(const Ref &p_other) {
        ref_pointer(p_other.reference_);
        return *this;
    }
    Ref &operator=(Ref &&p_other) noexcept {
        if (this != &p_other) {
            unref();
            reference_ = p_other.reference_;
            p_other.reference_ = nullptr;
        }
        return *this;
    }
    template <typename U> Ref &operator=(const Ref<U> &p_other) {
        ref_pointer(Object::cast_to<T>(p_other.ptr()));
        return *this;
    }
    Ref &operator=(const Variant &p_variant) {
        ref_pointer(Object::cast_to<T>(p_variant.operator Object *()));
        return *this;
    }

    T *operator->() const { return reference_; }
    T &operator*() const { return *reference_; }
    T *ptr() const { return reference_; }
    bool is_valid() const { return reference_ != nullptr; }
    bool is_null() const { return reference_ == nullptr; }

    void unref() {
        T *old = reference_;
        reference_ = nullptr;
        if (old != nullptr && old->unreference()) {
            memdelete(old);
        }
    }
    void instantiate() { ref_pointer(memnew(T)); }
    template <typename... Args> void instantiate(Args &&...p_args) {
        ref_pointer(memnew(T(static_cast<Args &&>(p_args)...)));
    }

    operator Variant() const { return Variant(static_cast<const Object *>(reference_)); }

    bool operator==(const T *p_other) const { return reference_ == p_other; }
    bool operator!=(const T *p_other) const { return reference_ != p_other; }
    bool operator==(const Ref &p_other) const { return reference_ == p_other.reference_; }
    bool operator!=(const Ref &p_other) const { return reference_ != p_other.reference_; }
    bool operator<(const Ref &p_other) const { return reference_ < p_other.reference_; }
};

} // namespace godot
