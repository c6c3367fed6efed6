// The engine's Object: instance id, class chain, bound-method calls and signals.
#pragma once

#include <gdextension_interface.h>
#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/classes/wrapped.hpp>
#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <array>
#include <cstdint>
#include <memory>

namespace godot {

namespace internal {
struct SignalTable;
}

class Object : public Wrapped {
    GDCLASS(Object, Wrapped)

public:
    enum ConnectFlags {
        CONNECT_DEFERRED = 1,
        CONNECT_PERSIST = 2,
        CONNECT_ONE_SHOT = 4,
        CONNECT_REFERENCE_COUNTED = 8,
        CONNECT_APPEND_SOURCE_OBJECT = 16,
    };

    Object();
    ~Object() override;

    // Never 0, never reused within the process.
    uint64_t get_instance_id() const { return instance_id_; }
    String get_class() const { return String(_gde_get_class_name()); }
    // True for the object's class and every class it derives from.
    bool is_class(const StringName &p_class) const { return _gde_is_class(p_class); }
    String to_string() const;

    template <typename T> static T *cast_to(Object *p_object) {
        return (p_object != nullptr && p_object->_gde_is_class(T::get_class_static()))
                   ? static_cast<T *>(p_object)
                   : nullptr;
    }
    template <typename T> static const T *cast_to(const Object *p_object) {
        return (p_object != nullptr && p_object->_gde_is_class(T::get_class_static()))
                   ? static_cast<const T *>(p_object)
                   : nullptr;
    }

    // Properties registered with ADD_PROPERTY, through their setter and getter.
    void set(const StringName &p_property, const Variant &p_value);
    Variant get(const StringName &p_property) const;

    bool has_method(const StringName &p_method) const;
    bool has_signal(const StringName &p_signal) const;

    // Calls a bound method by name with the engine's argument conversions. A call error (unknown method,
    // wrong argument count) is reported on the error channel and yields nil.
    template <typename... Args> Variant call(const StringName &p_method, const Args &...p_args) {
        std::array<Variant, sizeof...(Args)> values{Variant(p_args)...};
        std::array<const Variant *, sizeof...(Args) + 1> pointers{};
        for (size_t i = 0; i < sizeof...(Args); ++i) {
            pointers[i] = &values[i];
        }
        return _gde_call_reporting(p_method, pointers.data(), static_cast<int>(sizeof...(Args)));
    }
    Variant callv(const StringName &p_method, const Array &p_arguments);
    // The call without a report: the outcome is in r_error.
    Variant callp(const StringName &p_method, const Variant **p_args, int p_argcount,
                  GDExtensionCallError &r_error);

    // Signals are emitted synchronously, to the connections in connection order.
    Error connect(const StringName &p_signal, const Callable &p_callable, uint32_t p_flags = 0);
    void disconnect(const StringName &p_signal, const Callable &p_callable);
    bool is_connected(const StringName &p_signal, const Callable &p_callable) const;
    bool has_connections(const StringName &p_signal) const;
    template <typename... Args> Error emit_signal(const StringName &p_signal, const Args &...p_args) {
        std::array<Variant, sizeof...(Args)> values{Variant(p_args)...};
        std::array<const Variant *, sizeof...(Args) + 1> pointers{};
        for (size_t i = 0; i < sizeof...(Args); ++i) {
            pointers[i] = &values[i];
        }
        return emit_signalp(p_signal, pointers.data(), static_cast<int>(sizeof...(Args)));
    }
    Error emit_signalp(const StringName &p_signal, const Variant **p_args, int p_argcount);
    void set_block_signals(bool p_enable) { blocking_signals_ = p_enable; }
    bool is_blocking_signals() const { return blocking_signals_; }

    // Stand-in internals.
    bool _gde_is_ref_counted() const { return ref_counted_; }
    Variant _gde_call_reporting(const StringName &p_method, const Variant **p_args, int p_argcount);

protected:
    static void _bind_methods();
    void _gde_mark_ref_counted() { ref_counted_ = true; }

private:
    uint64_t instance_id_ = 0;
    bool ref_counted_ = false;
    bool blocking_signals_ = false;
    std::unique_ptr<internal::SignalTable> signals_;
};

class ObjectDB {
public:
    // Null once the object has been freed.
    static Object *get_instance(uint64_t p_object_id);
};

} // namespace godot
