#include "combat/flight.hpp"

#include "rules/numeric.hpp"
#include "rules/wave_field.hpp"

#include <algorithm>
#include <cmath>

using godot::Vector3;

namespace brinewake {

namespace {

float length_single(const Vector3 &p_vector) {
    return std::sqrt(p_vector.x * p_vector.x + p_vector.y * p_vector.y + p_vector.z * p_vector.z);
}

bool under_water(const Vector3 &p_point, double p_wave_time) {
    return double(p_point.y) - wave_height(double(p_point.x), double(p_point.z), p_wave_time) < 0.0;
}

// Clips [r_enter, r_exit] to one slab of the box; false when the segment misses it.
bool clip_slab(double p_start, double p_movement, double p_lower, double p_upper, double &r_enter,
               double &r_exit) {
    if (!is_finite_double(p_start) || !is_finite_double(p_movement)) {
        return false; // a segment that is nowhere misses every box
    }
    if (std::fabs(p_movement) < PARALLEL_MOVEMENT) {
        return !(p_start < p_lower || p_start > p_upper);
    }
    const double t1 = (p_upper - p_start) / p_movement;
    const double t2 = (p_lower - p_start) / p_movement;
    r_enter = std::max(r_enter, std::min(t1, t2));
    r_exit = std::min(r_exit, std::max(t1, t2));
    return !(r_enter > r_exit);
}

} // namespace

bool motor_burning(int32_t p_kind, double p_age) {
    return valid_weapon(p_kind) && spec(static_cast<WeaponKind>(p_kind)).burn_time > p_age;
}

void integrate_projectile(Projectile &r_projectile, const WeaponSpec &p_spec, double p_dt) {
    const Vec3d v = r_projectile.velocity;
    const double speed = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    Vec3d acceleration{0.0, -p_spec.gravity, 0.0};
    if (r_projectile.age < p_spec.burn_time && speed > MIN_THRUST_SPEED) {
        const double k = p_spec.thrust / speed; // thrust along the velocity
        acceleration = Vec3d{v.x * k, v.y * k - p_spec.gravity, v.z * k};
    }
    const double drag = -p_spec.drag * speed;
    Vec3d &velocity = r_projectile.velocity;
    velocity.x = (acceleration.x + drag * v.x) * p_dt + v.x;
    velocity.y = (acceleration.y + drag * v.y) * p_dt + v.y;
    velocity.z = (acceleration.z + drag * v.z) * p_dt + v.z;
    Vec3d &position = r_projectile.position;
    position.x = position.x + velocity.x * p_dt;
    position.y = position.y + velocity.y * p_dt;
    position.z = position.z + velocity.z * p_dt;
    r_projectile.age = p_dt + r_projectile.age;
}

Vector3 point_on_segment(const Vector3 &p_from, const Vector3 &p_delta, double p_fraction) {
    const float f = round_to_single(p_fraction);
    return Vector3(p_from.x + p_delta.x * f, p_from.y + p_delta.y * f, p_from.z + p_delta.z * f);
}

double ray_hit_fraction(const Vector3 &p_from, const Vector3 &p_delta, const Vector3 &p_hit) {
    const float delta_length_sq = p_delta.x * p_delta.x + p_delta.y * p_delta.y + p_delta.z * p_delta.z;
    if (!(double(delta_length_sq) > POINT_SEGMENT_LENGTH_SQ)) {
        return 0.0;
    }
    return double(length_single(p_hit - p_from) / std::sqrt(delta_length_sq));
}

bool find_water_crossing(const Vector3 &p_from, const Vector3 &p_delta, double p_wave_time,
                         double &r_fraction, Vector3 &r_position) {
    const Vector3 end(p_from.x + p_delta.x, p_from.y + p_delta.y, p_from.z + p_delta.z);
    // Above every crest the end cannot be under water: the sea need not be evaluated (the margin covers
    // the rounding of the summed waves).
    if (double(end.y) > MAX_WAVE_HEIGHT + 1e-9 || !under_water(end, p_wave_time)) {
        return false;
    }
    double crossing = 0.0;
    if (!under_water(p_from, p_wave_time)) {
        double lo = 0.0;
        double hi = 1.0;
        for (int i = 0; i < WATER_BISECTION_STEPS; ++i) {
            const double mid = (lo + hi) * 0.5;
            if (under_water(point_on_segment(p_from, p_delta, mid), p_wave_time)) {
                hi = mid;
            } else {
                lo = mid;
            }
        }
        crossing = hi;
    }
    const Vector3 at = point_on_segment(p_from, p_delta, crossing);
    r_fraction = crossing;
    r_position = Vector3(at.x, round_to_single(wave_height(double(at.x), double(at.z), p_wave_time)), at.z);
    return true;
}

Vector3 hit_center(const godot::Transform3D &p_boat_transform) {
    const Vector3 up = p_boat_transform.basis.get_column(1);
    const Vector3 &origin = p_boat_transform.origin;
    return Vector3(origin.x + up.x * HIT_CENTER_HEIGHT, origin.y + up.y * HIT_CENTER_HEIGHT,
                   origin.z + up.z * HIT_CENTER_HEIGHT);
}

bool hull_box_entry(const Vector3 &p_local_from, const Vector3 &p_local_to, double p_hull_scale,
                    double &r_fraction) {
    const double half_width = HULL_BOX_HALF_WIDTH * p_hull_scale + HULL_BOX_MARGIN;
    const double below = -HULL_BOX_BELOW * p_hull_scale - HULL_BOX_MARGIN;
    const double above = HULL_BOX_ABOVE * p_hull_scale + HULL_BOX_MARGIN;
    const double half_length = HULL_BOX_HALF_LENGTH * p_hull_scale + HULL_BOX_MARGIN;
    double enter = 0.0;
    double exit = 1.0;
    const bool inside = clip_slab(double(p_local_from.x), double(p_local_to.x) - double(p_local_from.x),
                                  -half_width, half_width, enter, exit) &&
                        clip_slab(double(p_local_from.y), double(p_local_to.y) - double(p_local_from.y),
                                  below, above, enter, exit) &&
                        clip_slab(double(p_local_from.z), double(p_local_to.z) - double(p_local_from.z),
                                  -half_length, half_length, enter, exit);
    if (!inside) {
        return false;
    }
    r_fraction = enter;
    return true;
}

bool proximity_fraction(const Vector3 &p_from, const Vector3 &p_to, const Vector3 &p_center, double p_radius,
                        double &r_fraction) {
    const Vec3d from = to_vec3d(p_from);
    const Vec3d segment{double(p_to.x) - from.x, double(p_to.y) - from.y, double(p_to.z) - from.z};
    const double length_sq = segment.x * segment.x + segment.y * segment.y + segment.z * segment.z;
    double fraction = 0.0;
    if (length_sq > POINT_SEGMENT_LENGTH_SQ) {
        const double along = (double(p_center.x) - from.x) * segment.x +
                             (double(p_center.y) - from.y) * segment.y +
                             (double(p_center.z) - from.z) * segment.z;
        fraction = along / length_sq;
        fraction = fraction < 0.0 ? 0.0 : (fraction > 1.0 ? 1.0 : fraction);
    }
    const Vector3 delta = p_to - p_from;
    const float distance = length_single(point_on_segment(p_from, delta, fraction) - p_center);
    if (!(double(distance) < p_radius)) {
        return false;
    }
    r_fraction = fraction;
    return true;
}

} // namespace brinewake
