// Pickups through the script view: placing them, who collects what from how far, and their return.
#include "combat_fixture.hpp"

#include "rules/wave_field.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <standin/error_capture.hpp>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace godot;
using brinewake_test::CombatTest;
using brinewake_test::Event;

namespace {

constexpr int ROCKETS = 0;
constexpr int HEALTH = 100;
constexpr int SPEED = 101;

// The height a pickup anchored at (x, z) floats at while the sea stands at wave time 0 (frozen boats keep
// their wave clocks at 0).
float display_height(float p_x, float p_z, double p_hover = 0.35) {
    return float(brinewake::wave_height(double(p_x), double(p_z), 0.0) + p_hover);
}

std::string text(const Variant &p_value) {
    return String(p_value).utf8().get_data();
}

TEST_F(CombatTest, AddPickupRefusesBadPositionsAndKindsThroughTheErrorChannel) {
    Node3D *combat = node();
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        int kind;
        Vector3 position;
        const char *condition;
        const char *message;
    };
    const char *finite = "Condition \"!position.is_finite()\" is true. Returning: -1";
    const char *unknown = "Condition \"!brinewake::valid_weapon(kind) && kind != PICKUP_HEALTH && kind != "
                          "PICKUP_SPEED\" is true. Returning: -1";
    const char *no_pickups =
        "Condition \"brinewake::valid_weapon(kind) && "
        "brinewake::spec(static_cast<brinewake::WeaponKind>(kind)).pickup_amount <= 0\" is "
        "true. Returning: -1";
    const Case cases[] = {
        {1, Vector3(1, 0, 2), no_pickups, "This weapon has no pickups"},
        {102, Vector3(1, 0, 2), unknown, "Unknown pickup kind"},
        {-1, Vector3(1, 0, 2), unknown, "Unknown pickup kind"},
        {0, Vector3(inf, 0, 2), finite, "Pickup position must be finite"},
        {102, Vector3(1, nan, 2), finite, "Pickup position must be finite"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.kind);
        standin::ErrorCapture capture;
        EXPECT_EQ(int64_t(combat->call("add_pickup", c.kind, c.position)), -1);
        ASSERT_EQ(capture.errors().size(), 1u);
        const standin::ErrorRecord &error = capture.errors()[0];
        EXPECT_EQ(error.function, "add_pickup");
        EXPECT_EQ(error.error, c.condition);
        EXPECT_EQ(error.message, c.message);
        EXPECT_FALSE(error.is_warning);
    }
    EXPECT_EQ(int64_t(combat->call("add_pickup", ROCKETS, Vector3(1, 0, 2))), 1) << "refusals took no id";
}

TEST_F(CombatTest, GetPickupsReportsTheFloatingPositions) {
    Node3D *combat = node();
    combat->call("set_pickup_hover", 0.5);
    combat->call("add_pickup", HEALTH, Vector3(3, 7, -4));
    const Array pickups = combat->call("get_pickups");
    ASSERT_EQ(pickups.size(), 1);
    const Dictionary entry = pickups[0];
    const Array keys = entry.keys();
    ASSERT_EQ(keys.size(), 4);
    const char *order[] = {"id", "kind", "position", "active"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(text(keys[i]), order[i]);
    }
    EXPECT_EQ(int64_t(entry["id"]), 1);
    EXPECT_EQ(int64_t(entry["kind"]), HEALTH);
    EXPECT_EQ(Vector3(entry["position"]), Vector3(3, display_height(3, -4, 0.5), -4))
        << "the anchor's y is unused";
    EXPECT_TRUE(bool(entry["active"]));
}

