#include "combat/impact.hpp"

#include "rules/numeric.hpp"

#include <algorithm>
#include <cmath>

using godot::Vector3;

namespace brinewake {

Vector3 push_direction(const Vec3d &p_velocity, const Vector3 &p_normal) {
    const Vector3 velocity = to_vector3(p_velocity);
    const float speed_sq = velocity.x * velocity.x + velocity.y * velocity.y + velocity.z * velocity.z;
    if (double(speed_sq) > MOVING_SPEED_SQ) {
        return safe_normalized(velocity);
    }
    return -p_normal;
}

double blast_falloff(const Vector3 &p_center, const Vector3 &p_position, double p_blast_radius) {
    const Vector3 offset = p_center - p_position;
    const double distance =
        double(std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z));
    return std::min(1.0, std::max(0.0, 1.0 - distance / p_blast_radius));
}

Vector3 blast_direction(const Vector3 &p_center, const Vector3 &p_position) {
    const Vector3 away(p_center.x - p_position.x,
                       std::max(p_center.y - p_position.y, 0.0f) + BLAST_UPWARD_BIAS,
                       p_center.z - p_position.z);
    return safe_normalized(away);
}

Vector3 struck_body_impulse(const WeaponSpec &p_spec, const Vector3 &p_push_direction) {
    const float magnitude =
        round_to_single(STRUCK_BODY_BLAST_SHARE * p_spec.blast_impulse + p_spec.impact_impulse);
    return p_push_direction * magnitude;
}

} // namespace brinewake
