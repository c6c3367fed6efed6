// Impact rules: how hard and which way a finished projectile pushes and hurts what is around it.
#pragma once

#include "combat/combat_records.hpp"
#include "rules/weapon_catalog.hpp"

#include <godot_cpp/variant/vector3.hpp>

namespace brinewake {

inline constexpr double MOVING_SPEED_SQ = 1e-6;        // (m/s)^2; slower projectiles push against the normal
inline constexpr float BLAST_UPWARD_BIAS = 0.6f;       // m added to the blast direction's vertical component
inline constexpr float BLAST_OFFSET_SCALE = 0.25f;     // share of the contact offset where the blast acts
inline constexpr double STRUCK_BODY_BLAST_SHARE = 0.5; // share of the blast impulse given to a struck body

// Direction in which a projectile pushes what it struck: along its flight, or into the surface when it
// has (almost) stopped.
godot::Vector3 push_direction(const Vec3d &p_velocity, const godot::Vector3 &p_normal);

// Share in [0, 1] of the full damage and blast that a boat centred at p_center receives from a blast of
// radius p_blast_radius (m) at p_position; 0 at or beyond the radius.
double blast_falloff(const godot::Vector3 &p_center, const godot::Vector3 &p_position, double p_blast_radius);

// Unit direction of the blast impulse on a boat centred at p_center: away from the blast, biased upwards.
godot::Vector3 blast_direction(const godot::Vector3 &p_center, const godot::Vector3 &p_position);

// Impulse on a struck rigid body that is not a boat.
godot::Vector3 struck_body_impulse(const WeaponSpec &p_spec, const godot::Vector3 &p_push_direction);

} // namespace brinewake
