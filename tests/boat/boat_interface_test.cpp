// The Boat class as scripts see it in the class database.
#include "linked_extension.hpp"

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace godot;

namespace {

struct Argument {
    const char *name;
    Variant::Type type;
};

struct MethodRow {
    const char *name;
    std::vector<Argument> arguments;
    Variant::Type result;
    bool is_const;
};

std::string text(const Variant &p_value) {
    return String(p_value).utf8().get_data();
}

TEST(BoatInterface, RegisteredMethodsAndSignalsMatchTheScriptInterface) {
    brinewake_test::use_linked_extension();
    using V = Variant;
    const std::vector<MethodRow> table = {
        {"get_respawn_remaining", {}, V::FLOAT, true},
        {"set_wave_time", {{"value", V::FLOAT}}, V::NIL, false},
        {"set_spawn_position", {{"position", V::VECTOR3}}, V::NIL, false},
        {"get_spawn_position", {}, V::VECTOR3, true},
        {"set_spawn_yaw", {{"yaw", V::FLOAT}}, V::NIL, false},
        {"get_spawn_yaw", {}, V::FLOAT, true},
        {"get_network_state", {}, V::DICTIONARY, true},
        {"apply_network_state", {{"state", V::DICTIONARY}}, V::NIL, false},
        {"get_network_packet", {}, V::PACKED_BYTE_ARRAY, true},
        {"apply_network_packet", {{"packet", V::PACKED_BYTE_ARRAY}}, V::BOOL, false},
        {"set_controls", {{"throttle", V::FLOAT}, {"steering", V::FLOAT}}, V::NIL, false},
        {"reset_boat", {}, V::NIL, false},
        {"get_health", {}, V::FLOAT, true},
        {"get_max_health", {}, V::FLOAT, true},
        {"restore_health", {{"amount", V::FLOAT}}, V::FLOAT, false},
        {"apply_damage", {{"amount", V::FLOAT}}, V::NIL, false},
        {"activate_speed_boost", {}, V::BOOL, false},
        {"get_speed_boost_remaining", {}, V::FLOAT, true},
        {"set_wind", {{"wind", V::VECTOR2}}, V::NIL, false},
        {"get_wind", {}, V::VECTOR2, true},
        {"get_wave_time", {}, V::FLOAT, true},
        {"get_hull_scale", {}, V::FLOAT, true},
        {"wave_height", {{"x", V::FLOAT}, {"z", V::FLOAT}}, V::FLOAT, true},
        {"get_wave_parameters", {}, V::PACKED_VECTOR4_ARRAY, true},
        {"get_wave_phases", {}, V::PACKED_FLOAT32_ARRAY, true},
        {"set_trigger", {{"pressed", V::BOOL}}, V::NIL, false},
        {"select_weapon", {{"kind", V::INT}}, V::BOOL, false},
        {"get_selected_weapon", {}, V::INT, true},
        {"get_ammo", {{"kind", V::INT}}, V::INT, true},
        {"add_ammo", {{"kind", V::INT}, {"amount", V::INT}}, V::INT, false},
        {"cycle_weapon", {{"direction", V::INT}}, V::INT, false},
        {"reset_weapons", {}, V::NIL, false},
        {"get_muzzle_position", {}, V::VECTOR3, true},
    };

    ClassDBSingleton *db = ClassDBSingleton::get_singleton();
    ASSERT_TRUE(db->class_exists("Boat"));
    EXPECT_EQ(text(db->get_parent_class("Boat")), "RigidBody3D");
    EXPECT_TRUE(db->can_instantiate("Boat"));

    // Engine virtuals the class overrides are not part of its own script interface.
    std::vector<Dictionary> methods;
    const TypedArray<Dictionary> listed = db->class_get_method_list("Boat", true);
    for (int64_t i = 0; i < listed.size(); ++i) {
        const Dictionary method = listed[i];
        if ((int64_t(method["flags"]) & METHOD_FLAG_VIRTUAL) == 0) {
            methods.push_back(method);
        }
    }
    ASSERT_EQ(methods.size(), table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        const MethodRow &row = table[i];
        const Dictionary &method = methods[i];
        SCOPED_TRACE(testing::Message() << "#" << i + 1 << " " << row.name);
        EXPECT_EQ(text(method["name"]), row.name);
        const Array arguments = method["args"];
        ASSERT_EQ(size_t(arguments.size()), row.arguments.size());
        for (size_t a = 0; a < row.arguments.size(); ++a) {
            const Dictionary argument = arguments[int64_t(a)];
            EXPECT_EQ(text(argument["name"]), row.arguments[a].name);
            EXPECT_EQ(int64_t(argument["type"]), int64_t(row.arguments[a].type)) << row.arguments[a].name;
        }
        const Dictionary result = method["return"];
        EXPECT_EQ(int64_t(result["type"]), int64_t(row.result));
        EXPECT_EQ((int64_t(method["flags"]) & METHOD_FLAG_CONST) != 0, row.is_const);
        const Array defaults = method["default_args"];
        if (std::string(row.name) == "cycle_weapon") {
            ASSERT_EQ(defaults.size(), 1);
            EXPECT_EQ(defaults[0].get_type(), Variant::INT);
            EXPECT_EQ(int64_t(defaults[0]), 1);
        } else {
            EXPECT_EQ(defaults.size(), 0) << "only cycle_weapon has a default";
        }
    }

    const TypedArray<Dictionary> signals = db->class_get_signal_list("Boat", true);
    ASSERT_EQ(signals.size(), 2);
    const char *signal_names[2] = {"destroyed", "respawned"};
    for (int64_t i = 0; i < 2; ++i) {
        const Dictionary signal = signals[i];
        EXPECT_EQ(text(signal["name"]), signal_names[i]);
        EXPECT_EQ(Array(signal["args"]).size(), 0) << signal_names[i];
    }
    EXPECT_EQ(db->class_get_integer_constant_list("Boat", true).size(), 0) << "no constants are bound";
}

TEST(BoatInterface, ScriptCallsUseTheDefaultAndConvertArguments) {
    brinewake_test::use_linked_extension();
    Object *boat = ClassDBSingleton::get_singleton()->instantiate("Boat").operator Object *();
    ASSERT_NE(boat, nullptr);
    EXPECT_TRUE(boat->is_class("RigidBody3D"));
    boat->call("add_ammo", 0, 2);
    EXPECT_EQ(int64_t(boat->call("cycle_weapon")), 0) << "direction defaults to 1";
    boat->call("set_wave_time", 4); // an int argument arrives as a float
    EXPECT_EQ(double(boat->call("get_wave_time")), 4.0);
    boat->call("restore_health", 1);
    boat->call("apply_damage", 20);
    EXPECT_EQ(double(boat->call("get_health")), 30.0);
    memdelete(boat);
}

} // namespace
