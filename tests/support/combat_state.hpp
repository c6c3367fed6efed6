// Combat states as scripts write them, and the check that a node and a boat have stayed sound after
// whatever state they were given. Shared by the combat suites, the bounded random-input test and the
// match-state fuzz target.
#pragma once

#include "net/replica_packet.hpp"

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace brinewake_test {

inline godot::Dictionary shot_state(int64_t p_id, int64_t p_kind, const godot::Vector3 &p_position,
                                    const godot::Vector3 &p_velocity, double p_age) {
    godot::Dictionary shot;
    shot["id"] = p_id;
    shot["kind"] = p_kind;
    shot["position"] = p_position;
    shot["velocity"] = p_velocity;
    shot["age"] = p_age;
    return shot;
}

inline godot::Dictionary item_state(int64_t p_id, int64_t p_kind, const godot::Vector3 &p_anchor,
                                    bool p_active, double p_timer) {
    godot::Dictionary item;
    item["id"] = p_id;
    item["kind"] = p_kind;
    item["anchor"] = p_anchor;
    item["active"] = p_active;
    item["timer"] = p_timer;
    return item;
}

inline godot::Dictionary match_state(int64_t p_next_id, const godot::Array &p_shots,
                                     const godot::Array &p_items) {
    godot::Dictionary state;
    state["next_id"] = p_next_id;
    state["shots"] = p_shots;
    state["items"] = p_items;
    return state;
}

inline std::vector<std::string> keys_of(const godot::Dictionary &p_dictionary) {
    std::vector<std::string> names;
    const godot::Array keys = p_dictionary.keys();
    for (int64_t i = 0; i < keys.size(); ++i) {
        names.push_back(godot::String(keys[i]).utf8().get_data());
    }
    return names;
}

inline bool finite_vector(const godot::Vector3 &p_vector) {
    return std::isfinite(p_vector.x) && std::isfinite(p_vector.y) && std::isfinite(p_vector.z);
}

// The first non-finite float or vector among the entries of a listed state, or an empty string.
inline std::string list_problem(const godot::Array &p_list, const char *p_what) {
    for (int64_t i = 0; i < p_list.size(); ++i) {
        const godot::Dictionary entry = p_list[i];
        const godot::Array keys = entry.keys();
        for (int64_t k = 0; k < keys.size(); ++k) {
            const godot::Variant value = entry[keys[k]];
            const bool sound = value.get_type() == godot::Variant::VECTOR3
                                   ? finite_vector(godot::Vector3(value))
                               : value.get_type() == godot::Variant::FLOAT ? std::isfinite(double(value))
                                                                           : true;
            if (!sound) {
                return std::string(p_what) + " " + std::to_string(i) + " " +
                       godot::String(keys[k]).utf8().get_data() + " is not finite";
            }
        }
    }
    return std::string();
}

// What is wrong with a combat node's pickups (as listed and as saved), or an empty string.
inline std::string pickup_problem(godot::Node3D *p_node) {
    const std::string problem = list_problem(p_node->call("get_pickups"), "pickup");
    return problem.empty()
               ? list_problem(godot::Dictionary(p_node->call("save_match_state"))["items"], "item")
               : problem;
}

// What is wrong with a boat that projectiles may have struck: health out of range, motion not finite.
inline std::string struck_boat_problem(godot::RigidBody3D *p_boat) {
    const double health = p_boat->call("get_health");
    if (!(health >= 0.0 && health <= 50.0)) {
        return "boat health " + std::to_string(health);
    }
    if (!p_boat->get_global_transform().is_finite() || !finite_vector(p_boat->get_linear_velocity()) ||
        !finite_vector(p_boat->get_angular_velocity())) {
        return "boat motion is not finite";
    }
    return std::string();
}

// What is wrong with a combat node's reported state, or an empty string: every listed value finite and
// the replica packet accepted by a strict decoder.
inline std::string combat_problem(godot::Node3D *p_node) {
    std::string problem = list_problem(p_node->call("get_projectiles"), "projectile");
    if (problem.empty()) {
        problem = pickup_problem(p_node);
    }
    if (!problem.empty()) {
        return problem;
    }
    godot::Array shots, items;
    if (!brinewake::decode_replica_packet(godot::PackedByteArray(p_node->call("get_replica_packet")), shots,
                                          items)) {
        return "the replica packet is refused";
    }
    return std::string();
}

} // namespace brinewake_test
