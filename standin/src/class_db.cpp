#include "class_db_internal.hpp"

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <standin/extension_loader.hpp>

#include <algorithm>
#include <memory>
#include <utility>

namespace godot {
namespace internal {

namespace {

struct Announcement {
    const StringName &(*name)();
    const StringName &(*parent)();
    void (*do_register)();
};

std::vector<Announcement> &announcements() {
    static std::vector<Announcement> list;
    return list;
}

struct Database {
    std::map<String, std::unique_ptr<ClassRecord>> classes;
    // Registration order, for removal newest first.
    std::vector<ClassRecord *> order;
    const void *context_owner = nullptr;
    int context_level = -1;
    bool engine_classes_done = false;
    bool registering_engine_classes = false;

    enum State { NOT_BUILT, ALIVE, DESTROYED };
    static State &state() {
        static State value = NOT_BUILT; // constant-initialized: valid during every static destructor
        return value;
    }

    Database() { state() = ALIVE; }
    ~Database() {
        // Children before parents, newest first.
        while (!order.empty()) {
            const String name = order.back()->name.text();
            order.pop_back();
            classes.erase(name);
        }
        state() = DESTROYED;
    }
};

Database &raw_database() {
    static Database db;
    return db;
}

void register_engine_classes(Database &p_db) {
    if (p_db.engine_classes_done || p_db.registering_engine_classes) {
        return;
    }
    p_db.registering_engine_classes = true;
    // Parents first: keep registering the classes whose parent is known until no more can be.
    std::vector<Announcement> pending = announcements();
    bool progress = true;
    while (!pending.empty() && progress) {
        progress = false;
        for (size_t i = 0; i < pending.size();) {
            const StringName &parent = pending[i].parent();
            const bool parent_known = parent.is_empty() || p_db.classes.count(parent.text()) != 0;
            if (!parent_known) {
                ++i;
                continue;
            }
            if (p_db.classes.count(pending[i].name().text()) == 0) {
                pending[i].do_register();
            }
            pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
            progress = true;
        }
    }
    for (const Announcement &left : pending) {
        ERR_PRINT("Engine class '" + String(left.name()) + "' inherits from unknown class '" +
                  String(left.parent()) + "'.");
    }
    p_db.registering_engine_classes = false;
    p_db.engine_classes_done = true;
}

// Null once the database has been destroyed at process exit.
Database *database() {
    if (Database::state() == Database::DESTROYED) {
        return nullptr;
    }
    Database &db = raw_database();
    register_engine_classes(db);
    return &db;
}

ClassRecord *record_of(Database &p_db, const StringName &p_class) {
    auto it = p_db.classes.find(p_class.text());
    return it == p_db.classes.end() ? nullptr : it->second.get();
}

// The part of a qualified enumeration name after the last '.'.
StringName short_enum_name(const StringName &p_enum) {
    const String text = p_enum.text();
    int64_t dot = -1;
    for (int64_t i = 0; i < text.length(); ++i) {
        if (text[i] == '.') {
            dot = i;
        }
    }
    return dot < 0 ? p_enum : StringName(text.substr(dot + 1));
}

MethodInfo method_info_of(const MethodBind &p_bind) {
    MethodInfo info(p_bind.get_name());
    info.return_val = p_bind.get_return_info();
    info.flags = p_bind.get_hint_flags();
    for (int i = 0; i < p_bind.get_argument_count(); ++i) {
        info.arguments.push_back(p_bind.get_argument_info(i));
    }
    info.default_arguments = p_bind.get_default_arguments();
    return info;
}

} // namespace

ClassRecord::~ClassRecord() {
    for (MethodBind *bind : methods) {
        delete bind;
    }
}

ClassRecord *find_class(const StringName &p_class) {
    Database *db = database();
    return db ? record_of(*db, p_class) : nullptr;
}

std::vector<ClassRecord *> class_chain(const StringName &p_class) {
    std::vector<ClassRecord *> chain;
    Database *db = database();
    if (!db) {
        return chain;
    }
    for (ClassRecord *record = record_of(*db, p_class); record != nullptr;
         record = record_of(*db, record->parent)) {
        chain.push_back(record);
        if (chain.size() > 256) {
            break; // a cycle cannot be registered, but never loop forever
        }
    }
    return chain;
}

namespace {

// The class and its ancestors, nearest first, without allocating (lookups on per-frame paths).
template <typename Visit>
auto first_in_chain(const StringName &p_class, Visit p_visit)
    -> decltype(p_visit(std::declval<ClassRecord &>())) {
    Database *db = database();
    if (!db) {
        return nullptr;
    }
    int depth = 0;
    for (ClassRecord *record = record_of(*db, p_class); record != nullptr && depth < 256;
         record = record_of(*db, record->parent), ++depth) {
        if (auto found = p_visit(*record)) {
            return found;
        }
    }
    return nullptr;
}

} // namespace

MethodBind *find_method(const StringName &p_class, const StringName &p_method) {
    return first_in_chain(p_class, [&](ClassRecord &p_record) -> MethodBind * {
        auto it = p_record.method_map.find(p_method.text());
        return it != p_record.method_map.end() ? it->second : nullptr;
    });
}

const MethodInfo *find_signal(const StringName &p_class, const StringName &p_signal) {
    return first_in_chain(p_class, [&](ClassRecord &p_record) -> const MethodInfo * {
        for (const MethodInfo &signal : p_record.signals) {
            if (signal.name == p_signal) {
                return &signal;
            }
        }
        return nullptr;
    });
}

const PropertyRecord *find_property(const StringName &p_class, const StringName &p_property) {
    return first_in_chain(p_class, [&](ClassRecord &p_record) -> const PropertyRecord * {
        for (const PropertyRecord &property : p_record.properties) {
            if (property.info.name == p_property &&
                (property.info.usage & (PROPERTY_USAGE_GROUP | PROPERTY_USAGE_SUBGROUP)) == 0) {
                return &property;
            }
        }
        return nullptr;
    });
}

String call_error_text(const String &p_callable, const Variant **p_args, int p_argcount,
                       const GDExtensionCallError &p_error) {
    String text;
    switch (p_error.error) {
    case GDEXTENSION_CALL_OK:
        return String();
    case GDEXTENSION_CALL_ERROR_INVALID_METHOD:
        text = "Method not found";
        break;
    case GDEXTENSION_CALL_ERROR_INVALID_ARGUMENT: {
        const Variant::Type from =
            (p_error.argument >= 0 && p_error.argument < p_argcount && p_args != nullptr)
                ? p_args[p_error.argument]->get_type()
                : Variant::NIL;
        text = "Cannot convert argument " + itos(p_error.argument + 1) + " from " +
               Variant::get_type_name(from) + " to " +
               Variant::get_type_name(static_cast<Variant::Type>(p_error.expected));
        break;
    }
    case GDEXTENSION_CALL_ERROR_TOO_MANY_ARGUMENTS:
    case GDEXTENSION_CALL_ERROR_TOO_FEW_ARGUMENTS:
        text =
            "Method expected " + itos(p_error.expected) + " argument(s), but called with " + itos(p_argcount);
        break;
    case GDEXTENSION_CALL_ERROR_INSTANCE_IS_NULL:
        text = "Instance is null";
        break;
    case GDEXTENSION_CALL_ERROR_METHOD_NOT_CONST:
        text = "Method not const in const instance";
        break;
    }
    return "'" + p_callable + "': " + text;
}

EngineClassAnnouncement::EngineClassAnnouncement(const StringName &(*p_name)(),
                                                 const StringName &(*p_parent)(), void (*p_register)()) {
    announcements().push_back(Announcement{p_name, p_parent, p_register});
}

} // namespace internal

using internal::ClassRecord;

bool ClassDB::_gde_register_class(const internal::ClassRegistration &p_registration) {
    internal::Database *db = internal::database();
    if (!db) {
        return false;
    }
    const StringName &name = p_registration.name;
    ERR_FAIL_COND_V_MSG(name.is_empty(), false, "A class needs a name.");
    if (internal::record_of(*db, name) != nullptr) {
        ERR_FAIL_V_MSG(false, "Class '" + String(name) + "' is already registered.");
    }
    if (!p_registration.parent.is_empty() && internal::record_of(*db, p_registration.parent) == nullptr) {
        ERR_FAIL_V_MSG(false, "Class '" + String(name) + "' inherits from unregistered class '" +
                                  String(p_registration.parent) + "'.");
    }
    std::unique_ptr<ClassRecord> record = std::make_unique<ClassRecord>();
    record->name = name;
    record->parent = p_registration.parent;
    record->create = p_registration.create;
    record->is_virtual = p_registration.is_virtual;
    record->is_exposed = p_registration.is_exposed;
    record->is_runtime = p_registration.is_runtime;
    record->is_engine_class = p_registration.is_engine_class;
    if (!p_registration.is_engine_class) {
        record->owner = db->context_owner;
        record->level = db->context_level;
    }
    db->order.push_back(record.get());
    db->classes[name.text()] = std::move(record);
    if (p_registration.bind_methods != nullptr) {
        p_registration.bind_methods();
    }
    return true;
}

MethodBind *ClassDB::_gde_bind(MethodBind *p_bind, const MethodDefinition &p_definition,
                               const std::vector<Variant> &p_defaults) {
    std::unique_ptr<MethodBind> bind(p_bind);
    const String qualified = String(bind->get_instance_class()) + "::" + String(p_definition.name);
    ClassRecord *record = internal::find_class(bind->get_instance_class());
    if (record == nullptr) {
        ERR_FAIL_V_MSG(nullptr, "Class '" + String(bind->get_instance_class()) +
                                    "' is not registered; cannot bind '" + qualified + "'.");
    }
    if (record->method_map.count(p_definition.name.text()) != 0) {
        ERR_FAIL_V_MSG(nullptr, "Binding duplicate method: " + qualified + "().");
    }
    const size_t arity = static_cast<size_t>(bind->get_argument_count());
    if (p_definition.args.size() > arity) {
        ERR_FAIL_V_MSG(nullptr,
                       "Method definition of '" + qualified + "' names more arguments than the method has.");
    }
    if (p_defaults.size() > arity) {
        ERR_FAIL_V_MSG(nullptr, "Method '" + qualified + "' has more default values than arguments.");
    }
    bind->set_name(p_definition.name);
    bind->set_argument_names(p_definition.args);
    bind->set_default_arguments(p_defaults);
    MethodBind *raw = bind.release();
    record->methods.push_back(raw);
    record->method_map[p_definition.name.text()] = raw;
    return raw;
}

bool ClassDB::_gde_class_exists(const StringName &p_class) {
    return internal::find_class(p_class) != nullptr;
}

void ClassDB::_gde_set_registration_context(const void *p_owner, int p_level) {
    internal::Database *db = internal::database();
    if (db) {
        db->context_owner = p_owner;
        db->context_level = p_level;
    }
}

void ClassDB::_gde_unregister_level(const void *p_owner, int p_level) {
    internal::Database *db = internal::database();
    if (!db) {
        return;
    }
    for (size_t i = db->order.size(); i-- > 0;) {
        ClassRecord *record = db->order[i];
        if (!record->is_engine_class && record->owner == p_owner && record->level == p_level) {
            const String name = record->name.text();
            db->order.erase(db->order.begin() + static_cast<std::ptrdiff_t>(i));
            db->classes.erase(name);
        }
    }
}

void ClassDB::add_property_group(const StringName &p_class, const String &p_name, const String &p_prefix) {
    ClassRecord *record = internal::find_class(p_class);
    ERR_FAIL_NULL_MSG(record, "Class '" + String(p_class) + "' is not registered.");
    internal::PropertyRecord property;
    property.info = PropertyInfo(Variant::NIL, p_name, PROPERTY_HINT_NONE, p_prefix, PROPERTY_USAGE_GROUP);
    record->properties.push_back(property);
}

void ClassDB::add_property_subgroup(const StringName &p_class, const String &p_name, const String &p_prefix) {
    ClassRecord *record = internal::find_class(p_class);
    ERR_FAIL_NULL_MSG(record, "Class '" + String(p_class) + "' is not registered.");
    internal::PropertyRecord property;
    property.info = PropertyInfo(Variant::NIL, p_name, PROPERTY_HINT_NONE, p_prefix, PROPERTY_USAGE_SUBGROUP);
    record->properties.push_back(property);
}

void ClassDB::add_property(const StringName &p_class, const PropertyInfo &p_pinfo, const StringName &p_setter,
                           const StringName &p_getter, int p_index) {
    (void)p_index;
    ClassRecord *record = internal::find_class(p_class);
    ERR_FAIL_NULL_MSG(record, "Class '" + String(p_class) + "' is not registered.");
    const String qualified = String(p_class) + "::" + String(p_pinfo.name);
    for (const internal::PropertyRecord &existing : record->properties) {
        if (existing.info.name == p_pinfo.name) {
            ERR_FAIL_MSG("Property '" + qualified + "' already exists.");
        }
    }
    if (!p_setter.is_empty() && internal::find_method(p_class, p_setter) == nullptr) {
        ERR_FAIL_MSG("Setter method '" + String(p_class) + "::" + String(p_setter) +
                     "()' not found for property '" + qualified + "'.");
    }
    ERR_FAIL_COND_MSG(p_getter.is_empty(), "Property '" + qualified + "' needs a getter.");
    if (internal::find_method(p_class, p_getter) == nullptr) {
        ERR_FAIL_MSG("Getter method '" + String(p_class) + "::" + String(p_getter) +
                     "()' not found for property '" + qualified + "'.");
    }
    internal::PropertyRecord property;
    property.info = p_pinfo;
    property.setter = p_setter;
    property.getter = p_getter;
    record->properties.push_back(property);
}

void ClassDB::add_signal(const StringName &p_class, const MethodInfo &p_signal) {
    ClassRecord *record = internal::find_class(p_class);
    ERR_FAIL_NULL_MSG(record, "Class '" + String(p_class) + "' is not registered.");
    for (const MethodInfo &existing : record->signals) {
        if (existing.name == p_signal.name) {
            ERR_FAIL_MSG("Class '" + String(p_class) + "' already has signal '" + String(p_signal.name) +
                         "'.");
        }
    }
    record->signals.push_back(p_signal);
}

void ClassDB::bind_integer_constant(const StringName &p_class_name, const StringName &p_enum_name,
                                    const StringName &p_constant_name, GDExtensionInt p_constant_value,
                                    bool p_is_bitfield) {
    ClassRecord *record = internal::find_class(p_class_name);
    ERR_FAIL_NULL_MSG(record, "Class '" + String(p_class_name) + "' is not registered.");
    for (const internal::ConstantRecord &existing : record->constants) {
        if (existing.name == p_constant_name) {
            ERR_FAIL_MSG("Constant '" + String(p_class_name) + "::" + String(p_constant_name) +
                         "' already exists.");
        }
    }
    internal::ConstantRecord constant;
    constant.name = p_constant_name;
    constant.value = p_constant_value;
    if (!p_enum_name.is_empty()) {
        constant.enum_name = internal::short_enum_name(p_enum_name);
        internal::EnumRecord *group = nullptr;
        for (internal::EnumRecord &existing : record->enums) {
            if (existing.name == constant.enum_name) {
                group = &existing;
            }
        }
        if (group == nullptr) {
            record->enums.push_back(internal::EnumRecord{constant.enum_name, {}, p_is_bitfield});
            group = &record->enums.back();
        }
        group->constants.push_back(p_constant_name);
    }
    record->constants.push_back(constant);
}

MethodBind *ClassDB::get_method(const StringName &p_class, const StringName &p_method) {
    return internal::find_method(p_class, p_method);
}

// The scripts' door.

ClassDBSingleton *ClassDBSingleton::get_singleton() {
    static ClassDBSingleton singleton;
    return &singleton;
}

PackedStringArray ClassDBSingleton::get_class_list() const {
    std::vector<String> names;
    internal::Database *db = internal::database();
    if (db) {
        for (const auto &entry : db->classes) {
            names.push_back(entry.first);
        }
    }
    std::sort(names.begin(), names.end());
    PackedStringArray list;
    for (const String &name : names) {
        list.append(name);
    }
    return list;
}

PackedStringArray ClassDBSingleton::get_inheriters_from_class(const StringName &p_class) const {
    PackedStringArray list;
    for (const String &name : get_class_list()) {
        if (name != String(p_class) && is_parent_class(name, p_class)) {
            list.append(name);
        }
    }
    return list;
}

StringName ClassDBSingleton::get_parent_class(const StringName &p_class) const {
    ClassRecord *record = internal::find_class(p_class);
    return record ? record->parent : StringName();
}

bool ClassDBSingleton::class_exists(const StringName &p_class) const {
    return internal::find_class(p_class) != nullptr;
}

bool ClassDBSingleton::is_parent_class(const StringName &p_class, const StringName &p_inherits) const {
    for (ClassRecord *record : internal::class_chain(p_class)) {
        if (record->name == p_inherits) {
            return true;
        }
    }
    return false;
}

bool ClassDBSingleton::can_instantiate(const StringName &p_class) const {
    ClassRecord *record = internal::find_class(p_class);
    return record != nullptr && record->create != nullptr && !record->is_virtual;
}

Variant ClassDBSingleton::instantiate(const StringName &p_class) const {
    ClassRecord *record = internal::find_class(p_class);
    ERR_FAIL_NULL_V_MSG(record, Variant(), "Cannot get class '" + String(p_class) + "'.");
    ERR_FAIL_COND_V_MSG(record->create == nullptr, Variant(),
                        "Class '" + String(p_class) + "' or its base class cannot be instantiated.");
    return Variant(record->create());
}

ClassDBSingleton::APIType ClassDBSingleton::class_get_api_type(const StringName &p_class) const {
    ClassRecord *record = internal::find_class(p_class);
    if (record == nullptr) {
        return API_NONE;
    }
    return record->is_engine_class ? API_CORE : API_EXTENSION;
}

bool ClassDBSingleton::class_has_signal(const StringName &p_class, const StringName &p_signal) const {
    return internal::find_signal(p_class, p_signal) != nullptr;
}

Dictionary ClassDBSingleton::class_get_signal(const StringName &p_class, const StringName &p_signal) const {
    const MethodInfo *signal = internal::find_signal(p_class, p_signal);
    return signal ? Dictionary(*signal) : Dictionary();
}

TypedArray<Dictionary> ClassDBSingleton::class_get_signal_list(const StringName &p_class,
                                                               bool p_no_inheritance) const {
    TypedArray<Dictionary> list;
    for (ClassRecord *record : internal::class_chain(p_class)) {
        for (const MethodInfo &signal : record->signals) {
            list.push_back(Dictionary(signal));
        }
        if (p_no_inheritance) {
            break;
        }
    }
    return list;
}

TypedArray<Dictionary> ClassDBSingleton::class_get_property_list(const StringName &p_class,
                                                                 bool p_no_inheritance) const {
    TypedArray<Dictionary> list;
    for (ClassRecord *record : internal::class_chain(p_class)) {
        for (const internal::PropertyRecord &property : record->properties) {
            list.push_back(Dictionary(property.info));
        }
        if (p_no_inheritance) {
            break;
        }
    }
    return list;
}

StringName ClassDBSingleton::class_get_property_getter(const StringName &p_class,
                                                       const StringName &p_property) {
    const internal::PropertyRecord *property = internal::find_property(p_class, p_property);
    return property ? property->getter : StringName();
}

StringName ClassDBSingleton::class_get_property_setter(const StringName &p_class,
                                                       const StringName &p_property) {
    const internal::PropertyRecord *property = internal::find_property(p_class, p_property);
    return property ? property->setter : StringName();
}

Variant ClassDBSingleton::class_get_property(Object *p_object, const StringName &p_property) const {
    ERR_FAIL_NULL_V(p_object, Variant());
    return p_object->get(p_property);
}

Error ClassDBSingleton::class_set_property(Object *p_object, const StringName &p_property,
                                           const Variant &p_value) const {
    ERR_FAIL_NULL_V(p_object, ERR_INVALID_PARAMETER);
    const internal::PropertyRecord *property = internal::find_property(p_object->get_class(), p_property);
    if (property == nullptr || property->setter.is_empty()) {
        return ERR_UNAVAILABLE;
    }
    p_object->set(p_property, p_value);
    return OK;
}

bool ClassDBSingleton::class_has_method(const StringName &p_class, const StringName &p_method,
                                        bool p_no_inheritance) const {
    for (ClassRecord *record : internal::class_chain(p_class)) {
        if (record->method_map.count(p_method.text()) != 0) {
            return true;
        }
        if (p_no_inheritance) {
            break;
        }
    }
    return false;
}

int32_t ClassDBSingleton::class_get_method_argument_count(const StringName &p_class,
                                                          const StringName &p_method,
                                                          bool p_no_inheritance) const {
    for (ClassRecord *record : internal::class_chain(p_class)) {
        auto it = record->method_map.find(p_method.text());
        if (it != record->method_map.end()) {
            return it->second->get_argument_count();
        }
        if (p_no_inheritance) {
            break;
        }
    }
    return 0;
}

TypedArray<Dictionary> ClassDBSingleton::class_get_method_list(const StringName &p_class,
                                                               bool p_no_inheritance) const {
    TypedArray<Dictionary> list;
    for (ClassRecord *record : internal::class_chain(p_class)) {
        for (const MethodBind *bind : record->methods) {
            list.push_back(Dictionary(internal::method_info_of(*bind)));
        }
        if (p_no_inheritance) {
            break;
        }
    }
    return list;
}

PackedStringArray ClassDBSingleton::class_get_integer_constant_list(const StringName &p_class,
                                                                    bool p_no_inheritance) const {
    PackedStringArray list;
    for (ClassRecord *record : internal::class_chain(p_class)) {
        for (const internal::ConstantRecord &constant : record->constants) {
            list.append(constant.name);
        }
        if (p_no_inheritance) {
            break;
        }
    }
    return list;
}

bool ClassDBSingleton::class_has_integer_constant(const StringName &p_class, const StringName &p_name) const {
    for (ClassRecord *record : internal::class_chain(p_class)) {
        for (const internal::ConstantRecord &constant : record->constants) {
            if (constant.name == p_name) {
                return true;
            }
        }
    }
    return false;
}

int64_t ClassDBSingleton::class_get_integer_constant(const StringName &p_class,
                                                     const StringName &p_name) const {
    for (ClassRecord *record : internal::class_chain(p_class)) {
        for (const internal::ConstantRecord &constant : record->constants) {
            if (constant.name == p_name) {
                return constant.value;
            }
        }
    }
    return 0;
}

bool ClassDBSingleton::class_has_enum(const StringName &p_class, const StringName &p_name,
                                      bool p_no_inheritance) const {
    for (ClassRecord *record : internal::class_chain(p_class)) {
        for (const internal::EnumRecord &group : record->enums) {
            if (group.name == p_name) {
                return true;
            }
        }
        if (p_no_inheritance) {
            break;
        }
    }
    return false;
}

PackedStringArray ClassDBSingleton::class_get_enum_list(const StringName &p_class,
                                                        bool p_no_inheritance) const {
    PackedStringArray list;
    for (ClassRecord *record : internal::class_chain(p_class)) {
        for (const internal::EnumRecord &group : record->enums) {
            list.append(group.name);
        }
        if (p_no_inheritance) {
            break;
        }
    }
    return list;
}

PackedStringArray ClassDBSingleton::class_get_enum_constants(const StringName &p_class,
                                                             const StringName &p_enum,
                                                             bool p_no_inheritance) const {
    PackedStringArray list;
    for (ClassRecord *record : internal::class_chain(p_class)) {
        for (const internal::EnumRecord &group : record->enums) {
            if (group.name == p_enum) {
                for (const StringName &constant : group.constants) {
                    list.append(constant);
                }
                return list;
            }
        }
        if (p_no_inheritance) {
            break;
        }
    }
    return list;
}

StringName ClassDBSingleton::class_get_integer_constant_enum(const StringName &p_class,
                                                             const StringName &p_name,
                                                             bool p_no_inheritance) const {
    for (ClassRecord *record : internal::class_chain(p_class)) {
        for (const internal::ConstantRecord &constant : record->constants) {
            if (constant.name == p_name) {
                return constant.enum_name;
            }
        }
        if (p_no_inheritance) {
            break;
        }
    }
    return StringName();
}

bool ClassDBSingleton::is_class_enum_bitfield(const StringName &p_class, const StringName &p_enum,
                                              bool p_no_inheritance) const {
    for (ClassRecord *record : internal::class_chain(p_class)) {
        for (const internal::EnumRecord &group : record->enums) {
            if (group.name == p_enum) {
                return group.is_bitfield;
            }
        }
        if (p_no_inheritance) {
            break;
        }
    }
    return false;
}

} // namespace godot

std::vector<godot::String> standin::registered_extension_classes() {
    std::vector<godot::String> names;
    if (godot::internal::Database *db = godot::internal::database()) {
        for (const godot::internal::ClassRecord *record : db->order) {
            if (!record->is_engine_class) {
                names.push_back(record->name.text());
            }
        }
    }
    return names;
}
