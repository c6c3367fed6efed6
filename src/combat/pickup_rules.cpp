#include "combat/pickup_rules.hpp"

#include "rules/numeric.hpp"
#include "rules/wave_field.hpp"

#include <cmath>

namespace brinewake {

double pickup_radius(int32_t p_kind) {
    return valid_weapon(p_kind) ? spec(static_cast<WeaponKind>(p_kind)).pickup_radius : POWERUP_PICKUP_RADIUS;
}

double pickup_respawn_time(int32_t p_kind) {
    return valid_weapon(p_kind) ? spec(static_cast<WeaponKind>(p_kind)).pickup_respawn_time
                                : POWERUP_RESPAWN_TIME;
}

float pickup_display_height(const godot::Vector3 &p_anchor, double p_wave_time, double p_hover) {
    return round_to_single(wave_height(double(p_anchor.x), double(p_anchor.z), p_wave_time) + p_hover);
}

bool pickup_within_reach(const godot::Vector3 &p_boat_position, const godot::Vector3 &p_anchor,
                         float p_display_height, double p_radius) {
    const float dx = p_boat_position.x - p_anchor.x;
    const float dz = p_boat_position.z - p_anchor.z;
    const float distance = std::sqrt(dx * dx + dz * dz);
    if (!(double(distance) <= p_radius)) {
        return false;
    }
    return std::fabs(p_boat_position.y - p_display_height) <= PICKUP_VERTICAL_REACH;
}

} // namespace brinewake
