// The engine's dynamic value. Conversions follow the engine's rules: nil and mismatched types give the
// target type's default, INT and FLOAT convert into each other, BOOL converts to and from numbers.
#pragma once

#include <gdextension_interface.h>
#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/object_id.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/packed_float32_array.hpp>
#include <godot_cpp/variant/packed_string_array.hpp>
#include <godot_cpp/variant/packed_vector4_array.hpp>
#include <godot_cpp/variant/quaternion.hpp>
#include <godot_cpp/variant/rid.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector3.hpp>
#include <godot_cpp/variant/vector4.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <variant>

namespace godot {

class Object;

namespace internal {

// An object held by a Variant: a RefCounted object is kept alive by the reference the slot holds;
// any other object is looked up by id, so a freed one reads as null.
class ObjectSlot {
    Object *object_ = nullptr;
    uint64_t id_ = 0;
    bool counted_ = false;

    void acquire(Object *p_object);
    void release();

public:
    ObjectSlot() = default;
    explicit ObjectSlot(const Object *p_object);
    ObjectSlot(const ObjectSlot &p_other);
    ObjectSlot(ObjectSlot &&p_other) noexcept;
    ObjectSlot &operator=(const ObjectSlot &p_other);
    ObjectSlot &operator=(ObjectSlot &&p_other) noexcept;
    ~ObjectSlot();

    // Null once the object has been freed.
    Object *get() const;
    uint64_t id() const { return id_; }
    bool is_null_pointer() const { return object_ == nullptr; }
};

} // namespace internal

class Variant {
public:
    // The engine's numbering; the stand-in holds the types the library uses.
    enum Type {
        NIL,
        BOOL,
        INT,
        FLOAT,
        STRING,
        VECTOR2,
        VECTOR2I,
        RECT2,
        RECT2I,
        VECTOR3,
        VECTOR3I,
        TRANSFORM2D,
        VECTOR4,
        VECTOR4I,
        PLANE,
        QUATERNION,
        AABB,
        BASIS,
        TRANSFORM3D,
        PROJECTION,
        COLOR,
        STRING_NAME,
        NODE_PATH,
        RID,
        OBJECT,
        CALLABLE,
        SIGNAL,
        DICTIONARY,
        ARRAY,
        PACKED_BYTE_ARRAY,
        PACKED_INT32_ARRAY,
        PACKED_INT64_ARRAY,
        PACKED_FLOAT32_ARRAY,
        PACKED_FLOAT64_ARRAY,
        PACKED_STRING_ARRAY,
        PACKED_VECTOR2_ARRAY,
        PACKED_VECTOR3_ARRAY,
        PACKED_COLOR_ARRAY,
        PACKED_VECTOR4_ARRAY,
        VARIANT_MAX
    };

private:
    using Storage =
        std::variant<std::monostate, bool, int64_t, double, String, Vector2, Vector3, Vector4, Quaternion,
                     Basis, Transform3D, StringName, godot::RID, internal::ObjectSlot, Callable, Dictionary,
                     Array, PackedByteArray, PackedFloat32Array, PackedVector4Array, PackedStringArray>;
    Storage value_;

    template <typename T> const T *as() const { return std::get_if<T>(&value_); }

public:
    Variant() = default;
    Variant(std::nullptr_t) {}
    Variant(const Variant &p_other) = default;
    Variant(Variant &&p_other) noexcept = default;
    Variant &operator=(const Variant &p_other) = default;
    Variant &operator=(Variant &&p_other) noexcept = default;
    ~Variant() = default;

