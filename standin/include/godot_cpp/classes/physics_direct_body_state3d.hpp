// The engine's PhysicsDirectBodyState3D: direct access to one rigid body's physics state, handed to
// _integrate_forces. Forces applied through it act in the coming step and are then cleared.
#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>

namespace standin::detail {
struct SceneAccess;
}

namespace godot {

class PhysicsDirectSpaceState3D;
class RigidBody3D;

class PhysicsDirectBodyState3D : public Object {
    GDCLASS(PhysicsDirectBodyState3D, Object)

public:
    // m/s², gravity times the body's gravity scale.
    Vector3 get_total_gravity() const;
    // 1/s, the world's default combined with the body's own by its damp mode.
    float get_total_linear_damp() const;
    float get_total_angular_damp() const;
    // m: the centre of mass relative to the body's origin, in global axes.
    Vector3 get_center_of_mass() const;
    // m: in the body's frame.
    Vector3 get_center_of_mass_local() const;
    float get_inverse_mass() const;
    // Inverse principal moments, 1/(kg·m²).
    Vector3 get_inverse_inertia() const;
    // In global axes.
    Basis get_inverse_inertia_tensor() const;

    void set_linear_velocity(const Vector3 &p_velocity);
    Vector3 get_linear_velocity() const;
    void set_angular_velocity(const Vector3 &p_velocity);
    Vector3 get_angular_velocity() const;
    // The basis is orthonormalized.
    void set_transform(const Transform3D &p_transform);
    Transform3D get_transform() const;
    // p_local_position relative to the body's origin, in global axes.
    Vector3 get_velocity_at_local_position(const Vector3 &p_local_position) const;

    void apply_central_impulse(const Vector3 &p_impulse = Vector3(0, 0, 0));
    void apply_impulse(const Vector3 &p_impulse, const Vector3 &p_position = Vector3(0, 0, 0));
    void apply_torque_impulse(const Vector3 &p_impulse);
    void apply_central_force(const Vector3 &p_force = Vector3(0, 0, 0));
    void apply_force(const Vector3 &p_force, const Vector3 &p_position = Vector3(0, 0, 0));
    void apply_torque(const Vector3 &p_torque);

    bool is_sleeping() const;
    int32_t get_contact_count() const;
    // s: the tree's physics step, or 1/60 for a body outside a tree.
    float get_step() const;
    PhysicsDirectSpaceState3D *get_space_state();

protected:
    static void _bind_methods();

private:
    friend struct ::standin::detail::SceneAccess;

    RigidBody3D *body_ = nullptr;
};

} // namespace godot
