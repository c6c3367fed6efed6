// The engine's RigidBody3D: a body moved by the physics step under gravity, damping, forces and
// impulses. No contacts are solved between bodies.
#pragma once

#include <godot_cpp/classes/physics_body3d.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>

namespace godot {

class PhysicsDirectBodyState3D;

class RigidBody3D : public PhysicsBody3D {
    GDCLASS(RigidBody3D, PhysicsBody3D)

public:
    enum FreezeMode {
        FREEZE_MODE_STATIC = 0,
        FREEZE_MODE_KINEMATIC = 1,
    };
    enum CenterOfMassMode {
        CENTER_OF_MASS_MODE_AUTO = 0,
        CENTER_OF_MASS_MODE_CUSTOM = 1,
    };
    enum DampMode {
        DAMP_MODE_COMBINE = 0,
        DAMP_MODE_REPLACE = 1,
    };

    RigidBody3D();
    ~RigidBody3D() override;

    // kg; a mass of 0 or less is refused with an error.
    void set_mass(float p_mass);
    float get_mass() const;
    // kg·m² about each body axis; a component above 0 replaces the computed moment.
    void set_inertia(const Vector3 &p_inertia);
    Vector3 get_inertia() const;
    // Switching to auto resets the stored centre of mass to the origin.
    void set_center_of_mass_mode(CenterOfMassMode p_mode);
    CenterOfMassMode get_center_of_mass_mode() const;
    // m, in the body's frame; refused with an error unless the mode is custom.
    void set_center_of_mass(const Vector3 &p_center_of_mass);
    Vector3 get_center_of_mass() const;

    // m/s and rad/s. The getters return the node's copy, which the physics world refreshes before
    // _integrate_forces and after each step.
    void set_linear_velocity(const Vector3 &p_linear_velocity);
    Vector3 get_linear_velocity() const;
    void set_angular_velocity(const Vector3 &p_angular_velocity);
    Vector3 get_angular_velocity() const;
    void set_axis_velocity(const Vector3 &p_axis_velocity);
    Basis get_inverse_inertia_tensor() const;

    void set_gravity_scale(float p_gravity_scale);
    float get_gravity_scale() const;
    void set_linear_damp_mode(DampMode p_linear_damp_mode);
    DampMode get_linear_damp_mode() const;
    void set_angular_damp_mode(DampMode p_angular_damp_mode);
    DampMode get_angular_damp_mode() const;
    // 1/s; negative values are refused with an error.
    void set_linear_damp(float p_linear_damp);
    float get_linear_damp() const;
    void set_angular_damp(float p_angular_damp);
    float get_angular_damp() const;

    // The step then moves the body by its velocities only: no gravity, damping or forces.
    void set_use_custom_integrator(bool p_enable);
    bool is_using_custom_integrator();
    // Stored only: without contacts there is nothing to sweep.
    void set_use_continuous_collision_detection(bool p_enable);
    bool is_using_continuous_collision_detection() const;
    // Stored only: bodies never fall asleep.
    void set_can_sleep(bool p_able_to_sleep);
    bool is_able_to_sleep() const;
    bool is_sleeping() const;
    int32_t get_contact_count() const;

    // A frozen body is neither moved by the step nor given _integrate_forces; impulses and forces
    // do nothing to it. Freezing clears the physics world's velocities, not the node's copy.
    void set_freeze_enabled(bool p_freeze_mode);
    bool is_freeze_enabled() const;
    // Both modes behave as static.
    void set_freeze_mode(FreezeMode p_freeze_mode);
    FreezeMode get_freeze_mode() const;

    // Impulses change the velocities at once, about the centre of mass. p_position is the point of
    // application relative to the body's origin, in global axes.
    void apply_central_impulse(const Vector3 &p_impulse);
    void apply_impulse(const Vector3 &p_impulse, const Vector3 &p_position = Vector3(0, 0, 0));
    void apply_torque_impulse(const Vector3 &p_impulse);
    // Forces act in the next step and are then cleared.
    void apply_central_force(const Vector3 &p_force);
    void apply_force(const Vector3 &p_force, const Vector3 &p_position = Vector3(0, 0, 0));
    void apply_torque(const Vector3 &p_torque);
    // Constant forces act in every step until changed.
    void add_constant_central_force(const Vector3 &p_force);
    void add_constant_force(const Vector3 &p_force, const Vector3 &p_position = Vector3(0, 0, 0));
    void add_constant_torque(const Vector3 &p_torque);
    void set_constant_force(const Vector3 &p_force);
    Vector3 get_constant_force() const;
    void set_constant_torque(const Vector3 &p_torque);
    Vector3 get_constant_torque() const;

    // Called once per physics frame, before the nodes' _physics_process and the step.
    virtual void _integrate_forces(PhysicsDirectBodyState3D *p_state);

protected:
    static void _bind_methods();

    void _standin_set_physics_transform(const Transform3D &p_global) override;

private:
    friend struct ::standin::detail::SceneAccess;
    friend class PhysicsDirectBodyState3D;

    // The node's side.
    float mass_ = 1;
    Vector3 inertia_;
    CenterOfMassMode center_of_mass_mode_ = CENTER_OF_MASS_MODE_AUTO;
    Vector3 center_of_mass_;
    Vector3 linear_velocity_;
    Vector3 angular_velocity_;
    Basis inverse_inertia_tensor_;
    float gravity_scale_ = 1;
    DampMode linear_damp_mode_ = DAMP_MODE_COMBINE;
    DampMode angular_damp_mode_ = DAMP_MODE_COMBINE;
    float linear_damp_ = 0;
    float angular_damp_ = 0;
    bool custom_integrator_ = false;
    bool continuous_cd_ = false;
    bool can_sleep_ = true;
    bool freeze_ = false;
    FreezeMode freeze_mode_ = FREEZE_MODE_STATIC;

    // The physics world's side of the body.
    Vector3 body_linear_velocity_;
    Vector3 body_angular_velocity_;
    Vector3 applied_force_;
    Vector3 applied_torque_;
    Vector3 constant_force_;
    Vector3 constant_torque_;
    // While _integrate_forces runs, a transform set on the node reaches the body after the call.
    bool in_callback_ = false;
    PhysicsDirectBodyState3D *state_ = nullptr;
};

} // namespace godot

VARIANT_ENUM_CAST(RigidBody3D::FreezeMode);
VARIANT_ENUM_CAST(RigidBody3D::CenterOfMassMode);
VARIANT_ENUM_CAST(RigidBody3D::DampMode);
