// The class database: registration of classes, their methods, properties, constants and signals.
#pragma once

#include <gdextension_interface.h>
#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/core/method_bind.hpp>
#include <godot_cpp/core/property_info.hpp>
#include <godot_cpp/core/type_info.hpp>
#include <godot_cpp/godot.hpp>

#include <cstdint>
#include <type_traits>
#include <vector>

namespace godot {

#define DEFVAL(m_defval) (m_defval)

struct MethodDefinition {
    StringName name;
    std::vector<StringName> args;
    MethodDefinition() = default;
    MethodDefinition(StringName p_name) : name(p_name) {}
};

template <typename... VarArgs> MethodDefinition D_METHOD(StringName p_name, const VarArgs... p_args) {
    MethodDefinition definition(p_name);
    definition.args = {StringName(p_args)...};
    return definition;
}

namespace internal {

struct ClassRegistration {
    StringName name;
    StringName parent;
    Object *(*create)() = nullptr; // null: not instantiable
    void (*bind_methods)() = nullptr;
    bool is_virtual = false;
    bool is_exposed = true;
    bool is_runtime = false;
    bool is_engine_class = false;
};

// An engine class announced at load time; the class database registers it when first used.
struct EngineClassAnnouncement {
    EngineClassAnnouncement(const StringName &(*p_name)(), const StringName &(*p_parent)(),
                            void (*p_register)());
};

template <typename T> Object *create_instance() {
    return memnew(T);
}

} // namespace internal

class ClassDB {
public:
    enum APIType {
        API_CORE,
        API_EDITOR,
        API_EXTENSION,
        API_EDITOR_EXTENSION,
        API_NONE,
    };

    template <typename T> static void register_class(bool p_virtual = false) {
        _gde_register<T, false>(p_virtual, true, false);
    }
    template <typename T> static void register_abstract_class() {
        _gde_register<T, true>(false, true, false);
    }
    template <typename T> static void register_internal_class() {
        _gde_register<T, false>(false, false, false);
    }
    template <typename T> static void register_runtime_class() { _gde_register<T, false>(false, true, true); }

    // Binds into the class that declares the member function; defaults apply to the trailing arguments.
    template <typename N, typename M, typename... VarArgs>
    static MethodBind *bind_method(N p_method_name, M p_method, VarArgs... p_args) {
        using Traits = internal::MethodTraits<M>;
        MethodBind *bind = create_method_bind(p_method);
        bind->set_instance_class(Traits::Class::get_class_static());
        return _gde_bind(bind, MethodDefinition(p_method_name), std::vector<Variant>{Variant(p_args)...});
    }
    template <typename N, typename M, typename... VarArgs>
    static MethodBind *bind_static_method(StringName p_class, N p_method_name, M p_method,
                                          VarArgs... p_args) {
        MethodBind *bind = create_static_method_bind(p_method);
        bind->set_instance_class(p_class);
        return _gde_bind(bind, MethodDefinition(p_method_name), std::vector<Variant>{Variant(p_args)...});
    }

    static void add_property_group(const StringName &p_class, const String &p_name, const String &p_prefix);
    static void add_property_subgroup(const StringName &p_class, const String &p_name,
                                      const String &p_prefix);
    // The setter (may be empty for a read-only property) and the getter must already be bound.
    static void add_property(const StringName &p_class, const PropertyInfo &p_pinfo,
                             const StringName &p_setter, const StringName &p_getter, int p_index = -1);
    static void add_signal(const StringName &p_class, const MethodInfo &p_signal);
    // p_enum_name "Class.Enum" (or "Enum") groups the constant under Enum; empty leaves it ungrouped.
    static void bind_integer_constant(const StringName &p_class_name, const StringName &p_enum_name,
                                      const StringName &p_constant_name, GDExtensionInt p_constant_value,
                                      bool p_is_bitfield = false);
    // Searches the class and its ancestors.
    static MethodBind *get_method(const StringName &p_class, const StringName &p_method);

