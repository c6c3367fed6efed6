#include "class_db_internal.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/callable_custom.hpp>

#include <algorithm>
#include <array>
#include <unordered_map>
#include <vector>

namespace godot {

namespace internal {

struct Connection {
    Callable callable;
    uint32_t flags = 0;
    int reference_count = 1;
};

struct SignalConnections {
    StringName name;
    std::vector<Connection> connections;
};

struct SignalTable {
    std::vector<SignalConnections> signals;

    SignalConnections *find(const StringName &p_signal) {
        for (SignalConnections &entry : signals) {
            if (entry.name == p_signal) {
                return &entry;
            }
        }
        return nullptr;
    }
};

namespace {

// Ids start above 2^32 like the engine's, so code that truncates them shows it at once.
constexpr uint64_t FIRST_INSTANCE_ID = (uint64_t(1) << 34) + 1;

struct Registry {
    std::unordered_map<uint64_t, Object *> objects;
    uint64_t next_id = FIRST_INSTANCE_ID;

    enum State { NOT_BUILT, ALIVE, DESTROYED };
    static State &state() {
        static State value = NOT_BUILT;
        return value;
    }
    Registry() { state() = ALIVE; }
    ~Registry() { state() = DESTROYED; }
};

Registry *registry() {
    if (Registry::state() == Registry::DESTROYED) {
        return nullptr;
    }
    static Registry instance;
    return &instance;
}

String callable_text(const Callable &p_callable) {
    return Variant(p_callable).stringify();
}

} // namespace

} // namespace internal

const StringName &Wrapped::get_class_static() {
    static const StringName none;
    return none;
}

Object::Object() {
    internal::Registry *objects = internal::registry();
    if (objects) {
        instance_id_ = objects->next_id++;
        objects->objects[instance_id_] = this;
    }
}

Object::~Object() {
    internal::Registry *objects = internal::registry();
    if (objects) {
        objects->objects.erase(instance_id_);
    }
}

Object *ObjectDB::get_instance(uint64_t p_object_id) {
    internal::Registry *objects = internal::registry();
    if (!objects) {
        return nullptr;
    }
    auto it = objects->objects.find(p_object_id);
    return it == objects->objects.end() ? nullptr : it->second;
}

String Object::to_string() const {
    return "<" + get_class() + "#" + itos(static_cast<int64_t>(instance_id_)) + ">";
}

void Object::set(const StringName &p_property, const Variant &p_value) {
    const internal::PropertyRecord *property = internal::find_property(_gde_get_class_name(), p_property);
    if (property == nullptr || property->setter.is_empty()) {
        return;
    }
    const Variant *args[1] = {&p_value};
    GDExtensionCallError error;
    callp(property->setter, args, 1, error);
}

Variant Object::get(const StringName &p_property) const {
    const internal::PropertyRecord *property = internal::find_property(_gde_get_class_name(), p_property);
    if (property == nullptr) {
        return Variant();
    }
    GDExtensionCallError error;
    // Getters are const; the call path is shared with setters.
    return const_cast<Object *>(this)->callp(property->getter, nullptr, 0, error);
}

bool Object::has_method(const StringName &p_method) const {
    return internal::find_method(_gde_get_class_name(), p_method) != nullptr;
}

bool Object::has_signal(const StringName &p_signal) const {
    return internal::find_signal(_gde_get_class_name(), p_signal) != nullptr;
}

Variant Object::callp(const StringName &p_method, const Variant **p_args, int p_argcount,
                      GDExtensionCallError &r_error) {
    r_error = GDExtensionCallError{GDEXTENSION_CALL_OK, 0, 0};
    MethodBind *bind = internal::find_method(_gde_get_class_name(), p_method);
    if (bind == nullptr) {
        r_error.error = GDEXTENSION_CALL_ERROR_INVALID_METHOD;
        return Variant();
    }
    return bind->call(this, p_args, p_argcount, r_error);
}

Variant Object::_gde_call_reporting(const StringName &p_method, const Variant **p_args, int p_argcount) {
    GDExtensionCallError error;
    Variant result = callp(p_method, p_args, p_argcount, error);
    if (error.error != GDEXTENSION_CALL_OK) {
        ERR_PRINT(
            "Error calling method from 'call': " +
            internal::call_error_text(get_class() + "::" + String(p_method), p_args, p_argcount, error) +
            ".");
        return Variant();
    }
    return result;
}

Variant Object::callv(const StringName &p_method, const Array &p_arguments) {
    std::vector<const Variant *> pointers;
    pointers.reserve(static_cast<size_t>(p_arguments.size()));
    for (int64_t i = 0; i < p_arguments.size(); ++i) {
        pointers.push_back(&p_arguments[i]);
    }
    return _gde_call_reporting(p_method, pointers.data(), static_cast<int>(pointers.size()));
}

Error Object::connect(const StringName &p_signal, const Callable &p_callable, uint32_t p_flags) {
    ERR_FAIL_COND_V_MSG(p_callable.is_null(), ERR_INVALID_PARAMETER,
                        "Cannot connect to '" + String(p_signal) + "': the provided callable is null.");
    if (p_callable.is_standard()) {
        ERR_FAIL_NULL_V_MSG(p_callable.get_object(), ERR_INVALID_PARAMETER,
                            "Cannot connect to '" + String(p_signal) + "' to callable '" +
                                internal::callable_text(p_callable) + "': the callable object is null.");
    }
    if (!has_signal(p_signal)) {
        ERR_FAIL_V_MSG(ERR_INVALID_PARAMETER,
                       "In Object of type '" + get_class() + "': Attempt to connect nonexistent signal '" +
                           String(p_signal) + "' to callable '" + internal::callable_text(p_callable) + "'.");
    }
    if (!signals_) {
        signals_ = std::make_unique<internal::SignalTable>();
    }
    internal::SignalConnections *entry = signals_->find(p_signal);
    if (entry == nullptr) {
        signals_->signals.push_back(internal::SignalConnections{p_signal, {}});
        entry = &signals_->signals.back();
    }
    for (internal::Connection &connection : entry->connections) {
        if (connection.callable == p_callable) {
            if (p_flags & CONNECT_REFERENCE_COUNTED) {
                ++connection.reference_count;
                return OK;
            }
            ERR_FAIL_V_MSG(ERR_INVALID_PARAMETER,
                           "Signal '" + String(p_signal) + "' is already connected to given callable '" +
                               internal::callable_text(p_callable) + "' in that object.");
        }
    }
    entry->connections.push_back(internal::Connection{p_callable, p_flags, 1});
    return OK;
}

void Object::disconnect(const StringName &p_signal, const Callable &p_callable) {
    if (!has_signal(p_signal)) {
        ERR_FAIL_MSG("Disconnecting nonexistent signal '" + String(p_signal) + "' in " + to_string() + ".");
    }
    internal::SignalConnections *entry = signals_ ? signals_->find(p_signal) : nullptr;
    if (entry != nullptr) {
        for (size_t i = 0; i < entry->connections.size(); ++i) {
            internal::Connection &connection = entry->connections[i];
            if (connection.callable == p_callable) {
                if ((connection.flags & CONNECT_REFERENCE_COUNTED) && --connection.reference_count > 0) {
                    return;
                }
                entry->connections.erase(entry->connections.begin() + static_cast<std::ptrdiff_t>(i));
                return;
            }
        }
    }
    ERR_FAIL_MSG("Attempt to disconnect a nonexistent connection from '" + to_string() + "'. Signal: '" +
                 String(p_signal) + "', callable: '" + internal::callable_text(p_callable) + "'.");
}

bool Object::is_connected(const StringName &p_signal, const Callable &p_callable) const {
    internal::SignalConnections *entry = signals_ ? signals_->find(p_signal) : nullptr;
    if (entry == nullptr) {
        return false;
    }
    for (const internal::Connection &connection : entry->connections) {
        if (connection.callable == p_callable) {
            return true;
        }
    }
    return false;
}

bool Object::has_connections(const StringName &p_signal) const {
    internal::SignalConnections *entry = signals_ ? signals_->find(p_signal) : nullptr;
    return entry != nullptr && !entry->connections.empty();
}

Error Object::emit_signalp(const StringName &p_signal, const Variant **p_args, int p_argcount) {
    if (blocking_signals_) {
        return ERR_CANT_ACQUIRE_RESOURCE;
    }
    internal::SignalConnections *entry = signals_ ? signals_->find(p_signal) : nullptr;
    if (entry == nullptr || entry->connections.empty()) {
        if (!has_signal(p_signal)) {
            ERR_FAIL_V_MSG(ERR_UNAVAILABLE, "Can't emit non-existing signal \"" + String(p_signal) + "\".");
        }
        return ERR_UNAVAILABLE;
    }
    // Handlers may connect, disconnect or free this object: work on a copy and never touch `this` after
    // a handler without checking that it still exists.
    // Up to a few connections are copied without allocating.
    constexpr size_t INLINE_CONNECTIONS = 8;
    std::array<internal::Connection, INLINE_CONNECTIONS> inline_copy;
    std::vector<internal::Connection> heap_copy;
    const size_t count = entry->connections.size();
    const internal::Connection *snapshot = inline_copy.data();
    if (count <= INLINE_CONNECTIONS) {
        std::copy(entry->connections.begin(), entry->connections.end(), inline_copy.begin());
    } else {
        heap_copy = entry->connections;
        snapshot = heap_copy.data();
    }
    const uint64_t self_id = instance_id_;
    const String signal_text = String(p_signal);
    Error result = OK;
    for (size_t c = 0; c < count; ++c) {
        const internal::Connection &connection = snapshot[c];
        if (!connection.callable.is_valid()) {
            continue;
        }
        if ((connection.flags & CONNECT_ONE_SHOT) && ObjectDB::get_instance(self_id) == this &&
            is_connected(p_signal, connection.callable)) {
            internal::SignalConnections *live = signals_->find(p_signal);
            for (size_t i = 0; live != nullptr && i < live->connections.size(); ++i) {
                if (live->connections[i].callable == connection.callable) {
                    live->connections.erase(live->connections.begin() + static_cast<std::ptrdiff_t>(i));
                    break;
                }
            }
        }
        GDExtensionCallError error{GDEXTENSION_CALL_OK, 0, 0};
        Variant ignored;
        connection.callable.callp(p_args, p_argcount, ignored, error);
        if (error.error != GDEXTENSION_CALL_OK) {
            ERR_PRINT("Error calling from signal '" + signal_text + "' to callable: " +
                      internal::call_error_text(internal::callable_text(connection.callable), p_args,
                                                p_argcount, error) +
                      ".");
            result = ERR_METHOD_NOT_FOUND;
        }
    }
    return result;
}

void Object::_bind_methods() {
    ClassDB::bind_method(D_METHOD("get_class"), &Object::get_class);
    ClassDB::bind_method(D_METHOD("is_class", "class"), &Object::is_class);
    ClassDB::bind_method(D_METHOD("get_instance_id"), &Object::get_instance_id);
    ClassDB::bind_method(D_METHOD("has_method", "method"), &Object::has_method);
    ClassDB::bind_method(D_METHOD("has_signal", "signal"), &Object::has_signal);
    ClassDB::bind_method(D_METHOD("set", "property", "value"), &Object::set);
    ClassDB::bind_method(D_METHOD("get", "property"), &Object::get);
    ClassDB::bind_method(D_METHOD("is_connected", "signal", "callable"), &Object::is_connected);
    ClassDB::bind_method(D_METHOD("has_connections", "signal"), &Object::has_connections);
    ClassDB::bind_method(D_METHOD("set_block_signals", "enable"), &Object::set_block_signals);
    ClassDB::bind_method(D_METHOD("is_blocking_signals"), &Object::is_blocking_signals);
}

STANDIN_REGISTER_ENGINE_CLASS(Object);

} // namespace godot
