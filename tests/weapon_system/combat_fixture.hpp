// Shared by the combat suites: a match scene with a WeaponSystem, boats that hold still where a test puts
// them, and one ordered log of every signal the node and its boats emit.
#pragma once

#include "boat/boat.hpp"
#include "linked_extension.hpp"
#include "match_scene.hpp"

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3.hpp>
#include <standin/callable_lambda.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace brinewake_test {

// The surface values projectile_impact reports, as scripts know them.
namespace surface {
inline constexpr int SURFACE_AIR = 0;
inline constexpr int SURFACE_WATER = 1;
inline constexpr int SURFACE_SOLID = 2;
inline constexpr int SURFACE_BOAT = 3;
} // namespace surface

// One emission: the signal's name and its arguments.
struct Event {
    std::string signal;
    std::vector<godot::Variant> args;

    const godot::Variant &operator[](size_t p_index) const { return args.at(p_index); }
};

// Records, in emission order, the node's six signals and the "destroyed" and "respawned" of every boat
// it is told about. A hook may run after each recording, as a script handler would.
class EventLog {
public:
    static constexpr const char *NODE_SIGNALS[] = {"weapon_fired", "weapon_empty",     "projectile_impact",
                                                   "boat_hit",     "pickup_collected", "pickup_respawned"};

    void watch_node(godot::Object *p_node);
    void watch_boat(godot::Object *p_boat);

    // Runs after each recorded emission of p_signal, inside the emitting loop.
    void on(const std::string &p_signal, std::function<void(const Event &)> p_handler);

    std::vector<Event> of(const std::string &p_signal) const;
    size_t count(const std::string &p_signal) const { return of(p_signal).size(); }
    const std::vector<Event> &all() const { return *events; }
    void clear() { events->clear(); }

private:
    struct Hook {
        std::string signal;
        std::function<void(const Event &)> handler;
    };
    void watch(godot::Object *p_object, const char *p_signal);

    std::shared_ptr<std::vector<Event>> events = std::make_shared<std::vector<Event>>();
    std::shared_ptr<std::vector<Hook>> hooks = std::make_shared<std::vector<Hook>>();
};

class CombatTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { scene.reset(); }

    // The combat node, created on first use; its signals go to the log.
    godot::Node3D *node();
    // A boat frozen at the given pose (the physics step leaves it where it is and its wave clock at 0),
    // registered with the node unless told otherwise; its signals go to the log.
    Boat *add_boat(const godot::Vector3 &p_position, double p_yaw = 0.0, bool p_register = true);
    // The same, left to float and move.
    Boat *add_free_boat(const godot::Vector3 &p_position, double p_yaw = 0.0);

    // Selects p_kind and presses its trigger.
    static void press(Boat *p_boat, int p_kind);

    std::unique_ptr<MatchScene> scene;
    EventLog log;

private:
    bool node_watched = false;
};

// The ordered names of a list of events.
std::vector<std::string> signal_names(const std::vector<Event> &p_events);

} // namespace brinewake_test
