// The combat node's state as it leaves the node and comes back: the match-state dictionary, the
// projectile list for scripts, replica mode and the replica packet.
#include "weapon_system/weapon_system.hpp"

#include "combat/flight.hpp"
#include "combat/pickup_rules.hpp"
#include "net/combat_keys.hpp"
#include "net/replica_packet.hpp"
#include "rules/numeric.hpp"

#include <godot_cpp/variant/variant.hpp>

using namespace godot;
using brinewake::Pickup;
using brinewake::Projectile;

// ---- Match state ----

Array WeaponSystem::get_projectiles() const {
    if (replica) {
        return replica_shots;
    }
    const brinewake::CombatKeys keys;
    Array result;
    result.resize(static_cast<int64_t>(projectiles.size()));
    for (size_t i = 0; i < projectiles.size(); ++i) {
        const Projectile &projectile = projectiles[i];
        Dictionary shot;
        shot[keys.id] = projectile.id;
        shot[keys.kind] = projectile.kind;
        shot[keys.position] = brinewake::to_vector3(projectile.position);
        shot[keys.velocity] = brinewake::to_vector3(projectile.velocity);
        shot[keys.burning] = brinewake::motor_burning(projectile.kind, projectile.age);
        shot[keys.age] = projectile.age;
        result[static_cast<int64_t>(i)] = shot;
    }
    return result;
}

Dictionary WeaponSystem::save_match_state() const {
    const brinewake::CombatKeys keys;
    Dictionary state;
    state["next_id"] = next_id;
    state["shots"] = get_projectiles();
    Array items;
    items.resize(static_cast<int64_t>(pickups.size()));
    for (size_t i = 0; i < pickups.size(); ++i) {
        const Pickup &pickup = pickups[i];
        Dictionary item;
        item[keys.id] = pickup.id;
        item[keys.kind] = pickup.kind;
        item[keys.anchor] = pickup.anchor;
        item[keys.active] = pickup.active;
        item[keys.timer] = pickup.timer;
        items[static_cast<int64_t>(i)] = item;
    }
    state["items"] = items;
    return state;
}

// Reads what the conversions allow and keeps only what the node can run: an element that is not a
// dictionary is skipped and an absent entry reads as its type's zero; a shot that is not of a weapon
// kind, or whose position, velocity or age is not finite, is dropped (no catalogue entry to fly it by,
// or NaN in every later packet); a pickup whose anchor is not finite is dropped as add_pickup would
// refuse it, and a non-finite timer reads as 0 (the pickup reappears at the next frame).
//
// Both lists are replaced in place. Called from a signal handler during a frame, this is safe: the flight
// step resolves impacts from its own copies, and the pickup walk ends when it sees the version change.
void WeaponSystem::restore_match_state(const Dictionary &p_state) {
    const brinewake::CombatKeys keys;
    projectiles.clear();
    pickups.clear();
    ++pickups_version;
    next_id = int64_t(p_state.get("next_id", int64_t(1)));

    const Array items = p_state.get("items", Array());
    for (int64_t i = 0; i < items.size(); ++i) {
        const Variant &element = items[i];
        if (element.get_type() != Variant::DICTIONARY) {
            continue;
        }
        const Dictionary item = element;
        Pickup pickup;
        pickup.id = int64_t(item.get(keys.id, keys.zero_integer));
        pickup.kind = int32_t(item.get(keys.kind, keys.zero_integer));
        pickup.anchor = Vector3(item.get(keys.anchor, keys.zero_vector));
        pickup.active = bool(item.get(keys.active, keys.no_flag));
        const double timer = double(item.get(keys.timer, keys.zero_float));
        pickup.timer = brinewake::is_finite_double(timer) ? timer : 0.0;
        if (!pickup.anchor.is_finite()) {
            continue;
        }
        pickups.push_back(pickup);
    }

    const Array shots = p_state.get("shots", Array());
    for (int64_t i = 0; i < shots.size(); ++i) {
        const Variant &element = shots[i];
        if (element.get_type() != Variant::DICTIONARY) {
            continue;
        }
        const Dictionary shot = element;
        const int32_t kind = int32_t(shot.get(keys.kind, keys.zero_integer));
        const Vector3 position = shot.get(keys.position, keys.zero_vector);
        const Vector3 velocity = shot.get(keys.velocity, keys.zero_vector);
        const double age = double(shot.get(keys.age, keys.zero_float));
        if (!brinewake::valid_weapon(kind) || !position.is_finite() || !velocity.is_finite() ||
            !brinewake::is_finite_double(age)) {
            continue;
        }
        Projectile projectile;
        projectile.id = int64_t(shot.get(keys.id, keys.zero_integer));
        projectile.kind = kind;
        projectile.position = brinewake::to_vec3d(position);
        projectile.velocity = brinewake::to_vec3d(velocity);
        projectile.age = age;
        projectile.owner_id = 0;
        projectiles.push_back(projectile);
    }
}

// ---- Replica mode ----

void WeaponSystem::set_replica(bool p_value) {
    replica = p_value;
}

void WeaponSystem::set_replica_state(const Array &p_shots, const Array &p_items) {
    replica_shots = p_shots;
    replica_items = p_items;
}

bool WeaponSystem::is_replica() const {
    return replica;
}

PackedByteArray WeaponSystem::get_replica_packet() const {
    if (replica) {
        return brinewake::encode_replica_packet(replica_shots, replica_items);
    }
    const double wave_time = reference_wave_time();
    const double hover = pickup_hover;
    return brinewake::encode_replica_packet(projectiles.data(), projectiles.size(), pickups.data(),
                                            pickups.size(), [wave_time, hover](const Pickup &p_pickup) {
                                                return brinewake::pickup_display_height(p_pickup.anchor,
                                                                                        wave_time, hover);
                                            });
}

bool WeaponSystem::set_replica_packet(const PackedByteArray &p_packet) {
    return brinewake::decode_replica_packet(p_packet, replica_shots, replica_items);
}

void WeaponSystem::set_replica_lead(double p_seconds) {
    replica_lead = brinewake::is_finite_double(p_seconds) ? p_seconds : 0.0;
}

double WeaponSystem::get_replica_lead() const {
    return replica_lead;
}
