// The boat's network state dictionary, through the script interface.
#include "network_support.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <standin/callable_lambda.hpp>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace godot;
using namespace brinewake_test;

namespace {

std::vector<std::string> keys_of(const Dictionary &p_dictionary) {
    std::vector<std::string> keys;
    const Array list = p_dictionary.keys();
    for (int64_t i = 0; i < list.size(); ++i) {
        keys.push_back(String(list[i]).utf8().get_data());
    }
    return keys;
}

Array int_array(std::initializer_list<int64_t> p_values) {
    Array array;
    for (int64_t value : p_values) {
        array.push_back(value);
    }
    return array;
}

const Transform3D RECEIVED_POSE(Basis(Vector3(0.0f, 1.0f, 0.0f), 0.5f), Vector3(-3.0f, 0.25f, 9.0f));

// A complete state, as another boat would send it.
Dictionary full_state() {
    Dictionary state;
    state["transform"] = RECEIVED_POSE;
    state["velocity"] = Vector3(0.5f, 0.0f, -1.5f);
    state["time"] = 7.25;
    state["health"] = 30.0;
    state["respawn_remaining"] = 3.0;
    state["boost"] = 2.5;
    state["weapon"] = 1;
    state["ammo"] = int_array({4, 20});
    return state;
}

} // namespace

TEST_F(NetworkTest, FreshBoatStateInKeyOrder) {
    RigidBody3D *boat = add_boat(Vector3(0.0f, 0.0f, 0.0f));
    ASSERT_NE(boat, nullptr);
    const Dictionary state = boat->call("get_network_state");
    EXPECT_EQ(keys_of(state), (std::vector<std::string>{"transform", "velocity", "time", "health",
                                                        "respawn_remaining", "boost", "weapon", "ammo"}));
    EXPECT_EQ(state["transform"].get_type(), Variant::TRANSFORM3D);
    EXPECT_EQ(Transform3D(state["transform"]), Transform3D());
    EXPECT_EQ(Vector3(state["velocity"]), Vector3());
    EXPECT_EQ(state["time"].get_type(), Variant::FLOAT);
    EXPECT_EQ(double(state["time"]), 0.0);
    EXPECT_EQ(state["health"].get_type(), Variant::FLOAT);
    EXPECT_EQ(double(state["health"]), 50.0);
    EXPECT_EQ(double(state["respawn_remaining"]), 0.0);
    EXPECT_EQ(state["boost"].get_type(), Variant::FLOAT);
    EXPECT_EQ(double(state["boost"]), 0.0);
    EXPECT_EQ(state["weapon"].get_type(), Variant::INT);
    EXPECT_EQ(int64_t(state["weapon"]), 1);
    ASSERT_EQ(state["ammo"].get_type(), Variant::ARRAY);
    const Array ammo = state["ammo"];
    ASSERT_EQ(ammo.size(), 2);
    EXPECT_EQ(ammo[0].get_type(), Variant::INT);
    EXPECT_EQ(int64_t(ammo[0]), 0);
    EXPECT_EQ(int64_t(ammo[1]), 60);
}

TEST_F(NetworkTest, StateFromOneBoatToAFrozenCopy) {
    RigidBody3D *a = add_boat(Vector3(2.0f, 0.7f, -4.0f));
    RigidBody3D *b = add_remote_boat(Vector3(-5.0f, 0.7f, 1.0f));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    standin::SignalRecorder destroyed(b, "destroyed");
    standin::SignalRecorder respawned(b, "respawned");
    a->call("set_wave_time", 12.5);
    a->call("add_ammo", 0, 2);
    a->call("select_weapon", 0);
    a->call("activate_speed_boost");
    a->call("apply_damage", 20.0);
    a->set_linear_velocity(Vector3(3.0f, -0.5f, 1.0f));
    const Transform3D b_pose = b->get_global_transform();

    // Both alive: everything but the pose.
    b->call("apply_network_state", a->call("get_network_state"));
    EXPECT_EQ(double(b->call("get_wave_time")), 12.5);
    EXPECT_EQ(double(b->call("get_health")), 30.0);
    EXPECT_EQ(double(b->call("get_speed_boost_remaining")), 8.0);
    EXPECT_EQ(int64_t(b->call("get_selected_weapon")), 0);
    EXPECT_EQ(int64_t(b->call("get_ammo", 0)), 2);
    EXPECT_EQ(int64_t(b->call("get_ammo", 1)), 60);
    EXPECT_EQ(b->get_linear_velocity(), Vector3(3.0f, -0.5f, 1.0f));
    EXPECT_EQ(b->get_global_transform(), b_pose);
    EXPECT_EQ(destroyed.count(), 0u);

    // A destroyed: B follows into destruction, at A's pose.
    a->call("apply_damage", 50.0);
    b->call("apply_network_state", a->call("get_network_state"));
    EXPECT_EQ(double(b->call("get_health")), 0.0);
    EXPECT_EQ(double(b->call("get_respawn_remaining")), 5.0);
    EXPECT_EQ(b->get_global_transform().origin, a->get_global_transform().origin);
    EXPECT_EQ(destroyed.count(), 1u);
    EXPECT_EQ(b->get_collision_layer(), 0u);
    EXPECT_EQ(b->get_collision_mask(), 0u);

    // A living boat's state revives B at that boat's pose.
    RigidBody3D *c = add_boat(Vector3(8.0f, 0.7f, 8.0f));
    ASSERT_NE(c, nullptr);
    b->call("apply_network_state", c->call("get_network_state"));
    EXPECT_EQ(double(b->call("get_health")), 50.0);
    EXPECT_EQ(respawned.count(), 1u);
    EXPECT_EQ(b->get_global_transform().origin, Vector3(8.0f, 0.7f, 8.0f));
    EXPECT_EQ(b->get_collision_layer(), 1u);
    EXPECT_EQ(b->get_collision_mask(), 1u);
}

