// How C++ types meet the Variant world: their type info for introspection, and the conversions a bound
// method applies to its arguments and result.
#pragma once

#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/property_info.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <type_traits>

namespace godot {

template <typename T> class Ref;

// Filled in by VARIANT_ENUM_CAST: the qualified name of an enumeration bound to the class database.
template <typename T> struct EnumName {
    static constexpr bool known = false;
    static const char *qualified() { return ""; }
};

namespace internal {

// "Class::Enum" (possibly with namespaces) -> "Class.Enum".
String enum_class_info_name(const char *p_qualified);

template <typename T> struct IsRef : std::false_type {};
template <typename T> struct IsRef<Ref<T>> : std::true_type { using Class = T; };

template <typename T> struct IsTypedArray : std::false_type {};
template <typename T> struct IsTypedArray<TypedArray<T>> : std::true_type { using Element = T; };

template <typename T>
constexpr bool is_object_pointer_v =
    std::is_pointer_v<T> &&std::is_base_of_v<Object, std::remove_cv_t<std::remove_pointer_t<T>>>;

template <typename T> constexpr Variant::Type builtin_variant_type() {
    if constexpr (std::is_same_v<T, Variant>) {
        return Variant::NIL;
    } else if constexpr (std::is_same_v<T, bool>) {
        return Variant::BOOL;
    } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T> || std::is_same_v<T, ObjectID>) {
        return Variant::INT;
    } else if constexpr (std::is_floating_point_v<T>) {
        return Variant::FLOAT;
    } else if constexpr (std::is_same_v<T, String>) {
        return Variant::STRING;
    } else if constexpr (std::is_same_v<T, StringName>) {
        return Variant::STRING_NAME;
    } else if constexpr (std::is_same_v<T, Vector2>) {
        return Variant::VECTOR2;
    } else if constexpr (std::is_same_v<T, Vector3>) {
        return Variant::VECTOR3;
    } else if constexpr (std::is_same_v<T, Vector4>) {
        return Variant::VECTOR4;
    } else if constexpr (std::is_same_v<T, Quaternion>) {
        return Variant::QUATERNION;
    } else if constexpr (std::is_same_v<T, Basis>) {
        return Variant::BASIS;
    } else if constexpr (std::is_same_v<T, Transform3D>) {
        return Variant::TRANSFORM3D;
    } else if constexpr (std::is_same_v<T, RID>) {
        return Variant::RID;
    } else if constexpr (std::is_same_v<T, Callable>) {
        return Variant::CALLABLE;
    } else if constexpr (std::is_same_v<T, Dictionary>) {
        return Variant::DICTIONARY;
    } else if constexpr (std::is_same_v<T, Array> || IsTypedArray<T>::value) {
        return Variant::ARRAY;
    } else if constexpr (std::is_same_v<T, PackedByteArray>) {
        return Variant::PACKED_BYTE_ARRAY;
    } else if constexpr (std::is_same_v<T, PackedFloat32Array>) {
        return Variant::PACKED_FLOAT32_ARRAY;
    } else if constexpr (std::is_same_v<T, PackedVector4Array>) {
        return Variant::PACKED_VECTOR4_ARRAY;
    } else if constexpr (std::is_same_v<T, PackedStringArray>) {
        return Variant::PACKED_STRING_ARRAY;
    } else if constexpr (is_object_pointer_v<T> || IsRef<T>::value) {
        return Variant::OBJECT;
    } else {
        static_assert(sizeof(T) == 0, "type has no Variant counterpart in the stand-in");
        return Variant::NIL;
    }
}

} // namespace internal

