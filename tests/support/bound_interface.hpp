// Checks a registered class against its script interface written out as a table: bound methods in
// binding order (names, argument names and types, result type, const-ness, defaults) and signals.
// For the interface tests only (GoogleTest assertions).
#pragma once

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brinewake_test {

struct Argument {
    const char *name;
    godot::Variant::Type type;
};

struct MethodRow {
    const char *name;
    std::vector<Argument> arguments;
    godot::Variant::Type result;
    bool is_const;
    std::vector<godot::Variant> defaults = {}; // of the trailing arguments
};

struct SignalRow {
    const char *name;
    std::vector<Argument> arguments;
};

inline std::string text(const godot::Variant &p_value) {
    return godot::String(p_value).utf8().get_data();
}

// The class's own bound methods, in binding order; engine virtuals it overrides are not part of them.
inline void expect_bound_methods(const char *p_class, const std::vector<MethodRow> &p_table) {
    using godot::Array;
    using godot::Dictionary;
    std::vector<Dictionary> methods;
    const godot::TypedArray<Dictionary> listed =
        godot::ClassDBSingleton::get_singleton()->class_get_method_list(p_class, true);
    for (int64_t i = 0; i < listed.size(); ++i) {
        const Dictionary method = listed[i];
        if ((int64_t(method["flags"]) & godot::METHOD_FLAG_VIRTUAL) == 0) {
            methods.push_back(method);
        }
    }
    ASSERT_EQ(methods.size(), p_table.size());
    for (size_t i = 0; i < p_table.size(); ++i) {
        const MethodRow &row = p_table[i];
        const Dictionary &method = methods[i];
        SCOPED_TRACE(testing::Message() << p_class << " #" << i + 1 << " " << row.name);
        EXPECT_EQ(text(method["name"]), row.name);
        const Array arguments = method["args"];
        ASSERT_EQ(size_t(arguments.size()), row.arguments.size());
        for (size_t a = 0; a < row.arguments.size(); ++a) {
            const Dictionary argument = arguments[int64_t(a)];
            EXPECT_EQ(text(argument["name"]), row.arguments[a].name);
            EXPECT_EQ(int64_t(argument["type"]), int64_t(row.arguments[a].type)) << row.arguments[a].name;
        }
        EXPECT_EQ(int64_t(Dictionary(method["return"])["type"]), int64_t(row.result));
        EXPECT_EQ((int64_t(method["flags"]) & godot::METHOD_FLAG_CONST) != 0, row.is_const);
        const Array defaults = method["default_args"];
        ASSERT_EQ(size_t(defaults.size()), row.defaults.size());
        for (size_t d = 0; d < row.defaults.size(); ++d) {
            EXPECT_EQ(defaults[int64_t(d)].get_type(), row.defaults[d].get_type());
            EXPECT_EQ(defaults[int64_t(d)], row.defaults[d]);
        }
    }
}

// The class's own signals, in registration order, with their argument names and types.
inline void expect_signals(const char *p_class, const std::vector<SignalRow> &p_table) {
    using godot::Array;
    using godot::Dictionary;
    const godot::TypedArray<Dictionary> listed =
        godot::ClassDBSingleton::get_singleton()->class_get_signal_list(p_class, true);
    ASSERT_EQ(size_t(listed.size()), p_table.size());
    for (size_t i = 0; i < p_table.size(); ++i) {
        const Dictionary signal = listed[int64_t(i)];
        SCOPED_TRACE(testing::Message() << p_class << " signal " << p_table[i].name);
        EXPECT_EQ(text(signal["name"]), p_table[i].name);
        const Array arguments = signal["args"];
        ASSERT_EQ(size_t(arguments.size()), p_table[i].arguments.size());
        for (size_t a = 0; a < p_table[i].arguments.size(); ++a) {
            const Dictionary argument = arguments[int64_t(a)];
            EXPECT_EQ(text(argument["name"]), p_table[i].arguments[a].name);
            EXPECT_EQ(int64_t(argument["type"]), int64_t(p_table[i].arguments[a].type));
        }
    }
}

} // namespace brinewake_test
