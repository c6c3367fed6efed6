// The engine-side boat: a rigid body floated and driven by the shared hull model, with its game
// state (controls, health, respawn, speed boost, wind, wave clock, spawn pose, weapon inventory).
#pragma once

#include "combat/weapon_inventory.hpp"
#include "rules/hull_model.hpp"

#include <godot_cpp/classes/physics_direct_body_state3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/packed_float32_array.hpp>
#include <godot_cpp/variant/packed_vector4_array.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>

class Boat : public godot::RigidBody3D {
    GDCLASS(Boat, godot::RigidBody3D)

public:
    static constexpr double MAX_HEALTH = 50.0;
    static constexpr double RESPAWN_DELAY = 5.0;                // s
    static constexpr double SPEED_BOOST_DURATION = 8.0;         // s
    static constexpr double HULL_SCALE = brinewake::HULL_SCALE; // 0.66, the hull model's scale
    static constexpr double MAX_WIND = 2.0;                     // longest accepted wind vector
    // Hull-local launch point of projectiles (m): above the origin and ahead of it (the bow is -Z).
    static const godot::Vector3 MUZZLE_OFFSET;

private:
    // Times in seconds, angles in radians, lengths in metres.
    double wave_time = 0.0;             // the boat's wave clock
    double throttle = 0.0;              // [-1, 1]
    double steering = 0.0;              // [-1, 1]
    double health = MAX_HEALTH;         // alive while > 0, destroyed while <= 0
    double respawn_remaining = 0.0;     // while destroyed
    godot::Transform3D death_transform; // global pose held while destroyed
    uint32_t saved_collision_layer = 1; // layer and mask while collisions are off
    uint32_t saved_collision_mask = 1;
    double speed_boost_remaining = 0.0;
    godot::Vector2 wind;        // horizontal, x along world X and y along world Z; length <= MAX_WIND
    bool reset_pending = false; // place at the spawn pose at the next physics step
    godot::Vector3 spawn_position = godot::Vector3(0.0f, 0.7f, 12.0f);
    double spawn_yaw = 0.0; // heading at spawn, about world +Y
    brinewake::WeaponInventory weapons;

    void destroy();
    void respawn();
    godot::real_t spawn_heading() const; // spawn_yaw narrowed for the spawn basis

protected:
    static void _bind_methods();

public:
    Boat();

    void _integrate_forces(godot::PhysicsDirectBodyState3D *p_state) override;

    double get_respawn_remaining() const;
    void set_wave_time(double p_value);
    void set_spawn_position(const godot::Vector3 &p_position);
    godot::Vector3 get_spawn_position() const;
    void set_spawn_yaw(double p_yaw);
    double get_spawn_yaw() const;
    godot::Dictionary get_network_state() const;
    void apply_network_state(godot::Dictionary p_state);
    godot::PackedByteArray get_network_packet() const;
    bool apply_network_packet(const godot::PackedByteArray &p_packet);
    void set_controls(double p_throttle, double p_steering);
    void reset_boat();
    double get_health() const;
    double get_max_health() const;
    double restore_health(double p_amount);
    void apply_damage(double p_amount);
    bool activate_speed_boost();
    double get_speed_boost_remaining() const;
    void set_wind(const godot::Vector2 &p_wind);
    godot::Vector2 get_wind() const;
    double get_wave_time() const;
    double get_hull_scale() const;
    double wave_height(double p_x, double p_z) const;
    godot::PackedVector4Array get_wave_parameters() const;
    godot::PackedFloat32Array get_wave_phases() const;
    void set_trigger(bool p_pressed);
    bool select_weapon(int32_t p_kind);
    int32_t get_selected_weapon() const;
    int32_t get_ammo(int32_t p_kind) const;
    int32_t add_ammo(int32_t p_kind, int32_t p_amount);
    int32_t cycle_weapon(int32_t p_direction = 1);
    void reset_weapons();
    godot::Vector3 get_muzzle_position() const;

    // Not bound: the network state and packet paths and the weapon system call these.

    // Applies received state. The pose is taken only when the received health moves the boat
    // between alive and destroyed; p_ammo holds p_ammo_count counts (only the first two are read).
    void apply_snapshot(const godot::Transform3D &p_transform, const godot::Vector3 &p_linear_velocity,
                        double p_health, double p_respawn_remaining, double p_speed_boost_remaining,
                        int32_t p_weapon, const int32_t *p_ammo, int32_t p_ammo_count);
    // Off: remembers layer and mask, then clears both. On: restores them.
    void set_collisions_enabled(bool p_enabled);
    // One firing step of the weapon timers and ammunition regeneration.
    void advance_weapon_timers(double p_dt);
    brinewake::WeaponInventory &get_weapons() { return weapons; }
    const brinewake::WeaponInventory &get_weapons() const { return weapons; }
};
