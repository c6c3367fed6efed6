// Pickup rules: which kinds exist, how near a boat must come, how long a collected pickup stays away,
// and where a pickup floats.
#pragma once

#include "combat/combat_records.hpp"
#include "rules/weapon_catalog.hpp"

#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>

namespace brinewake {

inline constexpr double POWERUP_PICKUP_RADIUS = 1.8; // m, horizontal, health and speed pickups
inline constexpr double POWERUP_RESPAWN_TIME = 20.0; // s, health and speed pickups
inline constexpr float PICKUP_VERTICAL_REACH = 2.0f; // m, largest height difference to a boat
inline constexpr double HEALTH_PICKUP_AMOUNT = 35.0; // health offered
inline constexpr int32_t SPEED_PICKUP_AMOUNT = 8;    // reported amount: the boost's length in seconds
inline constexpr double DEFAULT_PICKUP_HOVER = 0.35; // m above the sea

// A weapon kind whose ammunition comes in pickups.
inline bool weapon_has_pickups(int32_t p_kind) {
    return valid_weapon(p_kind) && spec(static_cast<WeaponKind>(p_kind)).pickup_amount > 0;
}

// Collection radius (m, horizontal) of a pickup of p_kind.
double pickup_radius(int32_t p_kind);
// Seconds a collected pickup of p_kind stays away.
double pickup_respawn_time(int32_t p_kind);

// Height (m) at which a pickup anchored at p_anchor floats at wave time p_wave_time.
float pickup_display_height(const godot::Vector3 &p_anchor, double p_wave_time, double p_hover);

// True when a boat at p_boat_position is near enough to a pickup of radius p_radius anchored at
// p_anchor and floating at p_display_height.
bool pickup_within_reach(const godot::Vector3 &p_boat_position, const godot::Vector3 &p_anchor,
                         float p_display_height, double p_radius);

} // namespace brinewake
