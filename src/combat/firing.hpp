// Firing rules: when a boat's selected weapon fires, which way a shot leaves and how fast.
//
// The launch is fully determined by the boat's pose and velocity, the catalogue and the projectile's id,
// with no random numbers, so a peer that knows the id reproduces the shot exactly.
#pragma once

#include "combat/combat_records.hpp"
#include "combat/weapon_inventory.hpp"
#include "rules/weapon_catalog.hpp"

#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>

namespace brinewake {

inline constexpr double COOLDOWN_TOLERANCE = 1e-9;     // s; a cooldown at or below this has run out
inline constexpr double FLAT_FORWARD_THRESHOLD = 1e-6; // squared horizontal length of a usable heading
// Spread pattern: radii by the golden ratio's fraction, angles by the golden angle (rad).
inline constexpr double GOLDEN_RATIO_FRACTION = 0.6180339887498949;
inline constexpr double GOLDEN_ANGLE = 2.399963229728653;

enum class FireDecision {
    HOLD,  // nothing this frame (a pending press may wait for its cooldown)
    EMPTY, // a press met an empty weapon: report it
    FIRE,
};

// Decides this frame's outcome for weapon p_kind from the trigger, the cooldown and the ammunition.
// Serving a pending press (fire or empty) clears it; nothing else changes.
FireDecision decide_fire(WeaponInventory &r_weapons, int32_t p_kind);

// Spends one round of p_kind and starts its cooldown.
void spend_shot(WeaponInventory &r_weapons, int32_t p_kind);

// The horizontal unit heading of a boat with basis p_basis (its bow is local -Z); pitch and roll do not
// tilt it. (0, 0, -1) for a basis pointing straight up or down, (0, 0, 0) for a non-finite one.
godot::Vector3 firing_forward(const godot::Basis &p_basis);

struct SpreadOffsets {
    double yaw = 0.0;   // rad, about the world vertical
    double pitch = 0.0; // rad, added to the launch elevation
};

// The deterministic deviation of projectile p_id for a weapon of spread radius p_spread (rad).
SpreadOffsets spread_offsets(int64_t p_id, double p_spread);

// Launch velocity (m/s): the catalogue's muzzle speed along p_forward turned by p_offsets and raised
// by the launch pitch, plus the whole boat velocity p_boat_velocity.
Vec3d launch_velocity(const WeaponSpec &p_spec, const godot::Vector3 &p_forward,
                      const SpreadOffsets &p_offsets, const godot::Vector3 &p_boat_velocity);

} // namespace brinewake
