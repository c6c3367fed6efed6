// Resources and shapes, collision objects and static bodies.
#include "scene_access.hpp"

#include <godot_cpp/classes/box_shape3d.hpp>
#include <godot_cpp/classes/collision_object3d.hpp>
#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/physics_body3d.hpp>
#include <godot_cpp/classes/resource.hpp>
#include <godot_cpp/classes/shape3d.hpp>
#include <godot_cpp/classes/sphere_shape3d.hpp>
#include <godot_cpp/classes/static_body3d.hpp>
#include <godot_cpp/core/error_macros.hpp>

namespace godot {

STANDIN_REGISTER_ENGINE_CLASS(Resource);
STANDIN_REGISTER_ABSTRACT_ENGINE_CLASS(Shape3D);
STANDIN_REGISTER_ENGINE_CLASS(BoxShape3D);
STANDIN_REGISTER_ENGINE_CLASS(SphereShape3D);
STANDIN_REGISTER_ENGINE_CLASS(CollisionShape3D);
STANDIN_REGISTER_ABSTRACT_ENGINE_CLASS(CollisionObject3D);
STANDIN_REGISTER_ABSTRACT_ENGINE_CLASS(PhysicsBody3D);
STANDIN_REGISTER_ENGINE_CLASS(StaticBody3D);

// ---- Resource and shapes ----

void Resource::set_name(const String &p_name) {
    name_ = p_name;
}
String Resource::get_name() const {
    return name_;
}
RID Resource::get_rid() const {
    return RID();
}

void Resource::_bind_methods() {
    ClassDB::bind_method(D_METHOD("set_name", "name"), &Resource::set_name);
    ClassDB::bind_method(D_METHOD("get_name"), &Resource::get_name);
    ClassDB::bind_method(D_METHOD("get_rid"), &Resource::get_rid);
}

void Shape3D::set_margin(float p_margin) {
    margin_ = p_margin;
}
float Shape3D::get_margin() const {
    return margin_;
}

void Shape3D::_bind_methods() {
    ClassDB::bind_method(D_METHOD("set_margin", "margin"), &Shape3D::set_margin);
    ClassDB::bind_method(D_METHOD("get_margin"), &Shape3D::get_margin);
}

void BoxShape3D::set_size(const Vector3 &p_size) {
    ERR_FAIL_COND_MSG(p_size.x < 0 || p_size.y < 0 || p_size.z < 0, "BoxShape3D size cannot be negative.");
    size_ = p_size;
}

Vector3 BoxShape3D::get_size() const {
    return size_;
}

void BoxShape3D::_bind_methods() {
    ClassDB::bind_method(D_METHOD("set_size", "size"), &BoxShape3D::set_size);
    ClassDB::bind_method(D_METHOD("get_size"), &BoxShape3D::get_size);
}

void SphereShape3D::set_radius(float p_radius) {
    ERR_FAIL_COND_MSG(p_radius < 0, "SphereShape3D radius cannot be negative.");
    radius_ = p_radius;
}

float SphereShape3D::get_radius() const {
    return radius_;
}

void SphereShape3D::_bind_methods() {
    ClassDB::bind_method(D_METHOD("set_radius", "radius"), &SphereShape3D::set_radius);
    ClassDB::bind_method(D_METHOD("get_radius"), &SphereShape3D::get_radius);
}

void CollisionShape3D::set_shape(const Ref<Shape3D> &p_shape) {
    shape_ = p_shape;
}
Ref<Shape3D> CollisionShape3D::get_shape() const {
    return shape_;
}
void CollisionShape3D::set_disabled(bool p_enable) {
    disabled_ = p_enable;
}
bool CollisionShape3D::is_disabled() const {
    return disabled_;
}

void CollisionShape3D::_bind_methods() {
    ClassDB::bind_method(D_METHOD("set_shape", "shape"), &CollisionShape3D::set_shape);
    ClassDB::bind_method(D_METHOD("get_shape"), &CollisionShape3D::get_shape);
    ClassDB::bind_method(D_METHOD("set_disabled", "enable"), &CollisionShape3D::set_disabled);
    ClassDB::bind_method(D_METHOD("is_disabled"), &CollisionShape3D::is_disabled);
}

// ---- CollisionObject3D ----

CollisionObject3D::CollisionObject3D() : rid_(standin::allocate_rid()) {}

CollisionObject3D::~CollisionObject3D() {
    if (world_ != nullptr) {
        standin::detail::SceneAccess::unregister_body(world_, this);
        world_ = nullptr;
    }
}

void CollisionObject3D::set_collision_layer(uint32_t p_layer) {
    collision_layer_ = p_layer;
}
uint32_t CollisionObject3D::get_collision_layer() const {
    return collision_layer_;
}
void CollisionObject3D::set_collision_mask(uint32_t p_mask) {
    collision_mask_ = p_mask;
}
uint32_t CollisionObject3D::get_collision_mask() const {
    return collision_mask_;
}

void CollisionObject3D::set_collision_layer_value(int32_t p_layer_number, bool p_value) {
    ERR_FAIL_COND_MSG(p_layer_number < 1, "Collision layer number must be between 1 and 32 inclusive.");
    ERR_FAIL_COND_MSG(p_layer_number > 32, "Collision layer number must be between 1 and 32 inclusive.");
    const uint32_t bit = 1u << (p_layer_number - 1);
    set_collision_layer(p_value ? (collision_layer_ | bit) : (collision_layer_ & ~bit));
}

bool CollisionObject3D::get_collision_layer_value(int32_t p_layer_number) const {
    ERR_FAIL_COND_V_MSG(p_layer_number < 1, false,
                        "Collision layer number must be between 1 and 32 inclusive.");
    ERR_FAIL_COND_V_MSG(p_layer_number > 32, false,
                        "Collision layer number must be between 1 and 32 inclusive.");
    return (collision_layer_ & (1u << (p_layer_number - 1))) != 0;
}

void CollisionObject3D::set_collision_mask_value(int32_t p_layer_number, bool p_value) {
    ERR_FAIL_COND_MSG(p_layer_number < 1, "Collision layer number must be between 1 and 32 inclusive.");
    ERR_FAIL_COND_MSG(p_layer_number > 32, "Collision layer number must be between 1 and 32 inclusive.");
    const uint32_t bit = 1u << (p_layer_number - 1);
    set_collision_mask(p_value ? (collision_mask_ | bit) : (collision_mask_ & ~bit));
}

bool CollisionObject3D::get_collision_mask_value(int32_t p_layer_number) const {
    ERR_FAIL_COND_V_MSG(p_layer_number < 1, false,
                        "Collision layer number must be between 1 and 32 inclusive.");
    ERR_FAIL_COND_V_MSG(p_layer_number > 32, false,
                        "Collision layer number must be between 1 and 32 inclusive.");
    return (collision_mask_ & (1u << (p_layer_number - 1))) != 0;
}

RID CollisionObject3D::get_rid() const {
    return rid_;
}

void CollisionObject3D::_standin_entered_tree() {
    World3D *world = standin::detail::SceneAccess::world_of(standin::detail::SceneAccess::tree_of(this));
    if (world != nullptr) {
        standin::detail::SceneAccess::register_body(world, this);
        world_ = world;
    }
    _standin_set_physics_transform(get_global_transform());
}

void CollisionObject3D::_standin_exiting_tree() {
    if (world_ != nullptr) {
        standin::detail::SceneAccess::unregister_body(world_, this);
        world_ = nullptr;
    }
}

void CollisionObject3D::_standin_transform_changed() {
    if (!ignore_transform_) {
        _standin_set_physics_transform(get_global_transform());
    }
}

void CollisionObject3D::_standin_set_physics_transform(const Transform3D &p_global) {
    physics_transform_ = p_global;
}

void CollisionObject3D::_bind_methods() {
    ClassDB::bind_method(D_METHOD("set_collision_layer", "layer"), &CollisionObject3D::set_collision_layer);
    ClassDB::bind_method(D_METHOD("get_collision_layer"), &CollisionObject3D::get_collision_layer);
    ClassDB::bind_method(D_METHOD("set_collision_mask", "mask"), &CollisionObject3D::set_collision_mask);
    ClassDB::bind_method(D_METHOD("get_collision_mask"), &CollisionObject3D::get_collision_mask);
    ClassDB::bind_method(D_METHOD("set_collision_layer_value", "layer_number", "value"),
                         &CollisionObject3D::set_collision_layer_value);
    ClassDB::bind_method(D_METHOD("get_collision_layer_value", "layer_number"),
                         &CollisionObject3D::get_collision_layer_value);
    ClassDB::bind_method(D_METHOD("set_collision_mask_value", "layer_number", "value"),
                         &CollisionObject3D::set_collision_mask_value);
    ClassDB::bind_method(D_METHOD("get_collision_mask_value", "layer_number"),
                         &CollisionObject3D::get_collision_mask_value);
    ClassDB::bind_method(D_METHOD("get_rid"), &CollisionObject3D::get_rid);
}

void PhysicsBody3D::_bind_methods() {}

// ---- StaticBody3D ----

void StaticBody3D::set_constant_linear_velocity(const Vector3 &p_vel) {
    constant_linear_velocity_ = p_vel;
}
void StaticBody3D::set_constant_angular_velocity(const Vector3 &p_vel) {
    constant_angular_velocity_ = p_vel;
}
Vector3 StaticBody3D::get_constant_linear_velocity() const {
    return constant_linear_velocity_;
}
Vector3 StaticBody3D::get_constant_angular_velocity() const {
    return constant_angular_velocity_;
}

void StaticBody3D::_bind_methods() {
    ClassDB::bind_method(D_METHOD("set_constant_linear_velocity", "vel"),
                         &StaticBody3D::set_constant_linear_velocity);
    ClassDB::bind_method(D_METHOD("set_constant_angular_velocity", "vel"),
                         &StaticBody3D::set_constant_angular_velocity);
    ClassDB::bind_method(D_METHOD("get_constant_linear_velocity"),
                         &StaticBody3D::get_constant_linear_velocity);
    ClassDB::bind_method(D_METHOD("get_constant_angular_velocity"),
                         &StaticBody3D::get_constant_angular_velocity);
}

} // namespace godot