    Variant(bool p_value) : value_(p_value) {}
    Variant(int64_t p_value) : value_(p_value) {}
    Variant(int32_t p_value) : value_(static_cast<int64_t>(p_value)) {}
    Variant(int16_t p_value) : value_(static_cast<int64_t>(p_value)) {}
    Variant(int8_t p_value) : value_(static_cast<int64_t>(p_value)) {}
    // Stored as the engine stores it: the same 64 bits as a signed integer.
    Variant(uint64_t p_value) : value_(static_cast<int64_t>(p_value)) {}
    Variant(uint32_t p_value) : value_(static_cast<int64_t>(p_value)) {}
    Variant(uint16_t p_value) : value_(static_cast<int64_t>(p_value)) {}
    Variant(uint8_t p_value) : value_(static_cast<int64_t>(p_value)) {}
    Variant(double p_value) : value_(p_value) {}
    Variant(float p_value) : value_(static_cast<double>(p_value)) {}
    Variant(const String &p_value) : value_(p_value) {}
    Variant(const char *p_value) : value_(String(p_value)) {}
    Variant(const char32_t *p_value) : value_(String(p_value)) {}
    Variant(const StringName &p_value) : value_(p_value) {}
    Variant(const Vector2 &p_value) : value_(p_value) {}
    Variant(const Vector3 &p_value) : value_(p_value) {}
    Variant(const Vector4 &p_value) : value_(p_value) {}
    Variant(const Quaternion &p_value) : value_(p_value) {}
    Variant(const Basis &p_value) : value_(p_value) {}
    Variant(const Transform3D &p_value) : value_(p_value) {}
    Variant(const godot::RID &p_value) : value_(p_value) {}
    Variant(const ObjectID &p_value) : value_(static_cast<int64_t>(uint64_t(p_value))) {}
    // An OBJECT variant, also for a null pointer.
    Variant(const Object *p_object) : value_(internal::ObjectSlot(p_object)) {}
    Variant(const Callable &p_value) : value_(p_value) {}
    Variant(const Dictionary &p_value) : value_(p_value) {}
    Variant(const Array &p_value) : value_(p_value) {}
    Variant(const PackedByteArray &p_value) : value_(p_value) {}
    Variant(const PackedFloat32Array &p_value) : value_(p_value) {}
    Variant(const PackedVector4Array &p_value) : value_(p_value) {}
    Variant(const PackedStringArray &p_value) : value_(p_value) {}

    Type get_type() const;
    static String get_type_name(Type p_type);

    operator bool() const;
    operator int64_t() const;
    operator int32_t() const;
    operator int16_t() const;
    operator int8_t() const;
    operator uint64_t() const;
    operator uint32_t() const;
    operator uint16_t() const;
    operator uint8_t() const;
    operator double() const;
    operator float() const;
    operator String() const;
    operator StringName() const;
    operator Vector2() const;
    operator Vector3() const;
    operator Vector4() const;
    operator Quaternion() const;
    operator Basis() const;
    operator Transform3D() const;
    operator godot::RID() const;
    operator ObjectID() const;
    operator Object *() const;
    operator Callable() const;
    operator Dictionary() const;
    operator Array() const;
    operator PackedByteArray() const;
    operator PackedFloat32Array() const;
    operator PackedVector4Array() const;
    operator PackedStringArray() const;

    // Null for a non-object or a freed object.
    Object *get_validated_object() const;

    // The engine's == : numbers compare by value across INT and FLOAT, String equals StringName,
    // containers compare by content; other type pairs are unequal.
    bool operator==(const Variant &p_other) const;
    bool operator!=(const Variant &p_other) const { return !(*this == p_other); }
    bool operator<(const Variant &p_other) const;

    // Key identity of dictionaries: same type and same value; NaN matches NaN.
    bool hash_compare(const Variant &p_other) const;
    uint32_t hash() const;
    bool booleanize() const;
    String stringify() const;
    Variant duplicate(bool p_deep = false) const;
    void clear() { value_ = std::monostate(); }

    static bool can_convert(Type p_from, Type p_to);
    static bool can_convert_strict(Type p_from, Type p_to);
};

// Prints the engine's text form (test diagnostics).
std::ostream &operator<<(std::ostream &p_stream, const Variant &p_variant);

template <typename... Args> Array Array::make(const Args &...p_args) {
    Array array;
    (array.push_back(Variant(p_args)), ...);
    return array;
}

template <typename... Args> Variant Callable::call(const Args &...p_args) const {
    std::array<Variant, sizeof...(Args)> values{Variant(p_args)...};
    std::array<const Variant *, sizeof...(Args) + 1> pointers{};
    for (size_t i = 0; i < sizeof...(Args); ++i) {
        pointers[i] = &values[i];
    }
    Variant result;
    GDExtensionCallError error;
    callp(pointers.data(), static_cast<int>(sizeof...(Args)), result, error);
    return result;
}

} // namespace godot
