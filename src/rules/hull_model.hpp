// The hull force model: buoyancy, thrust, water resistance, steering and wind on one boat hull.
#pragma once

#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector3.hpp>

namespace brinewake {

// Scale S of the hull: lengths are multiples of S, forces carry S^3, the steering torque S^5.
inline constexpr double HULL_SCALE = 0.66;

// kg, 450 * S^3; the rigid body's mass.
inline constexpr float HULL_MASS = 129.3732f;

// Hull-local, m: (0, -0.32 * S, 0).
inline const godot::Vector3 HULL_CENTER_OF_MASS(0.0f, -0.2112f, 0.0f);

// Body-frame inverse principal moments, 1/(kg m^2), about the hull-local X, Y, Z axes through the
// centre of mass (uniform box of 1.8 x 0.8 x 3.7 times S metres).
inline const godot::Vector3 HULL_INVERSE_INERTIA(0.013685886f, 0.012577433f, 0.041680235f);

// x offset of the sample points, m: 0.72 * S, both factors rounded to single precision and multiplied
// in single precision (0.47520003, one step above the float nearest 0.4752).
inline constexpr float HULL_SAMPLE_HALF_WIDTH = static_cast<float>(0.72) * static_cast<float>(HULL_SCALE);

// Hull-local buoyancy sample points, m, in the order they are visited: the bottom corners of a
// box below the centre of mass.
inline const godot::Vector3 HULL_SAMPLE_POINTS[4] = {
    godot::Vector3(-HULL_SAMPLE_HALF_WIDTH, -0.264f, 0.891f),
    godot::Vector3(-HULL_SAMPLE_HALF_WIDTH, -0.264f, -0.891f),
    godot::Vector3(HULL_SAMPLE_HALF_WIDTH, -0.264f, 0.891f),
    godot::Vector3(HULL_SAMPLE_HALF_WIDTH, -0.264f, -0.891f),
};

// World-space result: force at the centre of mass (N) and torque about it (N m).
struct HullForces {
    godot::Vector3 force;
    godot::Vector3 torque;
};

// Force and torque on a hull with body transform `p_transform` over the sea at wave time `p_time` (s).
// Velocities are world-space (m/s, rad/s); throttle and steering are expected in [-1, 1]; only the sign
// of `p_boost_remaining` matters; `p_wind` is the horizontal world vector (x, 0, y). Pure; validates
// nothing, so non-finite inputs give non-finite results.
HullForces compute_hull_forces(const godot::Transform3D &p_transform, const godot::Vector3 &p_linear_velocity,
                               const godot::Vector3 &p_angular_velocity, double p_time, double p_throttle,
                               double p_steering, double p_boost_remaining, const godot::Vector2 &p_wind);

} // namespace brinewake
