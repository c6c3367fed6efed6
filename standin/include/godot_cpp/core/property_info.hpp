// Descriptions of properties, arguments, methods and signals, as the class database lists them.
#pragma once

#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <vector>

namespace godot {

struct PropertyInfo {
    Variant::Type type = Variant::NIL;
    StringName name;
    StringName class_name;
    uint32_t hint = PROPERTY_HINT_NONE;
    String hint_string;
    uint32_t usage = PROPERTY_USAGE_DEFAULT;

    PropertyInfo() = default;
    PropertyInfo(Variant::Type p_type, const StringName &p_name, PropertyHint p_hint = PROPERTY_HINT_NONE,
                 const String &p_hint_string = "", uint32_t p_usage = PROPERTY_USAGE_DEFAULT,
                 const StringName &p_class_name = "")
        : type(p_type), name(p_name), hint(p_hint), hint_string(p_hint_string), usage(p_usage) {
        // A resource-typed property names its class in the hint.
        class_name = hint == PROPERTY_HINT_RESOURCE_TYPE ? StringName(hint_string) : p_class_name;
    }

    // Keys in the engine's order: "name", "class_name", "type", "hint", "hint_string", "usage".
    operator Dictionary() const;
};

struct MethodInfo {
    StringName name;
    PropertyInfo return_val;
    uint32_t flags = METHOD_FLAG_NORMAL;
    int id = 0;
    std::vector<PropertyInfo> arguments;
    std::vector<Variant> default_arguments;

    MethodInfo() = default;
    MethodInfo(StringName p_name) : name(p_name) {}
    template <typename... Args>
    MethodInfo(StringName p_name, const Args &...p_args) : name(p_name), arguments{p_args...} {}
    MethodInfo(Variant::Type p_ret) { return_val.type = p_ret; }
    MethodInfo(Variant::Type p_ret, StringName p_name) : name(p_name) { return_val.type = p_ret; }
    template <typename... Args>
    MethodInfo(Variant::Type p_ret, StringName p_name, const Args &...p_args)
        : name(p_name), arguments{p_args...} {
        return_val.type = p_ret;
    }
    MethodInfo(const PropertyInfo &p_ret, StringName p_name) : name(p_name), return_val(p_ret) {}
    template <typename... Args>
    MethodInfo(const PropertyInfo &p_ret, StringName p_name, const Args &...p_args)
        : name(p_name), return_val(p_ret), arguments{p_args...} {}

    // Keys in the engine's order: "name", "args", "default_args", "flags", "id", "return".
    operator Dictionary() const;
};

} // namespace godot
