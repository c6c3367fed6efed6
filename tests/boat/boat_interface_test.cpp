// The Boat class as scripts see it in the class database.
#include "bound_interface.hpp"
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

using brinewake_test::MethodRow;
using brinewake_test::text;

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
        {"cycle_weapon", {{"direction", V::INT}}, V::INT, false, {Variant(int64_t(1))}},
        {"reset_weapons", {}, V::NIL, false},
        {"get_muzzle_position", {}, V::VECTOR3, true},
    };

    ClassDBSingleton *db = ClassDBSingleton::get_singleton();
    ASSERT_TRUE(db->class_exists("Boat"));
    EXPECT_EQ(text(db->get_parent_class("Boat")), "RigidBody3D");
    EXPECT_TRUE(db->can_instantiate("Boat"));

    brinewake_test::expect_bound_methods("Boat", table);
    brinewake_test::expect_signals("Boat", {{"destroyed", {}}, {"respawned", {}}});
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
