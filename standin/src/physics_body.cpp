// Rigid bodies and their direct state: the node's side, the physics world's side, and the sync
// between them.
#include "scene_access.hpp"

#include <godot_cpp/classes/physics_direct_body_state3d.hpp>
#include <godot_cpp/classes/physics_direct_space_state3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/world3d.hpp>
#include <godot_cpp/core/error_macros.hpp>

namespace standin {

using godot::Basis;
using godot::RigidBody3D;
using godot::Transform3D;
using godot::Vector3;

physics::MassProperties detail::SceneAccess::mass_properties(const RigidBody3D *p_body) {
    physics::MassBuilder builder(p_body->mass_,
                                 p_body->center_of_mass_mode_ == RigidBody3D::CENTER_OF_MASS_MODE_CUSTOM,
                                 p_body->center_of_mass_);
    for_each_shape(p_body, [&](int32_t, const physics::BodyShape &p_shape, bool p_disabled) {
        if (!p_disabled) {
            builder.add_volume(p_shape);
        }
    });
    for_each_shape(p_body, [&](int32_t, const physics::BodyShape &p_shape, bool p_disabled) {
        if (!p_disabled) {
            builder.add_mass_point(p_shape);
        }
    });
    for_each_shape(p_body, [&](int32_t, const physics::BodyShape &p_shape, bool p_disabled) {
        if (!p_disabled) {
            builder.add_inertia(p_shape);
        }
    });
    return builder.finish(p_body->inertia_);
}

Basis detail::SceneAccess::world_inverse_inertia(const RigidBody3D *p_body,
                                                 const physics::MassProperties &p_mass) {
    if (p_body->freeze_) {
        Basis zero;
        zero.set_zero();
        return zero;
    }
    return physics::world_inverse_inertia(p_body->physics_transform_.basis, p_mass);
}

physics::real_t detail::SceneAccess::total_linear_damp(const RigidBody3D *p_body) {
    if (p_body->linear_damp_mode_ == RigidBody3D::DAMP_MODE_REPLACE) {
        return p_body->linear_damp_;
    }
    return physics::real_t(0) + physics::DEFAULT_LINEAR_DAMP + p_body->linear_damp_;
}

physics::real_t detail::SceneAccess::total_angular_damp(const RigidBody3D *p_body) {
    if (p_body->angular_damp_mode_ == RigidBody3D::DAMP_MODE_REPLACE) {
        return p_body->angular_damp_;
    }
    return physics::real_t(0) + physics::DEFAULT_ANGULAR_DAMP + p_body->angular_damp_;
}

Vector3 detail::SceneAccess::total_gravity(const RigidBody3D *p_body) {
    return physics::default_gravity_vector() * p_body->gravity_scale_;
}

void detail::SceneAccess::sync_node(RigidBody3D *p_body) {
    p_body->ignore_transform_ = true;
    p_body->set_global_transform(p_body->physics_transform_);
    p_body->ignore_transform_ = false;
    p_body->linear_velocity_ = p_body->body_linear_velocity_;
    p_body->angular_velocity_ = p_body->body_angular_velocity_;
    p_body->inverse_inertia_tensor_ = world_inverse_inertia(p_body, mass_properties(p_body));
}

godot::PhysicsDirectBodyState3D *detail::SceneAccess::state_of(RigidBody3D *p_body) {
    if (p_body->state_ == nullptr) {
        p_body->state_ = memnew(godot::PhysicsDirectBodyState3D);
        p_body->state_->body_ = p_body;
    }
    return p_body->state_;
}

void detail::SceneAccess::run_integrate_forces(RigidBody3D *p_body) {
    godot::PhysicsDirectBodyState3D *state = state_of(p_body);
    sync_node(p_body);
    const uint64_t id = p_body->get_instance_id();
    const Transform3D before = p_body->get_global_transform();
    p_body->in_callback_ = true;
    p_body->_integrate_forces(state);
    if (godot::ObjectDB::get_instance(id) == nullptr) {
        return;
    }
    p_body->in_callback_ = false;
    if (!p_body->is_inside_tree()) {
        return;
    }
    // A pose the callback gave the node wins over the body's; then the node takes the body's state.
    const Transform3D after = p_body->get_global_transform();
    if (after != before) {
        p_body->_standin_set_physics_transform(after);
    }
    sync_node(p_body);
}

void detail::SceneAccess::step_world(godot::World3D *p_world, physics::real_t p_step) {
    if (p_world == nullptr) {
        return;
    }
    for (godot::CollisionObject3D *object : p_world->bodies_) {
        RigidBody3D *body = godot::Object::cast_to<RigidBody3D>(object);
        if (body == nullptr || body->freeze_) {
            continue;
        }
        const physics::MassProperties mass = mass_properties(body);
        const Basis inverse_inertia = physics::world_inverse_inertia(body->physics_transform_.basis, mass);

        physics::Motion motion;
        motion.linear_velocity = body->body_linear_velocity_;
        motion.angular_velocity = body->body_angular_velocity_;
        motion.applied_force = body->applied_force_;
        motion.applied_torque = body->applied_torque_;
        motion.constant_force = body->constant_force_;
        motion.constant_torque = body->constant_torque_;

        physics::StepParameters params;
        params.step = p_step;
        params.gravity = total_gravity(body);
        params.linear_damp = total_linear_damp(body);
        params.angular_damp = total_angular_damp(body);
        params.mass = body->mass_;

        physics::integrate_velocities(motion, params, mass.inverse_mass, inverse_inertia,
                                      body->custom_integrator_);
        physics::integrate_pose(body->physics_transform_, mass.center_of_mass_local, motion, p_step);

        body->body_linear_velocity_ = motion.linear_velocity;
        body->body_angular_velocity_ = motion.angular_velocity;
        body->applied_force_ = motion.applied_force;
        body->applied_torque_ = motion.applied_torque;
        sync_node(body);
    }
}

godot::PhysicsDirectBodyState3D *direct_body_state(RigidBody3D *p_body) {
    return p_body != nullptr ? detail::SceneAccess::state_of(p_body) : nullptr;
}

} // namespace standin