TEST_F(NetworkTest, StateDictionaryEdgeCases) {
    struct Expect {
        double health;
        double respawn;
        double time;
        int64_t weapon;
        int64_t ammo0;
        int64_t ammo1;
    };
    struct Case {
        const char *name;
        std::function<void(Dictionary &)> edit;
        Expect expect;
        std::vector<std::string> added_keys; // nil keys the caller sees afterwards, in order
        int destroyed;
    };
    // Every case starts from a remote boat that already received full_state():
    // health 30, respawn 3, time 7.25, cannon selected, ammo {4, 20}.
    const Case cases[] = {
        {"complete", [](Dictionary &) {}, {30.0, 3.0, 7.25, 1, 4, 20}, {}, 0},
        {"no respawn_remaining: 0, no key added",
         [](Dictionary &s) { s.erase("respawn_remaining"); },
         {30.0, 0.0, 7.25, 1, 4, 20},
         {},
         0},
        {"no time: 0, key added",
         [](Dictionary &s) { s.erase("time"); },
         {30.0, 3.0, 0.0, 1, 4, 20},
         {"time"},
         0},
        {"no health: destroyed",
         [](Dictionary &s) { s.erase("health"); },
         {0.0, 3.0, 7.25, 1, 4, 20},
         {"health"},
         1},
        {"no weapon: rockets",
         [](Dictionary &s) { s.erase("weapon"); },
         {30.0, 3.0, 7.25, 0, 4, 20},
         {"weapon"},
         0},
        {"no ammo: unchanged",
         [](Dictionary &s) { s.erase("ammo"); },
         {30.0, 3.0, 7.25, 1, 4, 20},
         {"ammo"},
         0},
        {"empty state",
         [](Dictionary &s) { s.clear(); },
         {0.0, 0.0, 0.0, 0, 4, 20},
         {"time", "ammo", "weapon", "boost", "health", "velocity", "transform"},
         1},
        {"ammo [3]", [](Dictionary &s) { s["ammo"] = int_array({3}); }, {30.0, 3.0, 7.25, 1, 3, 20}, {}, 0},
        {"ammo [3, 40, 7]",
         [](Dictionary &s) {
             s["ammo"] = int_array({3, 40, 7});
         },
         {30.0, 3.0, 7.25, 1, 3, 40},
         {},
         0},
        {"ammo []", [](Dictionary &s) { s["ammo"] = Array(); }, {30.0, 3.0, 7.25, 1, 4, 20}, {}, 0},
        {"ammo [9, 70] clamped",
         [](Dictionary &s) {
             s["ammo"] = int_array({9, 70});
         },
         {30.0, 3.0, 7.25, 1, 6, 60},
         {},
         0},
        {"ammo beyond 32 bits clamped, not wrapped",
         [](Dictionary &s) {
             s["ammo"] = int_array({(int64_t(1) << 32) + 2, -(int64_t(1) << 32) + 5});
         },
         {30.0, 3.0, 7.25, 1, 6, 0},
         {},
         0},
        {"weapon 5 ignored", [](Dictionary &s) { s["weapon"] = 5; }, {30.0, 3.0, 7.25, 1, 4, 20}, {}, 0},
        {"weapon -1 ignored", [](Dictionary &s) { s["weapon"] = -1; }, {30.0, 3.0, 7.25, 1, 4, 20}, {}, 0},
        {"weapon 2^32 ignored, not wrapped to 0",
         [](Dictionary &s) { s["weapon"] = int64_t(1) << 32; },
         {30.0, 3.0, 7.25, 1, 4, 20},
         {},
         0},
        {"weapon 0 with ammo [0, 20]",
         [](Dictionary &s) {
             s["weapon"] = 0;
             s["ammo"] = int_array({0, 20});
         },
         {30.0, 3.0, 7.25, 0, 0, 20},
         {},
         0},
        {"health 80: 50", [](Dictionary &s) { s["health"] = 80; }, {50.0, 3.0, 7.25, 1, 4, 20}, {}, 0},
        {"health 0: destroyed", [](Dictionary &s) { s["health"] = 0.0; }, {0.0, 3.0, 7.25, 1, 4, 20}, {}, 1},
        {"negative time is stored",
         [](Dictionary &s) { s["time"] = -2.0; },
         {30.0, 3.0, -2.0, 1, 4, 20},
         {},
         0},
        {"non-finite time keeps the clock",
         [](Dictionary &s) { s["time"] = std::numeric_limits<double>::quiet_NaN(); },
         {30.0, 3.0, 7.25, 1, 4, 20},
         {},
         0},
        {"infinite time keeps the clock",
         [](Dictionary &s) { s["time"] = -std::numeric_limits<double>::infinity(); },
         {30.0, 3.0, 7.25, 1, 4, 20},
         {},
         0},
        {"a time the waves overflow at keeps the clock",
         [](Dictionary &s) { s["time"] = 1e308; },
         {30.0, 3.0, 7.25, 1, 4, 20},
         {},
         0},
        {"values of other types convert",
         [](Dictionary &s) {
             s["health"] = 12;
             s["weapon"] = 0.0;
         },
         {12.0, 3.0, 7.25, 0, 4, 20},
         {},
         0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        scene = std::make_unique<MatchScene>();
        RigidBody3D *boat = add_remote_boat();
        ASSERT_NE(boat, nullptr);
        boat->call("apply_network_state", full_state());
        ASSERT_EQ(double(boat->call("get_health")), 30.0);
        standin::SignalRecorder destroyed(boat, "destroyed");

        Dictionary state = full_state();
        c.edit(state);
        const std::vector<std::string> keys_before = keys_of(state);
        boat->call("apply_network_state", state);

        EXPECT_EQ(double(boat->call("get_health")), c.expect.health);
        EXPECT_EQ(double(boat->call("get_respawn_remaining")), c.expect.respawn);
        EXPECT_EQ(double(boat->call("get_wave_time")), c.expect.time);
        EXPECT_EQ(int64_t(boat->call("get_selected_weapon")), c.expect.weapon);
        EXPECT_EQ(int64_t(boat->call("get_ammo", 0)), c.expect.ammo0);
        EXPECT_EQ(int64_t(boat->call("get_ammo", 1)), c.expect.ammo1);
        EXPECT_EQ(destroyed.count(), size_t(c.destroyed));
        if (c.destroyed > 0 && state.has("transform") &&
            state["transform"].get_type() == Variant::TRANSFORM3D) {
            EXPECT_EQ(boat->get_global_transform().origin, RECEIVED_POSE.origin)
                << "moved to the received pose";
        }

        // The caller's dictionary gained exactly the missing keys it was read by, with nil values.
        std::vector<std::string> expected_keys = keys_before;
        expected_keys.insert(expected_keys.end(), c.added_keys.begin(), c.added_keys.end());
        EXPECT_EQ(keys_of(state), expected_keys);
        for (const std::string &key : c.added_keys) {
            EXPECT_EQ(state[String(key.c_str())].get_type(), Variant::NIL) << key;
        }
    }
}

TEST_F(NetworkTest, UnfrozenBoatIgnoresStateAndReadsNothing) {
    RigidBody3D *boat = add_boat();
    ASSERT_NE(boat, nullptr);
    const Transform3D pose = boat->get_global_transform();
    Dictionary empty;
    boat->call("apply_network_state", empty);
    EXPECT_EQ(empty.size(), 0);
    Dictionary state = full_state();
    state["health"] = 0.0;
    boat->call("apply_network_state", state);
    EXPECT_EQ(state.size(), 8);
    EXPECT_EQ(double(boat->call("get_health")), 50.0);
    EXPECT_EQ(double(boat->call("get_wave_time")), 0.0);
    EXPECT_EQ(int64_t(boat->call("get_ammo", 1)), 60);
    EXPECT_EQ(boat->get_global_transform(), pose);
}
