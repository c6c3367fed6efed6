#include "rules/hull_model.hpp"

#include "rules/trig.hpp"
#include "rules/wave_field.hpp"

#include <algorithm>
#include <cmath>

using godot::Basis;
using godot::Vector3;

namespace brinewake {

namespace {

// Buoyancy (double precision).
constexpr double SUBMERSION_CAP = 0.8;
constexpr double BUOYANCY_STIFFNESS = 4800.0;         // per unit submersion
constexpr double BUOYANCY_DAMPING = 1000.0;           // per (m/s) / sqrt(S)
constexpr double SQRT_HULL_SCALE = 0.812403840463596; // sqrt(S)
constexpr double BUOYANCY_CAP = 7000.0;               // per sample point, before the force scale
constexpr double FORCE_SCALE = 0.287496;              // S^3
constexpr double WETNESS_DEPTH = 0.23 * HULL_SCALE;   // m, the double product
constexpr double WETNESS_WEIGHT = 0.25;               // one quarter per sample point

// Thrust and resistance.
constexpr double THRUST_PER_THROTTLE = 5200.0;
constexpr double BOOST_FACTOR = 2.25;
constexpr double FORWARD_DRAG = 24.0; // per (m/s)^2
constexpr float LATERAL_RESISTANCE = 1150.0f;
constexpr float HEAVE_DAMPING = 200.0f;
constexpr float FORCE_SCALE_F = 0.287496f;

// Steering.
constexpr double STEER_SPEED_TERM = 315.0;
constexpr double STEER_THROTTLE_TERM = 1250.0;
constexpr float STEER_TORQUE_SCALE = 0.12523326f; // S^5

// Wind.
constexpr float WIND_LATERAL = 1440.0f;
constexpr double WIND_LONGITUDINAL_BASE = 140.0;
constexpr double WIND_LONGITUDINAL_THROTTLE = 360.0;
constexpr float WIND_POINT_HEIGHT = 0.198f;     // hull-local y of the wind's point of action, 0.30 * S
constexpr double HORIZONTAL_AXIS_MIN_SQ = 1e-6; // squared length of a usable horizontal axis

// The horizontal vector (p_x, 0, p_z) normalized, given its squared length; zero when it is not finite or
// has no length.
inline Vector3 flat_unit(float p_x, float p_z, float p_length_sq) {
    if (!std::isfinite(p_x) || !std::isfinite(p_z) || p_length_sq == 0.0f) {
        return Vector3();
    }
    const float length = std::sqrt(p_length_sq);
    return Vector3(p_x / length, 0.0f, p_z / length);
}

// clamp(depth / WETNESS_DEPTH, 0, 1). The division is monotonic, so outside (0, WETNESS_DEPTH) the result
// is known without it; NaN still goes through it.
inline double wet_fraction(double p_depth) {
    if (p_depth >= WETNESS_DEPTH) {
        return 1.0;
    }
    if (p_depth <= 0.0) {
        return 0.0;
    }
    return std::min(std::max(p_depth / WETNESS_DEPTH, 0.0), 1.0);
}

} // namespace

HullForces compute_hull_forces(const godot::Transform3D &p_transform, const Vector3 &p_linear_velocity,
                               const Vector3 &p_angular_velocity, double p_time, double p_throttle,
                               double p_steering, double p_boost_remaining, const godot::Vector2 &p_wind) {
    const Basis &basis = p_transform.basis;
    const Vector3 center = basis.xform(HULL_CENTER_OF_MASS);

    // The sea under the four sample points first: the twelve sine-and-cosine evaluations depend on nothing
    // below, so they can run back to back.
    Vector3 offsets[4];
    for (int i = 0; i < 4; i++) {
        offsets[i] = basis.xform(HULL_SAMPLE_POINTS[i]);
    }
    // The twelve wave arguments (point by point, wave by wave, as sample_waves forms them), then their
    // sines and cosines four at a time, then each point's sample exactly as sample_waves sums it.
    Vector3 worlds[4];
    double arguments[12];
    for (int i = 0; i < 4; i++) {
        worlds[i] = offsets[i] + p_transform.origin;
        for (int w = 0; w < 3; w++) {
            arguments[3 * i + w] =
                detail::wave_argument(WAVES[w], double(worlds[i].x), double(worlds[i].z), p_time);
        }
    }
    double sines[12], cosines[12];
    for (int j = 0; j < 12; j += 4) {
        sine_cosine_quad(arguments + j, sines + j, cosines + j);
    }
    WaveSample seas[4];
    for (int i = 0; i < 4; i++) {
        seas[i] = detail::combine_waves(sines + 3 * i, cosines + 3 * i);
    }

    // Buoyancy and wetness.
    float buoyancy = 0.0f;
    Vector3 buoyancy_torque;
    double wetness = 0.0;
    for (int i = 0; i < 4; i++) {
        const WaveSample &sea = seas[i];
        const double depth = sea.height - double(worlds[i].y); // positive under water
        wetness += WETNESS_WEIGHT * wet_fraction(depth);

        const Vector3 lever = offsets[i] - center;
        float point_force = 0.0f;
        if (depth > 0.0) { // the submersion depth / S is positive exactly then
            const double submersion = depth / HULL_SCALE;
            const float point_speed =
                p_linear_velocity.y + (p_angular_velocity.z * lever.x - p_angular_velocity.x * lever.z);
            const double rise = double(point_speed) - sea.vertical_speed; // relative to the water
            double force = std::min(submersion, SUBMERSION_CAP) * BUOYANCY_STIFFNESS -
                           (rise / SQRT_HULL_SCALE) * BUOYANCY_DAMPING;
            force = std::max(force, 0.0);
            force = std::min(force, BUOYANCY_CAP);
            point_force = static_cast<float>(force * FORCE_SCALE);
        }
        buoyancy += point_force;
        // lever x (0, point_force, 0)
        buoyancy_torque.x -= lever.z * point_force;
        buoyancy_torque.z += lever.x * point_force;
    }
    const float wet = static_cast<float>(wetness);

    // Full three-dimensional hull axes: the bow is local -Z, the right side local +X.
    const Vector3 forward(-basis.rows[0].z, -basis.rows[1].z, -basis.rows[2].z);
    const Vector3 right(basis.rows[0].x, basis.rows[1].x, basis.rows[2].x);
    const double forward_speed = double(p_linear_velocity.dot(forward));
    const float lateral_speed = p_linear_velocity.dot(right);

    // The boost multiplies the throttle term only, not the drag.
    double thrust = p_throttle * THRUST_PER_THROTTLE;
    if (p_boost_remaining > 0.0) {
        thrust *= BOOST_FACTOR;
    }
    thrust -= std::fabs(forward_speed) * forward_speed * FORWARD_DRAG;
    const float thrust_f = static_cast<float>(thrust);

    const Vector3 water = (forward * thrust_f - right * (lateral_speed * LATERAL_RESISTANCE) -
                           Vector3(0.0f, HEAVE_DAMPING * p_linear_velocity.y, 0.0f)) *
                          wet * FORCE_SCALE_F;

    // Pure yaw about world +Y.
    const float steer = static_cast<float>(
        (forward_speed * STEER_SPEED_TERM + p_throttle * STEER_THROTTLE_TERM) * (-p_steering));
    const float steering_torque = steer * wet * STEER_TORQUE_SCALE;

    HullForces result;
    result.force = water + Vector3(0.0f, buoyancy, 0.0f);
    result.torque = buoyancy_torque + Vector3(0.0f, steering_torque, 0.0f);

    // Wind needs both horizontal axes: none on a hull standing on its bow or stern or lying on its side.
    const float forward_flat_sq = forward.x * forward.x + forward.z * forward.z;
    const float right_flat_sq = right.x * right.x + right.z * right.z;
    if (double(forward_flat_sq) > HORIZONTAL_AXIS_MIN_SQ && double(right_flat_sq) > HORIZONTAL_AXIS_MIN_SQ) {
        const Vector3 forward_flat = flat_unit(forward.x, forward.z, forward_flat_sq);
        const Vector3 right_flat = flat_unit(right.x, right.z, right_flat_sq);
        const float lateral_wind = p_wind.x * right_flat.x + p_wind.y * right_flat.z;
        const double longitudinal_wind = double(p_wind.x * forward_flat.x + p_wind.y * forward_flat.z);
        const float longitudinal_force =
            static_cast<float>(longitudinal_wind *
                               (std::fabs(p_throttle) * WIND_LONGITUDINAL_THROTTLE + WIND_LONGITUDINAL_BASE));
        const Vector3 wind_force =
            (right_flat * (lateral_wind * WIND_LATERAL) + forward_flat * longitudinal_force) * FORCE_SCALE_F;
        const Vector3 wind_lever = basis.xform(Vector3(0.0f, WIND_POINT_HEIGHT, 0.0f)) - center;
        result.force += wind_force;
        result.torque += wind_lever.cross(wind_force);
    }
    return result;
}

} // namespace brinewake
