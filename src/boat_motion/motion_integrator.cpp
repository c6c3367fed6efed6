#include "boat_motion/motion_integrator.hpp"

#include "rules/controls.hpp"
#include "rules/hull_model.hpp"
#include "rules/numeric.hpp"
#include "rules/trig.hpp"

#include <godot_cpp/variant/basis.hpp>

#include <algorithm>
#include <cmath>

namespace brinewake {

namespace {

using godot::Basis;
using godot::Vector3;

// The arithmetic below is written out component by component in single precision, so that the
// result does not depend on how a math library groups its vector operations.

float dot(const Vector3 &p_a, const Vector3 &p_b) {
    return p_a.x * p_b.x + p_a.y * p_b.y + p_a.z * p_b.z;
}

Vector3 normalized_or_zero(const Vector3 &p_v) {
    const float length_sq = dot(p_v, p_v);
    if (length_sq == 0.0f) {
        return Vector3(0.0f, 0.0f, 0.0f);
    }
    const float length = std::sqrt(length_sq);
    return Vector3(p_v.x / length, p_v.y / length, p_v.z / length);
}

Vector3 column(const Basis &p_basis, int p_index) {
    return Vector3(p_basis.rows[0][p_index], p_basis.rows[1][p_index], p_basis.rows[2][p_index]);
}

// Gram-Schmidt on the columns X, Y, Z, each normalised; a zero column stays zero.
Basis orthonormalized(const Basis &p_basis) {
    const Vector3 x = normalized_or_zero(column(p_basis, 0));
    const Vector3 y_in = column(p_basis, 1);
    const float xy = dot(x, y_in);
    const Vector3 y = normalized_or_zero(Vector3(y_in.x - x.x * xy, y_in.y - x.y * xy, y_in.z - x.z * xy));
    const Vector3 z_in = column(p_basis, 2);
    const float xz = dot(x, z_in);
    const float yz = dot(y, z_in);
    const Vector3 z = normalized_or_zero(
        Vector3(z_in.x - x.x * xz - y.x * yz, z_in.y - x.y * xz - y.y * yz, z_in.z - x.z * xz - y.z * yz));
    return Basis(x.x, y.x, z.x, x.y, y.y, z.y, x.z, y.z, z.z);
}

Vector3 transformed(const Basis &p_basis, const Vector3 &p_v) {
    return Vector3(dot(p_basis.rows[0], p_v), dot(p_basis.rows[1], p_v), dot(p_basis.rows[2], p_v));
}

Basis product(const Basis &p_a, const Basis &p_b) {
    Basis result;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            result.rows[i][j] = p_a.rows[i][0] * p_b.rows[0][j] + p_a.rows[i][1] * p_b.rows[1][j] +
                                p_a.rows[i][2] * p_b.rows[2][j];
        }
    }
    return result;
}

// Rotation by p_angle about the unit p_axis (Rodrigues), as an axis-angle basis is built.
Basis axis_angle(const Vector3 &p_axis, float p_angle) {
    const float xx = p_axis.x * p_axis.x;
    const float yy = p_axis.y * p_axis.y;
    const float zz = p_axis.z * p_axis.z;
    // The library's own sine and cosine, rounded to single precision.
    double sine_value, cosine_value;
    sine_cosine(static_cast<double>(p_angle), sine_value, cosine_value);
    const float c = static_cast<float>(cosine_value);
    const float s = static_cast<float>(sine_value);
    const float t = 1.0f - c;
    const float xyt = p_axis.x * p_axis.y * t;
    const float xzt = p_axis.x * p_axis.z * t;
    const float yzt = p_axis.y * p_axis.z * t;
    const float xs = p_axis.x * s;
    const float ys = p_axis.y * s;
    const float zs = p_axis.z * s;
    return Basis(xx + c * (1.0f - xx), xyt - zs, xzt + ys, //
                 xyt + zs, yy + c * (1.0f - yy), yzt - xs, //
                 xzt - ys, yzt + xs, zz + c * (1.0f - zz));
}

