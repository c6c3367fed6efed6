#include "combat/firing.hpp"

#include "rules/numeric.hpp"
#include "rules/trig.hpp"

#include <cmath>

namespace brinewake {

FireDecision decide_fire(WeaponInventory &r_weapons, int32_t p_kind) {
    const bool cooled = !(r_weapons.refire_cooldown[p_kind] > COOLDOWN_TOLERANCE);
    if (r_weapons.trigger_pending) {
        if (!cooled) {
            return FireDecision::HOLD; // served once the cooldown has run out, if still held
        }
        r_weapons.trigger_pending = false;
        return r_weapons.ammo[p_kind] < 1 ? FireDecision::EMPTY : FireDecision::FIRE;
    }
    // Without a fresh press only an automatic weapon fires, and it runs dry silently.
    const bool automatic = spec(static_cast<WeaponKind>(p_kind)).automatic;
    if (!automatic || !r_weapons.trigger_held || !cooled || r_weapons.ammo[p_kind] < 1) {
        return FireDecision::HOLD;
    }
    return FireDecision::FIRE;
}

void spend_shot(WeaponInventory &r_weapons, int32_t p_kind) {
    r_weapons.ammo[p_kind] -= 1;
    r_weapons.refire_cooldown[p_kind] = spec(static_cast<WeaponKind>(p_kind)).refire_interval;
    r_weapons.time_since_shot[p_kind] = 0.0;
}

godot::Vector3 firing_forward(const godot::Basis &p_basis) {
    const godot::Vector3 z_axis = p_basis.get_column(2);
    const float flat_length_sq = z_axis.x * z_axis.x + 0.0f + z_axis.z * z_axis.z;
    if (double(flat_length_sq) > FLAT_FORWARD_THRESHOLD) {
        return safe_normalized(godot::Vector3(-z_axis.x, 0.0f, -z_axis.z));
    }
    if (!(flat_length_sq <= FLAT_FORWARD_THRESHOLD)) {
        return godot::Vector3(); // NaN: no heading at all
    }
    return godot::Vector3(0.0f, 0.0f, -1.0f);
}

SpreadOffsets spread_offsets(int64_t p_id, double p_spread) {
    SpreadOffsets offsets;
    if (!(p_spread > 0.0)) {
        return offsets;
    }
    const double n = static_cast<double>(p_id);
    const double radius = std::sqrt(std::fmod(n * GOLDEN_RATIO_FRACTION, 1.0));
    const double angle = GOLDEN_ANGLE * n;
    double sin_angle, cos_angle;
    sine_cosine(angle, sin_angle, cos_angle);
    offsets.yaw = p_spread * radius * cos_angle;
    offsets.pitch = p_spread * radius * sin_angle;
    return offsets;
}

Vec3d launch_velocity(const WeaponSpec &p_spec, const godot::Vector3 &p_forward,
                      const SpreadOffsets &p_offsets, const godot::Vector3 &p_boat_velocity) {
    const double elevation = p_offsets.pitch + p_spec.launch_pitch;
    const double fx = double(p_forward.x);
    const double fz = double(p_forward.z);
    double sin_yaw, cos_yaw, sin_e, cos_e;
    sine_cosine(p_offsets.yaw, sin_yaw, cos_yaw);
    sine_cosine(elevation, sin_e, cos_e);
    const double speed = p_spec.muzzle_speed;
    // The heading turned by the yaw offset about the vertical, then raised by the elevation. The zero
    // terms are kept so that signed zeros and non-finite headings come out as the rule spells them.
    const double dx = fx * cos_yaw - fz * sin_yaw;
    const double dz = fx * sin_yaw + fz * cos_yaw;
    Vec3d velocity;
    velocity.x = (dx * cos_e + 0.0) * speed + double(p_boat_velocity.x);
    velocity.y = (cos_e * 0.0 + sin_e) * speed + double(p_boat_velocity.y);
    velocity.z = (dz * cos_e + 0.0) * speed + double(p_boat_velocity.z);
    return velocity;
}

} // namespace brinewake
