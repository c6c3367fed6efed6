// The class database's records, shared by the units that read them.
#pragma once

#include <godot_cpp/core/class_db.hpp>

#include <cstdint>
#include <map>
#include <vector>

namespace godot {
namespace internal {

struct PropertyRecord {
    PropertyInfo info;
    StringName setter;
    StringName getter;
};

struct ConstantRecord {
    StringName name;
    int64_t value = 0;
    StringName enum_name;
};

struct EnumRecord {
    StringName name;
    std::vector<StringName> constants;
    bool is_bitfield = false;
};

struct ClassRecord {
    StringName name;
    StringName parent;
    Object *(*create)() = nullptr;
    bool is_virtual = false;
    bool is_exposed = true;
    bool is_runtime = false;
    bool is_engine_class = false;
    // Who registered the class at which initialization level; null owner and -1 outside an initializer.
    const void *owner = nullptr;
    int level = -1;

    std::vector<MethodBind *> methods; // owned, in binding order
    std::map<String, MethodBind *> method_map;
    std::vector<MethodInfo> signals;
    std::vector<PropertyRecord> properties;
    std::vector<ConstantRecord> constants;
    std::vector<EnumRecord> enums;

    ClassRecord() = default;
    ClassRecord(const ClassRecord &) = delete;
    ClassRecord &operator=(const ClassRecord &) = delete;
    ~ClassRecord();
};

// Null for an unknown class. The first call registers the announced engine classes.
ClassRecord *find_class(const StringName &p_class);
// The class and its ancestors, nearest first; empty for an unknown class.
std::vector<ClassRecord *> class_chain(const StringName &p_class);
MethodBind *find_method(const StringName &p_class, const StringName &p_method);
const MethodInfo *find_signal(const StringName &p_class, const StringName &p_signal);
const PropertyRecord *find_property(const StringName &p_class, const StringName &p_property);

// "'Class::method': Method expected 2 argument(s), but called with 1", as the engine words call errors.
String call_error_text(const String &p_callable, const Variant **p_args, int p_argcount,
                       const GDExtensionCallError &p_error);

} // namespace internal
} // namespace godot
