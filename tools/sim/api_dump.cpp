// --dump-api: the registered interface as JSON, read back through the class
// database exactly as a script or an editor plugin would read it.
#include "sim.hpp"

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <string>

using namespace godot;

namespace {

std::string utf8(const String &p_text) {
    return std::string(p_text.utf8().get_data());
}

std::string json_string(const String &p_text) {
    std::string out = "\"";
    for (const char c : utf8(p_text)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof(escaped), "\\u%04x", c);
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

// A default value as JSON: numbers and booleans as themselves, anything else as its text.
std::string json_value(const Variant &p_value) {
    switch (p_value.get_type()) {
    case Variant::NIL:
        return "null";
    case Variant::BOOL:
        return bool(p_value) ? "true" : "false";
    case Variant::INT:
        return std::to_string(int64_t(p_value));
    case Variant::FLOAT: {
        char number[40];
        std::snprintf(number, sizeof(number), "%.17g", double(p_value));
        return number;
    }
    default:
        return json_string(p_value.stringify());
    }
}

std::string type_name(const Dictionary &p_property) {
    const String class_name = p_property.get("class_name", String());
    if (!class_name.is_empty()) {
        return json_string(class_name);
    }
    const Variant::Type type = Variant::Type(int64_t(p_property.get("type", int64_t(Variant::NIL))));
    return json_string(type == Variant::NIL ? String("void") : Variant::get_type_name(type));
}

std::string arguments(const Array &p_args) {
    std::string out = "[";
    for (int64_t i = 0; i < p_args.size(); ++i) {
        const Dictionary arg = p_args[i];
        out += (i ? ", " : "");
        out += "{\"name\": " + json_string(arg.get("name", String())) + ", \"type\": " + type_name(arg) + "}";
    }
    return out + "]";
}

void dump_class(const String &p_class, std::FILE *p_out) {
    ClassDBSingleton *db = ClassDBSingleton::get_singleton();
    std::fprintf(p_out, "    {\n      \"name\": %s,\n      \"base\": %s,\n", json_string(p_class).c_str(),
                 json_string(db->get_parent_class(p_class)).c_str());

    const TypedArray<Dictionary> methods = db->class_get_method_list(p_class, true);
    std::fprintf(p_out, "      \"methods\": [");
    for (int64_t i = 0; i < methods.size(); ++i) {
        const Dictionary method = methods[i];
        const int64_t flags = method.get("flags", int64_t(0));
        const Array defaults = method.get("default_args", Array());
        std::string default_list = "[";
        for (int64_t d = 0; d < defaults.size(); ++d) {
            default_list += (d ? ", " : "") + json_value(defaults[d]);
        }
        default_list += "]";
        std::fprintf(
            p_out,
            "%s\n        {\"name\": %s, \"args\": %s, \"defaults\": %s, \"const\": %s, \"return\": %s}",
            i ? "," : "", json_string(method.get("name", String())).c_str(),
            arguments(method.get("args", Array())).c_str(), default_list.c_str(),
            (flags & METHOD_FLAG_CONST) ? "true" : "false",
            type_name(method.get("return", Dictionary())).c_str());
    }
    std::fprintf(p_out, "%s],\n", methods.size() ? "\n      " : "");

    const TypedArray<Dictionary> signals = db->class_get_signal_list(p_class, true);
    std::fprintf(p_out, "      \"signals\": [");
    for (int64_t i = 0; i < signals.size(); ++i) {
        const Dictionary signal = signals[i];
        std::fprintf(p_out, "%s\n        {\"name\": %s, \"args\": %s}", i ? "," : "",
                     json_string(signal.get("name", String())).c_str(),
                     arguments(signal.get("args", Array())).c_str());
    }
    std::fprintf(p_out, "%s],\n", signals.size() ? "\n      " : "");

    const PackedStringArray enums = db->class_get_enum_list(p_class, true);
    std::fprintf(p_out, "      \"enums\": {");
    for (int64_t i = 0; i < enums.size(); ++i) {
        const PackedStringArray constants = db->class_get_enum_constants(p_class, enums[i], true);
        std::string members;
        for (int64_t c = 0; c < constants.size(); ++c) {
            members += (c ? ", " : "") + json_string(constants[c]) + ": " +
                       std::to_string(db->class_get_integer_constant(p_class, constants[c]));
        }
        std::fprintf(p_out, "%s\n        %s: {%s}", i ? "," : "", json_string(enums[i]).c_str(),
                     members.c_str());
    }
    std::fprintf(p_out, "%s},\n", enums.size() ? "\n      " : "");

    const PackedStringArray constants = db->class_get_integer_constant_list(p_class, true);
    std::fprintf(p_out, "      \"constants\": {");
    for (int64_t i = 0; i < constants.size(); ++i) {
        std::fprintf(p_out, "%s%s: %lld", i ? ", " : "", json_string(constants[i]).c_str(),
                     static_cast<long long>(db->class_get_integer_constant(p_class, constants[i])));
    }
    std::fprintf(p_out, "},\n");

    const TypedArray<Dictionary> properties = db->class_get_property_list(p_class, true);
    std::fprintf(p_out, "      \"properties\": [");
    for (int64_t i = 0; i < properties.size(); ++i) {
        const Dictionary property = properties[i];
        const String name = property.get("name", String());
        std::fprintf(p_out, "%s\n        {\"name\": %s, \"type\": %s, \"setter\": %s, \"getter\": %s}",
                     i ? "," : "", json_string(name).c_str(), type_name(property).c_str(),
                     json_string(db->class_get_property_setter(p_class, name)).c_str(),
                     json_string(db->class_get_property_getter(p_class, name)).c_str());
    }
    std::fprintf(p_out, "%s]\n    }", properties.size() ? "\n      " : "");
}

} // namespace

void sim::dump_api(const std::vector<String> &p_classes, std::FILE *p_out) {
    std::fprintf(p_out, "{\n  \"classes\": [\n");
    for (size_t i = 0; i < p_classes.size(); ++i) {
        dump_class(p_classes[i], p_out);
        std::fprintf(p_out, "%s\n", i + 1 < p_classes.size() ? "," : "");
    }
    std::fprintf(p_out, "  ]\n}\n");
}
