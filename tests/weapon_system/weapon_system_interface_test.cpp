// The WeaponSystem class as scripts see it: its registered interface, its initial state, boat
// registration and the id sequence.
#include "bound_interface.hpp"
#include "combat_fixture.hpp"

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <standin/error_capture.hpp>

#include <string>
#include <vector>

using namespace godot;
using brinewake_test::CombatTest;

namespace {

using brinewake_test::Argument;
using brinewake_test::MethodRow;
using brinewake_test::SignalRow;
using brinewake_test::text;

TEST(WeaponSystemInterface, RegisteredMethodsPropertyConstantsAndSignals) {
    brinewake_test::use_linked_extension();
    using V = Variant;
    const std::vector<MethodRow> table = {
        {"set_replica", {{"value", V::BOOL}}, V::NIL, false},
        {"set_replica_state", {{"shots", V::ARRAY}, {"items", V::ARRAY}}, V::NIL, false},
        {"is_replica", {}, V::BOOL, true},
        {"get_replica_packet", {}, V::PACKED_BYTE_ARRAY, true},
        {"set_replica_packet", {{"packet", V::PACKED_BYTE_ARRAY}}, V::BOOL, false},
        {"set_replica_lead", {{"seconds", V::FLOAT}}, V::NIL, false},
        {"get_replica_lead", {}, V::FLOAT, true},
        {"register_boat", {{"boat", V::OBJECT}}, V::NIL, false},
        {"unregister_boat", {{"boat", V::OBJECT}}, V::NIL, false},
        {"add_pickup", {{"kind", V::INT}, {"position", V::VECTOR3}}, V::INT, false},
        {"clear_pickups", {}, V::NIL, false},
        {"clear_projectiles", {}, V::NIL, false},
        {"save_match_state", {}, V::DICTIONARY, true},
        {"restore_match_state", {{"state", V::DICTIONARY}}, V::NIL, false},
        {"get_pickups", {}, V::ARRAY, true},
        {"get_projectiles", {}, V::ARRAY, true},
        {"get_projectile_count", {}, V::INT, true},
        {"get_weapon_count", {}, V::INT, true},
        {"get_weapon_info", {{"kind", V::INT}}, V::DICTIONARY, true},
        {"set_pickup_hover", {{"hover", V::FLOAT}}, V::NIL, false},
        {"get_pickup_hover", {}, V::FLOAT, true},
    };
    ClassDBSingleton *db = ClassDBSingleton::get_singleton();
    ASSERT_TRUE(db->class_exists("WeaponSystem"));
    EXPECT_EQ(text(db->get_parent_class("WeaponSystem")), "Node3D");

    brinewake_test::expect_bound_methods("WeaponSystem", table);

    EXPECT_EQ(text(db->class_get_property_getter("WeaponSystem", "pickup_hover")), "get_pickup_hover");
    EXPECT_EQ(text(db->class_get_property_setter("WeaponSystem", "pickup_hover")), "set_pickup_hover");

    struct ConstantRow {
        const char *name;
        const char *enumeration;
        int64_t value;
    };
    const ConstantRow constants[] = {
        {"PICKUP_HEALTH", "PickupKind", 100}, {"PICKUP_SPEED", "PickupKind", 101},
        {"SURFACE_AIR", "Surface", 0},        {"SURFACE_WATER", "Surface", 1},
        {"SURFACE_SOLID", "Surface", 2},      {"SURFACE_BOAT", "Surface", 3},
    };
    const PackedStringArray constant_names = db->class_get_integer_constant_list("WeaponSystem", true);
    ASSERT_EQ(constant_names.size(), 6);
    for (int64_t i = 0; i < 6; ++i) {
        const ConstantRow &row = constants[i];
        EXPECT_EQ(text(constant_names[i]), row.name);
        EXPECT_EQ(db->class_get_integer_constant("WeaponSystem", row.name), row.value) << row.name;
        EXPECT_EQ(text(db->class_get_integer_constant_enum("WeaponSystem", row.name, true)), row.enumeration);
    }

    const std::vector<SignalRow> signals = {
        {"weapon_fired",
         {{"boat", V::OBJECT},
          {"kind", V::INT},
          {"projectile_id", V::INT},
          {"position", V::VECTOR3},
          {"velocity", V::VECTOR3}}},
        {"weapon_empty", {{"boat", V::OBJECT}, {"kind", V::INT}}},
        {"projectile_impact",
         {{"projectile_id", V::INT},
          {"kind", V::INT},
          {"position", V::VECTOR3},
          {"normal", V::VECTOR3},
          {"surface", V::INT}}},
        {"boat_hit",
         {{"boat", V::OBJECT},
          {"kind", V::INT},
          {"damage", V::FLOAT},
          {"position", V::VECTOR3},
          {"attacker", V::OBJECT}}},
        {"pickup_collected",
         {{"pickup_id", V::INT}, {"boat", V::OBJECT}, {"kind", V::INT}, {"amount", V::INT}}},
        {"pickup_respawned", {{"pickup_id", V::INT}}},
    };
    brinewake_test::expect_signals("WeaponSystem", signals);
}

TEST_F(CombatTest, FreshNodeStateAndPickupHover) {
    Node3D *combat = node();
    ASSERT_NE(combat, nullptr);
    EXPECT_EQ(double(combat->call("get_pickup_hover")), 0.35);
    EXPECT_EQ(double(combat->get("pickup_hover")), 0.35);
    EXPECT_EQ(int64_t(combat->call("get_projectile_count")), 0);
    EXPECT_EQ(Array(combat->call("get_pickups")).size(), 0);
    EXPECT_EQ(int64_t(combat->call("get_weapon_count")), 2);
    EXPECT_EQ(text(Dictionary(combat->call("get_weapon_info", 0))["id"]), "model_rocket");
    EXPECT_TRUE(combat->is_physics_processing()) << "_ready turns the frame loop on";

    combat->set("pickup_hover", 0.5);
    EXPECT_EQ(double(combat->call("get_pickup_hover")), 0.5);
    for (double refused : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        combat->call("set_pickup_hover", refused);
        EXPECT_EQ(double(combat->call("get_pickup_hover")), 0.5) << "a non-finite hover is refused";
    }
    combat->call("set_pickup_hover", -1.0);
    EXPECT_EQ(double(combat->call("get_pickup_hover")), -1.0);
}

TEST_F(CombatTest, RegisteringRefusesWhatIsNotABoatAndIgnoresRepeats) {
    Boat *a = add_boat(Vector3(0, 5, 0));
    Boat *b = add_boat(Vector3(10, 5, 0), 0.0, false);
    Node3D *combat = node();
    press(a, 1);
    press(b, 1);

    RigidBody3D *plain = scene->add_free_body(Vector3(0, 20, 0), Vector3(1, 1, 1));
    {
        standin::ErrorCapture capture;
        combat->call("register_boat", plain);
        combat->call("register_boat", Variant());
        ASSERT_EQ(capture.errors().size(), 2u);
        for (const standin::ErrorRecord &error : capture.errors()) {
            EXPECT_EQ(error.function, "register_boat");
            EXPECT_EQ(error.error, "Parameter \"boat\" is null.");
            EXPECT_EQ(error.message, "WeaponSystem.register_boat expects a Boat");
            EXPECT_NE(error.file.find("src/weapon_system"), std::string::npos) << error.file;
        }
    }
    scene->step();
    ASSERT_EQ(log.count("weapon_fired"), 1u) << "only the registered boat fires";

    // Registered twice, b keeps its first place after a; unregistering once removes it completely.
    combat->call("register_boat", b);
    combat->call("register_boat", a);
    combat->call("register_boat", b);
    a->call("set_trigger", false);
    scene->step(3); // a's cooldown runs out
    press(a, 1);
    log.clear();
    scene->step();
    const std::vector<brinewake_test::Event> shots = log.of("weapon_fired");
    ASSERT_EQ(shots.size(), 2u);
    EXPECT_EQ(Object::cast_to<Boat>(shots[0][0]), a);
    EXPECT_EQ(Object::cast_to<Boat>(shots[1][0]), b);
    EXPECT_LT(int64_t(shots[0][2]), int64_t(shots[1][2])) << "ids follow the registration order";

    combat->call("unregister_boat", b);
    combat->call("unregister_boat", plain);     // never registered: nothing
    combat->call("unregister_boat", Variant()); // silently nothing
    log.clear();
    scene->step(3);
    ASSERT_EQ(log.count("weapon_fired"), 1u);
    EXPECT_EQ(Object::cast_to<Boat>(log.of("weapon_fired")[0][0]), a);
}

TEST_F(CombatTest, AFreedBoatStaysRegisteredButIsNeverServed) {
    Boat *a = add_boat(Vector3(0, 5, 0));
    Boat *b = add_boat(Vector3(10, 5, 0));
    press(a, 1);
    press(b, 1);
    memdelete(a);
    scene->step();
    ASSERT_EQ(log.count("weapon_fired"), 1u) << "the boat after the freed one is still served";
    EXPECT_EQ(Object::cast_to<Boat>(log.of("weapon_fired")[0][0]), b);
}

TEST_F(CombatTest, ProjectilesAndPickupsShareOneIdSequence) {
    Boat *boat = add_boat(Vector3(0, 5, 0));
    Node3D *combat = node();
    EXPECT_EQ(int64_t(combat->call("add_pickup", 0, Vector3(1, 0, 2))), 1);
    EXPECT_EQ(int64_t(combat->call("add_pickup", 100, Vector3(30, 0, 2))), 2);
    press(boat, 1);
    scene->step();
    ASSERT_EQ(log.count("weapon_fired"), 1u);
    EXPECT_EQ(int64_t(log.of("weapon_fired")[0][2]), 3);
    EXPECT_EQ(int64_t(combat->call("get_projectile_count")), 1);

    combat->call("clear_projectiles");
    combat->call("clear_pickups");
    EXPECT_EQ(int64_t(combat->call("get_projectile_count")), 0);
    EXPECT_EQ(Array(combat->call("get_pickups")).size(), 0);
    EXPECT_EQ(int64_t(combat->call("add_pickup", 101, Vector3(30, 0, 2))), 4) << "clearing resets no id";
    scene->step(3); // the held water cannon fires again
    EXPECT_EQ(int64_t(log.of("weapon_fired").back()[2]), 5);
}

} // namespace