// Type info of a bound argument or result, as the class database reports it.
template <typename Raw> PropertyInfo get_type_property_info(const StringName &p_name = StringName()) {
    using T = std::remove_cv_t<std::remove_reference_t<Raw>>;
    if constexpr (std::is_void_v<T>) {
        return PropertyInfo(Variant::NIL, p_name);
    } else if constexpr (std::is_same_v<T, Variant>) {
        return PropertyInfo(Variant::NIL, p_name, PROPERTY_HINT_NONE, "",
                            PROPERTY_USAGE_DEFAULT | PROPERTY_USAGE_NIL_IS_VARIANT);
    } else if constexpr (std::is_enum_v<T>) {
        if constexpr (EnumName<T>::known) {
            return PropertyInfo(Variant::INT, p_name, PROPERTY_HINT_NONE, "",
                                PROPERTY_USAGE_DEFAULT | PROPERTY_USAGE_CLASS_IS_ENUM,
                                internal::enum_class_info_name(EnumName<T>::qualified()));
        } else {
            return PropertyInfo(Variant::INT, p_name);
        }
    } else if constexpr (internal::is_object_pointer_v<T>) {
        using C = std::remove_cv_t<std::remove_pointer_t<T>>;
        return PropertyInfo(Variant::OBJECT, p_name, PROPERTY_HINT_NONE, "", PROPERTY_USAGE_DEFAULT,
                            C::get_class_static());
    } else if constexpr (internal::IsRef<T>::value) {
        using C = typename internal::IsRef<T>::Class;
        return PropertyInfo(Variant::OBJECT, p_name, PROPERTY_HINT_NONE, "", PROPERTY_USAGE_DEFAULT,
                            C::get_class_static());
    } else if constexpr (internal::IsTypedArray<T>::value) {
        using E = typename internal::IsTypedArray<T>::Element;
        if constexpr (internal::is_object_pointer_v<E *>) {
            return PropertyInfo(Variant::ARRAY, p_name, PROPERTY_HINT_ARRAY_TYPE,
                                String(E::get_class_static()));
        } else {
            return PropertyInfo(Variant::ARRAY, p_name, PROPERTY_HINT_ARRAY_TYPE,
                                Variant::get_type_name(internal::builtin_variant_type<E>()));
        }
    } else {
        return PropertyInfo(internal::builtin_variant_type<T>(), p_name);
    }
}

// Argument conversion of bound methods and method callables: the engine's Variant conversions; an object
// of the wrong class arrives as null.
template <typename Raw> struct VariantCaster {
    using T = std::remove_cv_t<std::remove_reference_t<Raw>>;

    static T cast(const Variant &p_variant) {
        if constexpr (std::is_same_v<T, Variant>) {
            return p_variant;
        } else if constexpr (std::is_enum_v<T>) {
            return static_cast<T>(p_variant.operator int64_t());
        } else if constexpr (internal::is_object_pointer_v<T>) {
            using C = std::remove_cv_t<std::remove_pointer_t<T>>;
            return Object::cast_to<C>(p_variant.operator Object *());
        } else if constexpr (internal::IsRef<T>::value) {
            return T(p_variant);
        } else if constexpr (internal::IsTypedArray<T>::value) {
            return T(p_variant.operator Array());
        } else {
            return p_variant.operator T();
        }
    }
};

// Result conversion.
template <typename T> Variant to_variant(const T &p_value) {
    if constexpr (std::is_enum_v<T>) {
        return Variant(static_cast<int64_t>(p_value));
    } else if constexpr (internal::is_object_pointer_v<T>) {
        return Variant(static_cast<const Object *>(p_value));
    } else {
        return Variant(p_value);
    }
}

template <typename T> StringName _gde_constant_get_enum_name(T, const StringName &p_constant) {
    if constexpr (EnumName<T>::known) {
        return StringName(internal::enum_class_info_name(EnumName<T>::qualified()));
    } else {
        ERR_PRINT(("Missing VARIANT_ENUM_CAST for constant's enum: " + String(p_constant)).utf8().get_data());
        return StringName();
    }
}

} // namespace godot

// At global scope, after the enumeration's class: makes the enumeration known to bindings.
#define VARIANT_ENUM_CAST(m_enum)                                                                            \
    namespace godot {                                                                                        \
    template <> struct EnumName<m_enum> {                                                                    \
        static constexpr bool known = true;                                                                  \
        static const char *qualified() { return #m_enum; }                                                   \
    };                                                                                                       \
    }

#define VARIANT_BITFIELD_CAST(m_enum) VARIANT_ENUM_CAST(m_enum)