namespace godot {

STANDIN_REGISTER_ENGINE_CLASS(RigidBody3D);
STANDIN_REGISTER_ABSTRACT_ENGINE_CLASS(PhysicsDirectBodyState3D);

using Access = ::standin::detail::SceneAccess;

namespace {

// The centre of mass relative to the body's origin, in global axes.
Vector3 global_center_of_mass(const Transform3D &p_pose, const ::standin::physics::MassProperties &p_mass) {
    return p_pose.basis.xform(p_mass.center_of_mass_local);
}

} // namespace

// ---- RigidBody3D ----

RigidBody3D::RigidBody3D() {}

RigidBody3D::~RigidBody3D() {
    if (state_ != nullptr) {
        memdelete(state_);
        state_ = nullptr;
    }
}

void RigidBody3D::set_mass(float p_mass) {
    ERR_FAIL_COND(p_mass <= 0);
    mass_ = p_mass;
}

float RigidBody3D::get_mass() const {
    return mass_;
}

void RigidBody3D::set_inertia(const Vector3 &p_inertia) {
    ERR_FAIL_COND(p_inertia.x < 0);
    ERR_FAIL_COND(p_inertia.y < 0);
    ERR_FAIL_COND(p_inertia.z < 0);
    inertia_ = p_inertia;
}

Vector3 RigidBody3D::get_inertia() const {
    return inertia_;
}

void RigidBody3D::set_center_of_mass_mode(CenterOfMassMode p_mode) {
    if (center_of_mass_mode_ == p_mode) {
        return;
    }
    center_of_mass_mode_ = p_mode;
    if (p_mode == CENTER_OF_MASS_MODE_AUTO) {
        center_of_mass_ = Vector3();
    }
}

RigidBody3D::CenterOfMassMode RigidBody3D::get_center_of_mass_mode() const {
    return center_of_mass_mode_;
}

void RigidBody3D::set_center_of_mass(const Vector3 &p_center_of_mass) {
    if (center_of_mass_ == p_center_of_mass) {
        return;
    }
    const CenterOfMassMode center_of_mass_mode = center_of_mass_mode_;
    ERR_FAIL_COND(center_of_mass_mode != CENTER_OF_MASS_MODE_CUSTOM);
    center_of_mass_ = p_center_of_mass;
}

Vector3 RigidBody3D::get_center_of_mass() const {
    return center_of_mass_;
}

void RigidBody3D::set_linear_velocity(const Vector3 &p_linear_velocity) {
    linear_velocity_ = p_linear_velocity;
    body_linear_velocity_ = p_linear_velocity;
}

Vector3 RigidBody3D::get_linear_velocity() const {
    return linear_velocity_;
}

void RigidBody3D::set_angular_velocity(const Vector3 &p_angular_velocity) {
    angular_velocity_ = p_angular_velocity;
    body_angular_velocity_ = p_angular_velocity;
}

Vector3 RigidBody3D::get_angular_velocity() const {
    return angular_velocity_;
}

void RigidBody3D::set_axis_velocity(const Vector3 &p_axis_velocity) {
    const Vector3 axis = p_axis_velocity.normalized();
    linear_velocity_ -= axis * axis.dot(linear_velocity_);
    linear_velocity_ += p_axis_velocity;
    body_linear_velocity_ = linear_velocity_;
}

Basis RigidBody3D::get_inverse_inertia_tensor() const {
    return inverse_inertia_tensor_;
}

void RigidBody3D::set_gravity_scale(float p_gravity_scale) {
    gravity_scale_ = p_gravity_scale;
}
float RigidBody3D::get_gravity_scale() const {
    return gravity_scale_;
}
void RigidBody3D::set_linear_damp_mode(DampMode p_linear_damp_mode) {
    linear_damp_mode_ = p_linear_damp_mode;
}
RigidBody3D::DampMode RigidBody3D::get_linear_damp_mode() const {
    return linear_damp_mode_;
}
void RigidBody3D::set_angular_damp_mode(DampMode p_angular_damp_mode) {
    angular_damp_mode_ = p_angular_damp_mode;
}
RigidBody3D::DampMode RigidBody3D::get_angular_damp_mode() const {
    return angular_damp_mode_;
}

void RigidBody3D::set_linear_damp(float p_linear_damp) {
    ERR_FAIL_COND(p_linear_damp < 0.0);
    linear_damp_ = p_linear_damp;
}

float RigidBody3D::get_linear_damp() const {
    return linear_damp_;
}

void RigidBody3D::set_angular_damp(float p_angular_damp) {
    ERR_FAIL_COND(p_angular_damp < 0.0);
    angular_damp_ = p_angular_damp;
}

float RigidBody3D::get_angular_damp() const {
    return angular_damp_;
}

void RigidBody3D::set_use_custom_integrator(bool p_enable) {
    custom_integrator_ = p_enable;
}
bool RigidBody3D::is_using_custom_integrator() {
    return custom_integrator_;
}
void RigidBody3D::set_use_continuous_collision_detection(bool p_enable) {
    continuous_cd_ = p_enable;
}
bool RigidBody3D::is_using_continuous_collision_detection() const {
    return continuous_cd_;
}
void RigidBody3D::set_can_sleep(bool p_able_to_sleep) {
    can_sleep_ = p_able_to_sleep;
}
bool RigidBody3D::is_able_to_sleep() const {
    return can_sleep_;
}
bool RigidBody3D::is_sleeping() const {
    return false;
}
int32_t RigidBody3D::get_contact_count() const {
    return 0;
}

void RigidBody3D::set_freeze_enabled(bool p_freeze_mode) {
    if (freeze_ == p_freeze_mode) {
        return;
    }
    freeze_ = p_freeze_mode;
    if (freeze_) {
        // The physics world's velocities stop; the node keeps its copy until it next syncs.
        body_linear_velocity_ = Vector3();
        body_angular_velocity_ = Vector3();
    }
}

bool RigidBody3D::is_freeze_enabled() const {
    return freeze_;
}
void RigidBody3D::set_freeze_mode(FreezeMode p_freeze_mode) {
    freeze_mode_ = p_freeze_mode;
}
RigidBody3D::FreezeMode RigidBody3D::get_freeze_mode() const {
    return freeze_mode_;
}

void RigidBody3D::apply_central_impulse(const Vector3 &p_impulse) {
    if (freeze_) {
        return;
    }
    body_linear_velocity_ += p_impulse * Access::mass_properties(this).inverse_mass;
}

void RigidBody3D::apply_impulse(const Vector3 &p_impulse, const Vector3 &p_position) {
    if (freeze_) {
        return;
    }
    const ::standin::physics::MassProperties mass = Access::mass_properties(this);
    ::standin::physics::Motion motion;
    motion.linear_velocity = body_linear_velocity_;
    motion.angular_velocity = body_angular_velocity_;
    ::standin::physics::apply_impulse(motion, mass.inverse_mass, Access::world_inverse_inertia(this, mass),
                                      global_center_of_mass(physics_transform_, mass), p_impulse, p_position);
    body_linear_velocity_ = motion.linear_velocity;
    body_angular_velocity_ = motion.angular_velocity;
}

void RigidBody3D::apply_torque_impulse(const Vector3 &p_impulse) {
    if (freeze_) {
        return;
    }
    body_angular_velocity_ +=
        Access::world_inverse_inertia(this, Access::mass_properties(this)).xform(p_impulse);
}

void RigidBody3D::apply_central_force(const Vector3 &p_force) {
    applied_force_ += p_force;
}

void RigidBody3D::apply_force(const Vector3 &p_force, const Vector3 &p_position) {
    applied_force_ += p_force;
    const Vector3 center = global_center_of_mass(physics_transform_, Access::mass_properties(this));
    applied_torque_ += (p_position - center).cross(p_force);
}

void RigidBody3D::apply_torque(const Vector3 &p_torque) {
    applied_torque_ += p_torque;
}

void RigidBody3D::add_constant_central_force(const Vector3 &p_force) {
    constant_force_ += p_force;
}

void RigidBody3D::add_constant_force(const Vector3 &p_force, const Vector3 &p_position) {
    constant_force_ += p_force;
    const Vector3 center = global_center_of_mass(physics_transform_, Access::mass_properties(this));
    constant_torque_ += (p_position - center).cross(p_force);
}

void RigidBody3D::add_constant_torque(const Vector3 &p_torque) {
    constant_torque_ += p_torque;
}
void RigidBody3D::set_constant_force(const Vector3 &p_force) {
    constant_force_ = p_force;
}
Vector3 RigidBody3D::get_constant_force() const {
    return constant_force_;
}
void RigidBody3D::set_constant_torque(const Vector3 &p_torque) {
    constant_torque_ = p_torque;
}
Vector3 RigidBody3D::get_constant_torque() const {
    return constant_torque_;
}

void RigidBody3D::_integrate_forces(PhysicsDirectBodyState3D *p_state) {
    (void)p_state;
}

void RigidBody3D::_standin_set_physics_transform(const Transform3D &p_global) {
    if (in_callback_) {
        return;
    }
    // A moving body keeps an orthonormal pose; a frozen one takes the pose as it is.
    physics_transform_ = freeze_ ? p_global : p_global.orthonormalized();
}

void RigidBody3D::_bind_methods() {
    ClassDB::bind_method(D_METHOD("set_mass", "mass"), &RigidBody3D::set_mass);
    ClassDB::bind_method(D_METHOD("get_mass"), &RigidBody3D::get_mass);
    ClassDB::bind_method(D_METHOD("set_inertia", "inertia"), &RigidBody3D::set_inertia);
    ClassDB::bind_method(D_METHOD("get_inertia"), &RigidBody3D::get_inertia);
    ClassDB::bind_method(D_METHOD("set_center_of_mass_mode", "mode"), &RigidBody3D::set_center_of_mass_mode);
    ClassDB::bind_method(D_METHOD("get_center_of_mass_mode"), &RigidBody3D::get_center_of_mass_mode);
    ClassDB::bind_method(D_METHOD("set_center_of_mass", "center_of_mass"), &RigidBody3D::set_center_of_mass);
    ClassDB::bind_method(D_METHOD("get_center_of_mass"), &RigidBody3D::get_center_of_mass);
    ClassDB::bind_method(D_METHOD("set_linear_velocity", "linear_velocity"),
                         &RigidBody3D::set_linear_velocity);
    ClassDB::bind_method(D_METHOD("get_linear_velocity"), &RigidBody3D::get_linear_velocity);
    ClassDB::bind_method(D_METHOD("set_angular_velocity", "angular_velocity"),
                         &RigidBody3D::set_angular_velocity);
    ClassDB::bind_method(D_METHOD("get_angular_velocity"), &RigidBody3D::get_angular_velocity);
    ClassDB::bind_method(D_METHOD("get_inverse_inertia_tensor"), &RigidBody3D::get_inverse_inertia_tensor);
    ClassDB::bind_method(D_METHOD("set_gravity_scale", "gravity_scale"), &RigidBody3D::set_gravity_scale);
    ClassDB::bind_method(D_METHOD("get_gravity_scale"), &RigidBody3D::get_gravity_scale);
    ClassDB::bind_method(D_METHOD("set_linear_damp_mode", "linear_damp_mode"),
                         &RigidBody3D::set_linear_damp_mode);
    ClassDB::bind_method(D_METHOD("get_linear_damp_mode"), &RigidBody3D::get_linear_damp_mode);
    ClassDB::bind_method(D_METHOD("set_angular_damp_mode", "angular_damp_mode"),
                         &RigidBody3D::set_angular_damp_mode);
    ClassDB::bind_method(D_METHOD("get_angular_damp_mode"), &RigidBody3D::get_angular_damp_mode);
    ClassDB::bind_method(D_METHOD("set_linear_damp", "linear_damp"), &RigidBody3D::set_linear_damp);
    ClassDB::bind_method(D_METHOD("get_linear_damp"), &RigidBody3D::get_linear_damp);
    ClassDB::bind_method(D_METHOD("set_angular_damp", "angular_damp"), &RigidBody3D::set_angular_damp);
    ClassDB::bind_method(D_METHOD("get_angular_damp"), &RigidBody3D::get_angular_damp);
    ClassDB::bind_method(D_METHOD("set_use_custom_integrator", "enable"),
                         &RigidBody3D::set_use_custom_integrator);
    ClassDB::bind_method(D_METHOD("is_using_custom_integrator"), &RigidBody3D::is_using_custom_integrator);
    ClassDB::bind_method(D_METHOD("set_use_continuous_collision_detection", "enable"),
                         &RigidBody3D::set_use_continuous_collision_detection);
    ClassDB::bind_method(D_METHOD("is_using_continuous_collision_detection"),
                         &RigidBody3D::is_using_continuous_collision_detection);
    ClassDB::bind_method(D_METHOD("set_axis_velocity", "axis_velocity"), &RigidBody3D::set_axis_velocity);
    ClassDB::bind_method(D_METHOD("apply_central_impulse", "impulse"), &RigidBody3D::apply_central_impulse);
    ClassDB::bind_method(D_METHOD("apply_impulse", "impulse", "position"), &RigidBody3D::apply_impulse,
                         DEFVAL(Vector3()));
    ClassDB::bind_method(D_METHOD("apply_torque_impulse", "impulse"), &RigidBody3D::apply_torque_impulse);
    ClassDB::bind_method(D_METHOD("apply_central_force", "force"), &RigidBody3D::apply_central_force);
    ClassDB::bind_method(D_METHOD("apply_force", "force", "position"), &RigidBody3D::apply_force,
                         DEFVAL(Vector3()));
    ClassDB::bind_method(D_METHOD("apply_torque", "torque"), &RigidBody3D::apply_torque);
    ClassDB::bind_method(D_METHOD("add_constant_central_force", "force"),
                         &RigidBody3D::add_constant_central_force);
    ClassDB::bind_method(D_METHOD("add_constant_force", "force", "position"),
                         &RigidBody3D::add_constant_force, DEFVAL(Vector3()));
    ClassDB::bind_method(D_METHOD("add_constant_torque", "torque"), &RigidBody3D::add_constant_torque);
    ClassDB::bind_method(D_METHOD("set_constant_force", "force"), &RigidBody3D::set_constant_force);
    ClassDB::bind_method(D_METHOD("get_constant_force"), &RigidBody3D::get_constant_force);
    ClassDB::bind_method(D_METHOD("set_constant_torque", "torque"), &RigidBody3D::set_constant_torque);
    ClassDB::bind_method(D_METHOD("get_constant_torque"), &RigidBody3D::get_constant_torque);
    ClassDB::bind_method(D_METHOD("is_sleeping"), &RigidBody3D::is_sleeping);
    ClassDB::bind_method(D_METHOD("set_can_sleep", "able_to_sleep"), &RigidBody3D::set_can_sleep);
    ClassDB::bind_method(D_METHOD("is_able_to_sleep"), &RigidBody3D::is_able_to_sleep);
    ClassDB::bind_method(D_METHOD("get_contact_count"), &RigidBody3D::get_contact_count);
    ClassDB::bind_method(D_METHOD("set_freeze_enabled", "freeze_mode"), &RigidBody3D::set_freeze_enabled);
    ClassDB::bind_method(D_METHOD("is_freeze_enabled"), &RigidBody3D::is_freeze_enabled);
    ClassDB::bind_method(D_METHOD("set_freeze_mode", "freeze_mode"), &RigidBody3D::set_freeze_mode);
    ClassDB::bind_method(D_METHOD("get_freeze_mode"), &RigidBody3D::get_freeze_mode);
    BIND_ENUM_CONSTANT(FREEZE_MODE_STATIC);
    BIND_ENUM_CONSTANT(FREEZE_MODE_KINEMATIC);
    BIND_ENUM_CONSTANT(CENTER_OF_MASS_MODE_AUTO);
    BIND_ENUM_CONSTANT(CENTER_OF_MASS_MODE_CUSTOM);
    BIND_ENUM_CONSTANT(DAMP_MODE_COMBINE);
    BIND_ENUM_CONSTANT(DAMP_MODE_REPLACE);
}

// ---- PhysicsDirectBodyState3D ----

Vector3 PhysicsDirectBodyState3D::get_total_gravity() const {
    return Access::total_gravity(body_);
}
float PhysicsDirectBodyState3D::get_total_linear_damp() const {
    return Access::total_linear_damp(body_);
}
float PhysicsDirectBodyState3D::get_total_angular_damp() const {
    return Access::total_angular_damp(body_);
}

Vector3 PhysicsDirectBodyState3D::get_center_of_mass() const {
    return global_center_of_mass(body_->physics_transform_, Access::mass_properties(body_));
}

Vector3 PhysicsDirectBodyState3D::get_center_of_mass_local() const {
    return Access::mass_properties(body_).center_of_mass_local;
}

float PhysicsDirectBodyState3D::get_inverse_mass() const {
    return body_->freeze_ ? 0.0f : Access::mass_properties(body_).inverse_mass;
}

Vector3 PhysicsDirectBodyState3D::get_inverse_inertia() const {
    return body_->freeze_ ? Vector3()
                          : Access::mass_properties(body_).inverse_inertia_local.get_main_diagonal();
}

Basis PhysicsDirectBodyState3D::get_inverse_inertia_tensor() const {
    return Access::world_inverse_inertia(body_, Access::mass_properties(body_));
}

void PhysicsDirectBodyState3D::set_linear_velocity(const Vector3 &p_velocity) {
    body_->body_linear_velocity_ = p_velocity;
}

Vector3 PhysicsDirectBodyState3D::get_linear_velocity() const {
    return body_->body_linear_velocity_;
}

void PhysicsDirectBodyState3D::set_angular_velocity(const Vector3 &p_velocity) {
    body_->body_angular_velocity_ = p_velocity;
}

Vector3 PhysicsDirectBodyState3D::get_angular_velocity() const {
    return body_->body_angular_velocity_;
}

void PhysicsDirectBodyState3D::set_transform(const Transform3D &p_transform) {
    body_->physics_transform_ = body_->freeze_ ? p_transform : p_transform.orthonormalized();
}

Transform3D PhysicsDirectBodyState3D::get_transform() const {
    return body_->physics_transform_;
}

Vector3 PhysicsDirectBodyState3D::get_velocity_at_local_position(const Vector3 &p_local_position) const {
    return body_->body_linear_velocity_ +
           body_->body_angular_velocity_.cross(p_local_position - get_center_of_mass());
}

void PhysicsDirectBodyState3D::apply_central_impulse(const Vector3 &p_impulse) {
    body_->apply_central_impulse(p_impulse);
}

void PhysicsDirectBodyState3D::apply_impulse(const Vector3 &p_impulse, const Vector3 &p_position) {
    body_->apply_impulse(p_impulse, p_position);
}

void PhysicsDirectBodyState3D::apply_torque_impulse(const Vector3 &p_impulse) {
    body_->apply_torque_impulse(p_impulse);
}

void PhysicsDirectBodyState3D::apply_central_force(const Vector3 &p_force) {
    body_->apply_central_force(p_force);
}

void PhysicsDirectBodyState3D::apply_force(const Vector3 &p_force, const Vector3 &p_position) {
    body_->apply_force(p_force, p_position);
}

void PhysicsDirectBodyState3D::apply_torque(const Vector3 &p_torque) {
    body_->apply_torque(p_torque);
}

bool PhysicsDirectBodyState3D::is_sleeping() const {
    return false;
}
int32_t PhysicsDirectBodyState3D::get_contact_count() const {
    return 0;
}

float PhysicsDirectBodyState3D::get_step() const {
    const ::standin::SceneTree *tree = Access::tree_of(body_);
    return static_cast<float>(tree != nullptr ? Access::step_of(tree) : 1.0 / 60.0);
}

PhysicsDirectSpaceState3D *PhysicsDirectBodyState3D::get_space_state() {
    World3D *world = Access::world_of_body(body_);
    return world != nullptr ? world->get_direct_space_state() : nullptr;
}

void PhysicsDirectBodyState3D::_bind_methods() {
    ClassDB::bind_method(D_METHOD("get_total_gravity"), &PhysicsDirectBodyState3D::get_total_gravity);
    ClassDB::bind_method(D_METHOD("get_total_linear_damp"), &PhysicsDirectBodyState3D::get_total_linear_damp);
    ClassDB::bind_method(D_METHOD("get_total_angular_damp"),
                         &PhysicsDirectBodyState3D::get_total_angular_damp);
    ClassDB::bind_method(D_METHOD("get_center_of_mass"), &PhysicsDirectBodyState3D::get_center_of_mass);
    ClassDB::bind_method(D_METHOD("get_center_of_mass_local"),
                         &PhysicsDirectBodyState3D::get_center_of_mass_local);
    ClassDB::bind_method(D_METHOD("get_inverse_mass"), &PhysicsDirectBodyState3D::get_inverse_mass);
    ClassDB::bind_method(D_METHOD("get_inverse_inertia"), &PhysicsDirectBodyState3D::get_inverse_inertia);
    ClassDB::bind_method(D_METHOD("get_inverse_inertia_tensor"),
                         &PhysicsDirectBodyState3D::get_inverse_inertia_tensor);
    ClassDB::bind_method(D_METHOD("set_linear_velocity", "velocity"),
                         &PhysicsDirectBodyState3D::set_linear_velocity);
    ClassDB::bind_method(D_METHOD("get_linear_velocity"), &PhysicsDirectBodyState3D::get_linear_velocity);
    ClassDB::bind_method(D_METHOD("set_angular_velocity", "velocity"),
                         &PhysicsDirectBodyState3D::set_angular_velocity);
    ClassDB::bind_method(D_METHOD("get_angular_velocity"), &PhysicsDirectBodyState3D::get_angular_velocity);
    ClassDB::bind_method(D_METHOD("set_transform", "transform"), &PhysicsDirectBodyState3D::set_transform);
    ClassDB::bind_method(D_METHOD("get_transform"), &PhysicsDirectBodyState3D::get_transform);
    ClassDB::bind_method(D_METHOD("get_velocity_at_local_position", "local_position"),
                         &PhysicsDirectBodyState3D::get_velocity_at_local_position);
    ClassDB::bind_method(D_METHOD("apply_central_impulse", "impulse"),
                         &PhysicsDirectBodyState3D::apply_central_impulse, DEFVAL(Vector3()));
    ClassDB::bind_method(D_METHOD("apply_impulse", "impulse", "position"),
                         &PhysicsDirectBodyState3D::apply_impulse, DEFVAL(Vector3()));
    ClassDB::bind_method(D_METHOD("apply_torque_impulse", "impulse"),
                         &PhysicsDirectBodyState3D::apply_torque_impulse);
    ClassDB::bind_method(D_METHOD("apply_central_force", "force"),
                         &PhysicsDirectBodyState3D::apply_central_force, DEFVAL(Vector3()));
    ClassDB::bind_method(D_METHOD("apply_force", "force", "position"), &PhysicsDirectBodyState3D::apply_force,
                         DEFVAL(Vector3()));
    ClassDB::bind_method(D_METHOD("apply_torque", "torque"), &PhysicsDirectBodyState3D::apply_torque);
    ClassDB::bind_method(D_METHOD("is_sleeping"), &PhysicsDirectBodyState3D::is_sleeping);
    ClassDB::bind_method(D_METHOD("get_contact_count"), &PhysicsDirectBodyState3D::get_contact_count);
    ClassDB::bind_method(D_METHOD("get_step"), &PhysicsDirectBodyState3D::get_step);
    ClassDB::bind_method(D_METHOD("get_space_state"), &PhysicsDirectBodyState3D::get_space_state);
}

} // namespace godot