// World inverse inertia R * diag(HULL_INVERSE_INERTIA) * R^T.
Basis world_inverse_inertia(const Basis &p_rotation) {
    const float diagonal[3] = {HULL_INVERSE_INERTIA.x, HULL_INVERSE_INERTIA.y, HULL_INVERSE_INERTIA.z};
    Basis inverse_inertia;
    for (int i = 0; i < 3; ++i) {
        const float scaled[3] = {p_rotation.rows[i][0] * diagonal[0], p_rotation.rows[i][1] * diagonal[1],
                                 p_rotation.rows[i][2] * diagonal[2]};
        for (int j = 0; j < 3; ++j) {
            inverse_inertia.rows[i][j] = scaled[0] * p_rotation.rows[j][0] +
                                         scaled[1] * p_rotation.rows[j][1] +
                                         scaled[2] * p_rotation.rows[j][2];
        }
    }
    return inverse_inertia;
}

} // namespace

void step_motion(MotionState &r_state, double p_throttle, double p_steering, double p_delta) {
    if (!(p_delta > 0.0) || !is_finite_double(p_delta)) {
        return;
    }
    r_state.throttle = clamp_control(p_throttle);
    r_state.steering = clamp_control(p_steering);
    if (!(r_state.health > 0.0)) {
        r_state.time += p_delta; // dead: the pose is frozen, only the clock runs
        return;
    }

    Basis &basis = r_state.transform.basis;
    // Depends on the pose only; formed before the hull model so the two can overlap.
    const Basis inverse_inertia = world_inverse_inertia(orthonormalized(basis));

    // Time and boost as they stand before this step.
    const HullForces forces = compute_hull_forces(
        r_state.transform, r_state.linear_velocity, r_state.angular_velocity, r_state.time, r_state.throttle,
        r_state.steering, r_state.speed_boost_remaining, r_state.wind);

    const float dt = round_to_single(p_delta);
    const float linear_keep = static_cast<float>(std::max(1.0 - MOTION_LINEAR_DAMPING * p_delta, 0.0));
    const float angular_keep = static_cast<float>(std::max(1.0 - MOTION_ANGULAR_DAMPING * p_delta, 0.0));

    const Vector3 spin = transformed(inverse_inertia, forces.torque);

    Vector3 &v = r_state.linear_velocity;
    v = Vector3(v.x * linear_keep + (forces.force.x / HULL_MASS + 0.0f) * dt,
                v.y * linear_keep + (forces.force.y / HULL_MASS + MOTION_GRAVITY_Y) * dt,
                v.z * linear_keep + (forces.force.z / HULL_MASS + 0.0f) * dt);

    Vector3 &w = r_state.angular_velocity;
    w = Vector3(w.x * angular_keep + spin.x * dt, w.y * angular_keep + spin.y * dt,
                w.z * angular_keep + spin.z * dt);

    Vector3 &origin = r_state.transform.origin;
    const float angular_speed = std::sqrt(dot(w, w));
    if (static_cast<double>(angular_speed) > MOTION_MIN_ANGULAR_SPEED) {
        const Vector3 axis(w.x / angular_speed, w.y / angular_speed, w.z / angular_speed);
        const float angle = round_to_single(static_cast<double>(angular_speed) * p_delta);
        const Basis turn = axis_angle(axis, angle);
        // Turn about the centre of mass, not the body origin.
        const Vector3 center = transformed(basis, HULL_CENTER_OF_MASS);
        const Vector3 turned_center = transformed(turn, center);
        origin = Vector3(origin.x + (center.x - turned_center.x), origin.y + (center.y - turned_center.y),
                         origin.z + (center.z - turned_center.z));
        basis = orthonormalized(product(turn, basis));
    }

    origin = Vector3(origin.x + v.x * dt, origin.y + v.y * dt, origin.z + v.z * dt);

    r_state.time += p_delta;
    r_state.speed_boost_remaining = std::max(r_state.speed_boost_remaining - p_delta, 0.0);
}

void seed_motion_from_packet(const BoatPacket &p_packet, MotionState &r_state) {
    r_state.transform = p_packet.transform;
    r_state.linear_velocity = p_packet.linear_velocity;
    r_state.angular_velocity = p_packet.angular_velocity;
    r_state.wind = p_packet.wind;
    r_state.time = p_packet.wave_time;
    r_state.speed_boost_remaining =
        p_packet.speed_boost_remaining > 0.0 ? p_packet.speed_boost_remaining : 0.0;
    r_state.health = p_packet.health;
    r_state.throttle = p_packet.throttle;
    r_state.steering = p_packet.steering;
}

} // namespace brinewake
