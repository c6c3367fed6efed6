// The physics world's arithmetic: mass properties, one integration step and ray tests against
// boxes and spheres, on plain value types. Everything is single precision, in the engine's order
// of operations, so a body moves by the same bits as under the engine's built-in 3D physics.
#pragma once

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>

namespace standin::physics {

using godot::Basis;
using godot::real_t;
using godot::Transform3D;
using godot::Vector3;

// World defaults of a new project.
constexpr real_t DEFAULT_GRAVITY = 9.8f;      // m/s², along DEFAULT_GRAVITY_DIRECTION
constexpr real_t DEFAULT_LINEAR_DAMP = 0.1f;  // 1/s, added to a body's own in damp mode combine
constexpr real_t DEFAULT_ANGULAR_DAMP = 0.1f; // 1/s, likewise
inline Vector3 default_gravity_vector() {
    return Vector3(0, -1, 0) * DEFAULT_GRAVITY;
}

struct ShapeGeometry {
    enum Kind : uint8_t { BOX, SPHERE };
    Kind kind = BOX;
    Vector3 half_extents; // m, box
    real_t radius = 0;    // m, sphere
};

// One shape of a body: its geometry and its placement in the body's frame.
struct BodyShape {
    ShapeGeometry geometry;
    Transform3D local;
};

real_t shape_volume(const ShapeGeometry &p_shape);
// Principal moments of a solid shape of mass p_mass about its own centre, kg·m².
Vector3 shape_principal_inertia(const ShapeGeometry &p_shape, real_t p_mass);

struct MassProperties {
    real_t inverse_mass = 1;
    Vector3 center_of_mass_local; // m, in the body's frame
    Basis inertia_local;          // kg·m², about the centre of mass, body axes
    Basis inverse_inertia_local;  // 1/(kg·m²)
};

// Accumulates a body's mass properties over its shapes. The mass is shared out in proportion to
// the shapes' volumes (scaled by their transforms); each shape's inertia is moved to the centre of
// mass by the parallel-axis rule. A body without shapes of non-zero volume gets unit inertia.
// Visit the shapes in three passes: add_volume for each, then add_mass_point for each, then
// add_inertia for each, then finish.
class MassBuilder {
public:
    MassBuilder(real_t p_mass, bool p_custom_center, const Vector3 &p_custom_center_of_mass);
    void add_volume(const BodyShape &p_shape);
    void add_mass_point(const BodyShape &p_shape);
    void add_inertia(const BodyShape &p_shape);
    // p_custom_inertia: a component above 0 replaces that moment; all three above 0 replace the tensor.
    MassProperties finish(const Vector3 &p_custom_inertia = Vector3()) const;

private:
    real_t scaled_volume(const BodyShape &p_shape) const;
    real_t mass;
    bool custom_center;
    real_t total_volume = 0;
    Vector3 center_sum;
    Vector3 center;
    bool center_done = false;
    Basis inertia;
    bool inertia_set = false;
};

// The inverse inertia tensor in world axes for a body whose basis is p_basis.
Basis world_inverse_inertia(const Basis &p_basis, const MassProperties &p_mass);

// Velocities and accumulated forces of a moving body.
struct Motion {
    Vector3 linear_velocity;  // m/s
    Vector3 angular_velocity; // rad/s
    Vector3 applied_force;    // N, world, cleared by each step
    Vector3 applied_torque;   // N·m, world, about the centre of mass, cleared by each step
    Vector3 constant_force;   // N, world, kept
    Vector3 constant_torque;  // N·m, world, kept
};

struct StepParameters {
    real_t step = 0;         // s
    Vector3 gravity;         // m/s², already multiplied by the body's gravity scale
    real_t linear_damp = 0;  // 1/s, total
    real_t angular_damp = 0; // 1/s, total
    real_t mass = 1;         // kg
};

// Velocity part of a step: damping, then gravity and the applied and constant forces and torques
// (skipped for a body with its own integrator); clears the applied force and torque.
void integrate_velocities(Motion &r_motion, const StepParameters &p_params, real_t p_inverse_mass,
                          const Basis &p_world_inverse_inertia, bool p_custom_integrator = false);
// Pose part of a step: rotation by ω·dt about the centre of mass, then translation by v·dt.
void integrate_pose(Transform3D &r_transform, const Vector3 &p_center_of_mass_local, const Motion &p_motion,
                    real_t p_step);

// Impulses, changing the velocities at once. p_offset is measured from the body's origin in world
// axes; p_center_of_mass is basis · local centre of mass.
void apply_impulse(Motion &r_motion, real_t p_inverse_mass, const Basis &p_world_inverse_inertia,
                   const Vector3 &p_center_of_mass, const Vector3 &p_impulse, const Vector3 &p_offset);

// Ray tests in the shape's own frame. A point exactly on the surface is outside.
bool shape_contains(const ShapeGeometry &p_shape, const Vector3 &p_point);
// The first point where the segment enters the shape, and the outward normal there.
bool shape_intersect_segment(const ShapeGeometry &p_shape, const Vector3 &p_from, const Vector3 &p_to,
                             Vector3 &r_point, Vector3 &r_normal);

} // namespace standin::physics
