#include <godot_cpp/core/property_info.hpp>

namespace godot {

PropertyInfo::operator Dictionary() const {
    Dictionary dictionary;
    dictionary["name"] = String(name);
    dictionary["class_name"] = class_name;
    dictionary["type"] = static_cast<int64_t>(type);
    dictionary["hint"] = hint;
    dictionary["hint_string"] = hint_string;
    dictionary["usage"] = usage;
    return dictionary;
}

MethodInfo::operator Dictionary() const {
    Dictionary dictionary;
    dictionary["name"] = String(name);
    Array args;
    for (const PropertyInfo &argument : arguments) {
        args.push_back(Dictionary(argument));
    }
    dictionary["args"] = args;
    Array defaults;
    for (const Variant &value : default_arguments) {
        defaults.push_back(value);
    }
    dictionary["default_args"] = defaults;
    dictionary["flags"] = flags;
    dictionary["id"] = id;
    dictionary["return"] = Dictionary(return_val);
    return dictionary;
}

} // namespace godot
