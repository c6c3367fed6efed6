// The scripts' view of the class database: instantiation by name and introspection.
#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>

namespace godot {

class ClassDBSingleton {
public:
    enum APIType {
        API_CORE,
        API_EDITOR,
        API_EXTENSION,
        API_EDITOR_EXTENSION,
        API_NONE,
    };

    static ClassDBSingleton *get_singleton();

    // Sorted by name, as the engine lists them.
    PackedStringArray get_class_list() const;
    PackedStringArray get_inheriters_from_class(const StringName &p_class) const;
    StringName get_parent_class(const StringName &p_class) const;
    bool class_exists(const StringName &p_class) const;
    bool is_parent_class(const StringName &p_class, const StringName &p_inherits) const;
    bool can_instantiate(const StringName &p_class) const;
    // A Variant holding the new object (holding a reference for a RefCounted one); nil and an error for an
    // unknown or abstract class.
    Variant instantiate(const StringName &p_class) const;
    APIType class_get_api_type(const StringName &p_class) const;

    // Lists run in registration order, the class first, then each ancestor unless p_no_inheritance.
    bool class_has_signal(const StringName &p_class, const StringName &p_signal) const;
    Dictionary class_get_signal(const StringName &p_class, const StringName &p_signal) const;
    TypedArray<Dictionary> class_get_signal_list(const StringName &p_class,
                                                 bool p_no_inheritance = false) const;
    TypedArray<Dictionary> class_get_property_list(const StringName &p_class,
                                                   bool p_no_inheritance = false) const;
    StringName class_get_property_getter(const StringName &p_class, const StringName &p_property);
    StringName class_get_property_setter(const StringName &p_class, const StringName &p_property);
    Variant class_get_property(Object *p_object, const StringName &p_property) const;
    Error class_set_property(Object *p_object, const StringName &p_property, const Variant &p_value) const;
    bool class_has_method(const StringName &p_class, const StringName &p_method,
                          bool p_no_inheritance = false) const;
    int32_t class_get_method_argument_count(const StringName &p_class, const StringName &p_method,
                                            bool p_no_inheritance = false) const;
    TypedArray<Dictionary> class_get_method_list(const StringName &p_class,
                                                 bool p_no_inheritance = false) const;
    PackedStringArray class_get_integer_constant_list(const StringName &p_class,
                                                      bool p_no_inheritance = false) const;
    bool class_has_integer_constant(const StringName &p_class, const StringName &p_name) const;
    int64_t class_get_integer_constant(const StringName &p_class, const StringName &p_name) const;
    bool class_has_enum(const StringName &p_class, const StringName &p_name,
                        bool p_no_inheritance = false) const;
    PackedStringArray class_get_enum_list(const StringName &p_class, bool p_no_inheritance = false) const;
    PackedStringArray class_get_enum_constants(const StringName &p_class, const StringName &p_enum,
                                               bool p_no_inheritance = false) const;
    StringName class_get_integer_constant_enum(const StringName &p_class, const StringName &p_name,
                                               bool p_no_inheritance = false) const;
    bool is_class_enum_bitfield(const StringName &p_class, const StringName &p_enum,
                                bool p_no_inheritance = false) const;
    bool is_class_enabled(const StringName &p_class) const { return class_exists(p_class); }
};

} // namespace godot