TEST_F(CombatTest, ABoatCollectsWithinTheRadiusAndTheVerticalReach) {
    struct Case {
        const char *name;
        int kind;
        float horizontal; // m from the anchor, along X
        float vertical;   // m above the display height
        bool collected;
    };
    const Case cases[] = {
        {"rockets at 1.5 m", ROCKETS, 1.5f, 0.0f, true},
        {"rockets at 1.7 m", ROCKETS, 1.7f, 0.0f, false},
        {"rockets at exactly 1.6f, which is more than 1.6", ROCKETS, 1.6f, 0.0f, false},
        {"health at 1.7 m", HEALTH, 1.7f, 0.0f, true},
        {"health at 1.9 m", HEALTH, 1.9f, 0.0f, false},
        {"speed at 1.0 m", SPEED, 1.0f, 0.0f, true},
        {"2.5 m above", HEALTH, 0.5f, 2.5f, false},
        {"2.5 m below", HEALTH, 0.5f, -2.5f, false},
        {"1.9 m above", HEALTH, 0.5f, 1.9f, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        brinewake_test::MatchScene own;
        Node3D *combat = own.weapon_system();
        brinewake_test::EventLog events;
        events.watch_node(combat);
        Boat *boat =
            Object::cast_to<Boat>(own.add_boat(Vector3(c.horizontal, display_height(0, 0) + c.vertical, 0)));
        boat->set_freeze_enabled(true);
        boat->call("apply_damage", 10.0);
        combat->call("register_boat", boat);
        combat->call("add_pickup", c.kind, Vector3(0, 0, 0));
        own.step();
        EXPECT_EQ(events.count("pickup_collected"), c.collected ? 1u : 0u);
    }
}

TEST_F(CombatTest, ABoatThatCannotUseARewardLeavesItToTheNext) {
    struct Case {
        const char *name;
        int kind;
        double first_health; // of the first boat, which stands nearer and was registered first
        int first_rockets;
        double second_health;
        int second_rockets;
        int collector; // 0: nobody, 1 or 2
        int64_t amount;
    };
    const Case cases[] = {
        {"health, 30 of 50", HEALTH, 30.0, 0, 30.0, 0, 1, 20},
        {"health, 49.5 of 50: 0.5 rounds up", HEALTH, 49.5, 0, 30.0, 0, 1, 1},
        {"health, first at full", HEALTH, 50.0, 0, 10.0, 0, 2, 35},
        {"health, both at full", HEALTH, 50.0, 0, 50.0, 0, 0, 0},
        {"rockets, 4 of 6", ROCKETS, 50.0, 4, 50.0, 0, 1, 2},
        {"rockets, first full", ROCKETS, 50.0, 6, 50.0, 0, 2, 3},
        {"speed", SPEED, 50.0, 0, 50.0, 0, 1, 8},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        brinewake_test::MatchScene own;
        Node3D *combat = own.weapon_system();
        brinewake_test::EventLog events;
        events.watch_node(combat);
        const float y = display_height(0, 0);
        Boat *first = Object::cast_to<Boat>(own.add_boat(Vector3(0.2f, y, 0)));
        Boat *second = Object::cast_to<Boat>(own.add_boat(Vector3(-0.2f, y, 0)));
        for (Boat *boat : {first, second}) {
            boat->set_freeze_enabled(true);
            combat->call("register_boat", boat);
        }
        first->call("apply_damage", 50.0 - c.first_health);
        first->call("add_ammo", ROCKETS, c.first_rockets);
        second->call("apply_damage", 50.0 - c.second_health);
        second->call("add_ammo", ROCKETS, c.second_rockets);
        combat->call("add_pickup", c.kind, Vector3(0, 0, 0));
        own.step();
        const std::vector<Event> collected = events.of("pickup_collected");
        if (c.collector == 0) {
            EXPECT_TRUE(collected.empty());
            continue;
        }
        ASSERT_EQ(collected.size(), 1u) << "one boat per pickup and frame";
        EXPECT_EQ(int64_t(collected[0][0]), 1);
        EXPECT_EQ(Object::cast_to<Boat>(collected[0][1]), c.collector == 1 ? first : second);
        EXPECT_EQ(int64_t(collected[0][2]), c.kind);
        EXPECT_EQ(int64_t(collected[0][3]), c.amount);
        EXPECT_FALSE(bool(Dictionary(Array(combat->call("get_pickups"))[0])["active"]));
    }
}

// Frames of 1/60 s until a timer of p_seconds, counted down as the node counts it, reaches 0 or less.
int frames_until_zero(double p_seconds) {
    int frames = 0;
    for (double timer = p_seconds; timer > 0.0; timer -= brinewake_test::MatchScene::PHYSICS_STEP) {
        ++frames;
    }
    return frames;
}

TEST_F(CombatTest, ACollectedPickupReturnsAfterItsDelayEvenWithoutLiveBoats) {
    struct Case {
        int kind;
        double delay; // s
    };
    for (const Case &c : {Case{ROCKETS, 12.0}, Case{HEALTH, 20.0}}) {
        SCOPED_TRACE(c.kind);
        brinewake_test::MatchScene own;
        Node3D *combat = own.weapon_system();
        brinewake_test::EventLog events;
        events.watch_node(combat);
        Boat *boat = Object::cast_to<Boat>(own.add_boat(Vector3(0, display_height(0, 0), 0)));
        boat->set_freeze_enabled(true);
        boat->call("apply_damage", 40.0);
        combat->call("register_boat", boat);
        combat->call("add_pickup", c.kind, Vector3(0, 0, 0));
        own.step();
        ASSERT_EQ(events.count("pickup_collected"), 1u);
        boat->call("apply_damage", 100.0); // no live boat from here on

        const int expected = frames_until_zero(c.delay);
        own.step(expected - 1);
        EXPECT_EQ(events.count("pickup_respawned"), 0u);
        own.step();
        ASSERT_EQ(events.count("pickup_respawned"), 1u) << "in the frame its timer reaches 0";
        EXPECT_EQ(int64_t(events.of("pickup_respawned")[0][0]), 1);
        EXPECT_TRUE(bool(Dictionary(Array(combat->call("get_pickups"))[0])["active"]));
        own.step(30);
        EXPECT_EQ(events.count("pickup_respawned"), 1u);
    }
}

} // namespace
