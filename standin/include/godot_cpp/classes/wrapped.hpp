// Root of every engine and extension class, and the GDCLASS declaration macro.
//
// Every class, engine or extension, declares itself with GDCLASS(Class, Base) in its body and defines
// `static void _bind_methods()` (protected by convention; a class may omit it and bind nothing). Casting
// (Object::cast_to), is_class and get_class follow the class-name chain GDCLASS sets up, never RTTI, so they
// work across the extension's hidden-visibility boundary.
//
// Engine classes of the stand-in (Node, Node3D, RigidBody3D, ...): declare them with GDCLASS like any class,
// bind what scripts may call in `_bind_methods`, and announce them once at namespace scope in their .cpp:
//
//     STANDIN_REGISTER_ENGINE_CLASS(Node3D);            // instantiable by name
//     STANDIN_REGISTER_ABSTRACT_ENGINE_CLASS(Shape3D);  // known, but not instantiable
//
// (macros from <godot_cpp/core/class_db.hpp>). The class database registers all announced engine classes,
// parents before children, the first time it is used; they stay registered for the whole process.
// Extension classes are registered with GDREGISTER_CLASS (ClassDB::register_class<T>()), normally from an
// extension initializer; classes registered at an initialization level are removed again when that level is
// deinitialized.
#pragma once

#include <godot_cpp/variant/string_name.hpp>

namespace godot {

class ClassDB;

// Registers T (and, before it, any unknown parent) as an ordinary class; does nothing if T is known.
template <typename T> void _gde_initialize_class();

class Wrapped {
protected:
    Wrapped() = default;

public:
    virtual ~Wrapped() = default;
    Wrapped(const Wrapped &) = delete;
    Wrapped &operator=(const Wrapped &) = delete;

    // The root of the chain: no name, no bindings.
    static const StringName &get_class_static();
    static void initialize_class() {}
    static void (*_gde_get_bind_methods())() { return nullptr; }

    virtual const StringName &_gde_get_class_name() const { return get_class_static(); }
    virtual bool _gde_is_class(const StringName &) const { return false; }
};

} // namespace godot

#define GDCLASS(m_class, m_inherits)                                                                         \
private:                                                                                                     \
    friend class ::godot::ClassDB;                                                                           \
                                                                                                             \
public:                                                                                                      \
    typedef m_class self_type;                                                                               \
    typedef m_inherits parent_type;                                                                          \
    static const ::godot::StringName &get_class_static() {                                                   \
        static const ::godot::StringName gde_class_name(#m_class);                                           \
        return gde_class_name;                                                                               \
    }                                                                                                        \
    static const ::godot::StringName &get_parent_class_static() {                                            \
        return m_inherits::get_class_static();                                                               \
    }                                                                                                        \
    static void initialize_class() {                                                                         \
        ::godot::_gde_initialize_class<m_class>();                                                           \
    }                                                                                                        \
    static void (*_gde_get_bind_methods())() {                                                               \
        return &m_class::_bind_methods;                                                                      \
    }                                                                                                        \
    const ::godot::StringName &_gde_get_class_name() const override {                                        \
        return get_class_static();                                                                           \
    }                                                                                                        \
    bool _gde_is_class(const ::godot::StringName &p_gde_name) const override {                               \
        return p_gde_name == get_class_static() || m_inherits::_gde_is_class(p_gde_name);                    \
    }                                                                                                        \
                                                                                                             \
private:
