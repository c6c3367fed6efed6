// One boat's motion without the physics engine: an explicit rigid-body step around the shared hull
// model over the shared sea. Pure and allocation-free; the same state and steps give the same bits.
#pragma once

#include "net/boat_packet.hpp"

#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector3.hpp>

namespace brinewake {

inline constexpr double MOTION_LINEAR_DAMPING = 0.08 + 0.1; // per second: the body's 0.08 plus the world's
inline constexpr double MOTION_ANGULAR_DAMPING = 1.8 + 0.1; // per second: the body's 1.8 plus the world's
inline constexpr float MOTION_GRAVITY_Y = -9.8f;            // m/s^2
inline constexpr double MOTION_MIN_ANGULAR_SPEED = 1e-9;    // rad/s; slower turns leave the basis alone
inline constexpr double MOTION_INITIAL_HEALTH = 50.0;

struct MotionState {
    godot::Transform3D transform;          // hull body transform in world space
    godot::Vector3 linear_velocity;        // of the centre of mass, world, m/s
    godot::Vector3 angular_velocity;       // world, rad/s
    godot::Vector2 wind;                   // horizontal: x is world X, y is world Z
    double time = 0.0;                     // wave time, s
    double speed_boost_remaining = 0.0;    // s
    double health = MOTION_INITIAL_HEALTH; // alive while > 0
    double throttle = 0.0;                 // last control given to a step, [-1, 1]
    double steering = 0.0;
};

// Advances the state by p_delta seconds. Invalid deltas (not > 0, or not finite) change nothing;
// non-finite controls read as 0, others are clamped to [-1, 1]. A dead state only advances its time.
void step_motion(MotionState &r_state, double p_throttle, double p_steering, double p_delta);

// Overwrites the whole motion state from a decoded packet.
void seed_motion_from_packet(const BoatPacket &p_packet, MotionState &r_state);

} // namespace brinewake