    // Stand-in internals.
    template <typename T, bool is_abstract>
    static void _gde_register(bool p_virtual, bool p_exposed, bool p_runtime, bool p_engine_class = false) {
        static_assert(std::is_same_v<typename T::self_type, T>,
                      "Class not declared properly, please use GDCLASS.");
        static_assert(!std::is_abstract_v<T> || is_abstract,
                      "Class is abstract, please use GDREGISTER_ABSTRACT_CLASS.");
        internal::ClassRegistration registration;
        registration.name = T::get_class_static();
        registration.parent = T::get_parent_class_static();
        if constexpr (!is_abstract) {
            registration.create = &internal::create_instance<T>;
        }
        void (*own)() = T::_gde_get_bind_methods();
        registration.bind_methods = own != T::parent_type::_gde_get_bind_methods() ? own : nullptr;
        registration.is_virtual = p_virtual;
        registration.is_exposed = p_exposed;
        registration.is_runtime = p_runtime;
        registration.is_engine_class = p_engine_class;
        _gde_register_class(registration);
    }
    static bool _gde_register_class(const internal::ClassRegistration &p_registration);
    static MethodBind *_gde_bind(MethodBind *p_bind, const MethodDefinition &p_definition,
                                 const std::vector<Variant> &p_defaults);
    static bool _gde_class_exists(const StringName &p_class);
    // The level and owner that registrations are recorded under while an extension initializer runs.
    static void _gde_set_registration_context(const void *p_owner, int p_level);
    // Removes the classes p_owner registered at p_level, newest first.
    static void _gde_unregister_level(const void *p_owner, int p_level);
};

template <typename T> void _gde_initialize_class() {
    if (ClassDB::_gde_class_exists(T::get_class_static())) {
        return;
    }
    T::parent_type::initialize_class();
    constexpr bool abstract = std::is_abstract_v<T> || !std::is_default_constructible_v<T>;
    ClassDB::_gde_register<T, abstract>(false, true, false);
}

} // namespace godot

#define GDREGISTER_CLASS(m_class) ::godot::ClassDB::register_class<m_class>();
#define GDREGISTER_VIRTUAL_CLASS(m_class) ::godot::ClassDB::register_class<m_class>(true);
#define GDREGISTER_ABSTRACT_CLASS(m_class) ::godot::ClassDB::register_abstract_class<m_class>();
#define GDREGISTER_INTERNAL_CLASS(m_class) ::godot::ClassDB::register_internal_class<m_class>();
#define GDREGISTER_RUNTIME_CLASS(m_class) ::godot::ClassDB::register_runtime_class<m_class>();

#define ADD_SIGNAL(m_signal) ::godot::ClassDB::add_signal(get_class_static(), m_signal)
#define ADD_PROPERTY(m_property, m_setter, m_getter)                                                         \
    ::godot::ClassDB::add_property(get_class_static(), m_property, m_setter, m_getter)
#define ADD_PROPERTYI(m_property, m_setter, m_getter, m_index)                                               \
    ::godot::ClassDB::add_property(get_class_static(), m_property, m_setter, m_getter, m_index)
#define ADD_GROUP(m_name, m_prefix) ::godot::ClassDB::add_property_group(get_class_static(), m_name, m_prefix)
#define ADD_SUBGROUP(m_name, m_prefix)                                                                       \
    ::godot::ClassDB::add_property_subgroup(get_class_static(), m_name, m_prefix)

#define BIND_CONSTANT(m_constant)                                                                            \
    ::godot::ClassDB::bind_integer_constant(get_class_static(), "", #m_constant, m_constant);
#define BIND_ENUM_CONSTANT(m_constant)                                                                       \
    ::godot::ClassDB::bind_integer_constant(get_class_static(),                                              \
                                            ::godot::_gde_constant_get_enum_name(m_constant, #m_constant),   \
                                            #m_constant, m_constant);
#define BIND_BITFIELD_FLAG(m_constant)                                                                       \
    ::godot::ClassDB::bind_integer_constant(get_class_static(),                                              \
                                            ::godot::_gde_constant_get_enum_name(m_constant, #m_constant),   \
                                            #m_constant, m_constant, true);

// Announces a stand-in engine class (see <godot_cpp/classes/wrapped.hpp>). Use once, at namespace scope,
// in the class's .cpp.
#define STANDIN_REGISTER_ENGINE_CLASS(m_class)                                                               \
    static const ::godot::internal::EngineClassAnnouncement gde_engine_class_##m_class(                      \
        &m_class::get_class_static, &m_class::get_parent_class_static,                                       \
        [] { ::godot::ClassDB::_gde_register<m_class, false>(false, true, false, true); })
#define STANDIN_REGISTER_ABSTRACT_ENGINE_CLASS(m_class)                                                      \
    static const ::godot::internal::EngineClassAnnouncement gde_engine_class_##m_class(                      \
        &m_class::get_class_static, &m_class::get_parent_class_static,                                       \
        [] { ::godot::ClassDB::_gde_register<m_class, true>(false, true, false, true); })

#include <godot_cpp/variant/callable_method_pointer.hpp>
