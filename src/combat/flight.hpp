// Projectile flight rules: one integration step, and the three contact tests along a step's segment
// (the sea crossing, a boat's hull box, a rocket's proximity fuse), each as a fraction of the segment.
#pragma once

#include "combat/combat_records.hpp"
#include "rules/weapon_catalog.hpp"

#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>
#include <limits>

namespace brinewake {

inline constexpr double MIN_THRUST_SPEED = 1e-6;         // m/s; slower, the motor gives no thrust
inline constexpr double POINT_SEGMENT_LENGTH_SQ = 1e-12; // m^2; shorter segments count as points
inline constexpr double PARALLEL_MOVEMENT = 1e-12; // m; less local movement along a box axis is parallel
inline constexpr int WATER_BISECTION_STEPS = 12;
inline constexpr float HIT_CENTER_HEIGHT = 0.15f;           // m along the boat's up axis from its origin
inline constexpr uint32_t RAY_COLLISION_MASK = 0xFFFFFFFFu; // the world ray sees every layer
// The hull box around a boat's origin, in multiples of its hull scale, plus a margin (m) on every side.
inline constexpr double HULL_BOX_HALF_WIDTH = 0.99;
inline constexpr double HULL_BOX_BELOW = 0.4;
inline constexpr double HULL_BOX_ABOVE = 1.21;
inline constexpr double HULL_BOX_HALF_LENGTH = 2.035;
inline constexpr double HULL_BOX_MARGIN = 0.12;

inline constexpr double NO_CONTACT = std::numeric_limits<double>::infinity();

// Where a flight step ended: the earliest contact along its segment, or none.
struct Contact {
    double fraction = NO_CONTACT; // along the segment: 0 at its start, 1 at its end
    godot::Vector3 position;      // m, world
    godot::Vector3 normal = godot::Vector3(0.0f, 1.0f, 0.0f);
    int32_t surface = SURFACE_AIR;
    uint64_t collider_id = 0; // instance id of what was struck; 0 for the sea, the air or a null collider
};

// Whether a projectile's motor burns: its weapon's burn time (s) is still greater than its age (s).
// A kind that is not a weapon never burns, and never reaches the catalogue.
bool motor_burning(int32_t p_kind, double p_age);

// One semi-implicit Euler step of p_dt seconds under thrust (while the motor burns), gravity and
// quadratic drag; advances the age.
void integrate_projectile(Projectile &r_projectile, const WeaponSpec &p_spec, double p_dt);

// The point at fraction p_fraction of the segment from p_from along p_delta, in single precision.
godot::Vector3 point_on_segment(const godot::Vector3 &p_from, const godot::Vector3 &p_delta,
                                double p_fraction);

// Fraction of the segment at which a world ray's hit point p_hit lies.
double ray_hit_fraction(const godot::Vector3 &p_from, const godot::Vector3 &p_delta,
                        const godot::Vector3 &p_hit);

// The sea crossing of the segment at wave time p_wave_time: when its end is under water, the fraction
// (0 when it starts under water, else found by bisection) and the point on the surface there. False when
// the end is not under water.
bool find_water_crossing(const godot::Vector3 &p_from, const godot::Vector3 &p_delta, double p_wave_time,
                         double &r_fraction, godot::Vector3 &r_position);

// A boat's centre for hit and blast tests: its origin raised along its up axis.
godot::Vector3 hit_center(const godot::Transform3D &p_boat_transform);

// Entry fraction of a segment given in the boat's local frame into its hull box (hull scale p_hull_scale);
// false when the segment misses the box.
bool hull_box_entry(const godot::Vector3 &p_local_from, const godot::Vector3 &p_local_to, double p_hull_scale,
                    double &r_fraction);

// Fraction of the segment's point closest to p_center, when that point lies closer than p_radius (m);
// false otherwise (always for a radius of 0).
bool proximity_fraction(const godot::Vector3 &p_from, const godot::Vector3 &p_to,
                        const godot::Vector3 &p_center, double p_radius, double &r_fraction);

} // namespace brinewake
