// The combat node: registers boats, fires their weapons, flies projectiles against the sea, the physics
// world and the boats, resolves impacts and runs pickups, once per physics frame.
//
// Boats are kept by instance id only and looked up whenever they are needed, so freed boats drop out.
// Signals run script handlers in the middle of the node's loops; every loop that emits follows one rule
// (see emit below): across an emission it holds only ids and indices, and after it goes on only while
// the node exists and the list it walks is still the one it started on.
#pragma once

#include "combat/combat_records.hpp"
#include "rules/weapon_catalog.hpp"
#include "weapon_system/projectile_flight.hpp"

#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/physics_direct_space_state3d.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>
#include <vector>

class Boat;

class WeaponSystem : public godot::Node3D {
    GDCLASS(WeaponSystem, godot::Node3D)

public:
    enum PickupKind {
        PICKUP_HEALTH = brinewake::PICKUP_HEALTH,
        PICKUP_SPEED = brinewake::PICKUP_SPEED,
    };
    enum Surface {
        SURFACE_AIR = brinewake::SURFACE_AIR,
        SURFACE_WATER = brinewake::SURFACE_WATER,
        SURFACE_SOLID = brinewake::SURFACE_SOLID,
        SURFACE_BOAT = brinewake::SURFACE_BOAT,
    };

private:
    std::vector<uint64_t> boat_ids;                 // registered boats, in registration order
    std::vector<brinewake::Projectile> projectiles; // in flight, in firing order
    std::vector<brinewake::Pickup> pickups;         // in insertion order
    int64_t next_id = 1;                            // shared by projectiles and pickups
    bool replica = false;                           // mirrors the host instead of simulating
    godot::Array replica_shots;                     // mirrored projectile dictionaries, as received
    godot::Array replica_items;                     // mirrored pickup dictionaries, as received
    double replica_lead = 0.0;                      // s, held for scripts
    double pickup_hover = 0.35;                     // m above the sea

    // Bumped whenever the pickup list is emptied or replaced, so that a walk over it can tell.
    uint64_t pickups_version = 0;
    bool frame_running = false;

    // The signals' names, made once: a name made from text allocates (and in the engine takes a lock).
    struct SignalNames {
        godot::StringName weapon_fired = "weapon_fired";
        godot::StringName weapon_empty = "weapon_empty";
        godot::StringName projectile_impact = "projectile_impact";
        godot::StringName boat_hit = "boat_hit";
        godot::StringName pickup_collected = "pickup_collected";
        godot::StringName pickup_respawned = "pickup_respawned";
    } signals;

    // Scratch lists reused from frame to frame, so that a steady frame allocates nothing of its own.
    std::vector<uint64_t> firing_boats;
    std::vector<uint64_t> struck_boats;
    std::vector<uint64_t> collecting_boats;
    ProjectileFlight flight;

    // Emits p_signal; true when this node still exists afterwards. p_self is this node's instance id,
    // read before the emission: a handler may free the node, after which nothing of it may be read.
    template <typename... Args>
    bool emit(uint64_t p_self, const godot::StringName &p_signal, const Args &...p_args) {
        emit_signal(p_signal, p_args...);
        return godot::ObjectDB::get_instance(p_self) != nullptr;
    }

    // The registered boat with id p_id when it still exists (null otherwise), and alive for live_boat.
    static Boat *find_boat(uint64_t p_id);
    static Boat *live_boat(uint64_t p_id);
    // Ids of the registered boats that exist and are alive, in registration order, into r_ids.
    void live_boats(std::vector<uint64_t> &r_ids) const;
    // The wave time of the first registered boat that exists, dead or alive; 0 without one.
    double reference_wave_time() const;

    // The frame's steps. Each returns false when a signal handler freed the node.
    bool fire_step(uint64_t p_boat_id, double p_delta);
    bool advance_projectiles(double p_delta);
    bool resolve_impact(const brinewake::Projectile &p_projectile, const brinewake::Contact &p_contact);
    bool update_pickups(double p_delta);
    godot::PhysicsDirectSpaceState3D *space_state();

protected:
    static void _bind_methods();

public:
    WeaponSystem();

    void _ready() override;
    void _physics_process(double p_delta) override;

    void set_replica(bool p_value);
    void set_replica_state(const godot::Array &p_shots, const godot::Array &p_items);
    bool is_replica() const;
    godot::PackedByteArray get_replica_packet() const;
    bool set_replica_packet(const godot::PackedByteArray &p_packet);
    void set_replica_lead(double p_seconds);
    double get_replica_lead() const;
    void register_boat(godot::Node *p_boat);
    void unregister_boat(godot::Node *p_boat);
    int64_t add_pickup(int32_t kind, const godot::Vector3 &position);
    void clear_pickups();
    void clear_projectiles();
    godot::Dictionary save_match_state() const;
    void restore_match_state(const godot::Dictionary &p_state);
    godot::Array get_pickups() const;
    godot::Array get_projectiles() const;
    int32_t get_projectile_count() const;
    int32_t get_weapon_count() const;
    godot::Dictionary get_weapon_info(int32_t p_kind) const;
    void set_pickup_hover(double p_hover);
    double get_pickup_hover() const;
};

VARIANT_ENUM_CAST(WeaponSystem::PickupKind);
VARIANT_ENUM_CAST(WeaponSystem::Surface);
