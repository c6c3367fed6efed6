// The physics world: its registry of bodies and its ray queries.
#include "scene_access.hpp"

#include <godot_cpp/classes/physics_direct_space_state3d.hpp>
#include <godot_cpp/classes/physics_ray_query_parameters3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/world3d.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <algorithm>

namespace standin {

void detail::SceneAccess::register_body(godot::World3D *p_world, godot::CollisionObject3D *p_body) {
    std::vector<godot::CollisionObject3D *> &bodies = p_world->bodies_;
    if (std::find(bodies.begin(), bodies.end(), p_body) == bodies.end()) {
        bodies.push_back(p_body);
    }
}

void detail::SceneAccess::unregister_body(godot::World3D *p_world, godot::CollisionObject3D *p_body) {
    std::vector<godot::CollisionObject3D *> &bodies = p_world->bodies_;
    bodies.erase(std::remove(bodies.begin(), bodies.end(), p_body), bodies.end());
}

bool detail::SceneAccess::is_moving_body(const godot::CollisionObject3D *p_body) {
    const godot::RigidBody3D *rigid = godot::Object::cast_to<godot::RigidBody3D>(p_body);
    return rigid != nullptr && !rigid->freeze_;
}

} // namespace standin

namespace godot {

STANDIN_REGISTER_ENGINE_CLASS(World3D);
STANDIN_REGISTER_ABSTRACT_ENGINE_CLASS(PhysicsDirectSpaceState3D);
STANDIN_REGISTER_ENGINE_CLASS(PhysicsRayQueryParameters3D);

using Access = ::standin::detail::SceneAccess;
namespace physics = ::standin::physics;

// ---- World3D ----

World3D::World3D() : space_(standin::allocate_rid()) {
    space_state_ = memnew(PhysicsDirectSpaceState3D);
    Access::set_space_world(space_state_, this);
}

World3D::~World3D() {
    memdelete(space_state_);
    space_state_ = nullptr;
}

RID World3D::get_space() const {
    return space_;
}

PhysicsDirectSpaceState3D *World3D::get_direct_space_state() {
    return space_state_;
}

void World3D::_bind_methods() {
    ClassDB::bind_method(D_METHOD("get_space"), &World3D::get_space);
    ClassDB::bind_method(D_METHOD("get_direct_space_state"), &World3D::get_direct_space_state);
}

// ---- PhysicsDirectSpaceState3D ----

namespace {

bool is_excluded(const TypedArray<RID> &p_exclude, const RID &p_rid) {
    for (int64_t i = 0; i < p_exclude.size(); i++) {
        if (RID(p_exclude[i]) == p_rid) {
            return true;
        }
    }
    return false;
}

} // namespace

Dictionary PhysicsDirectSpaceState3D::intersect_ray(const Ref<PhysicsRayQueryParameters3D> &p_parameters) {
    ERR_FAIL_COND_V(p_parameters.is_null(), Dictionary());
    if (world_ == nullptr || !p_parameters->is_collide_with_bodies_enabled()) {
        return Dictionary();
    }
    const Vector3 from = p_parameters->get_from();
    const Vector3 to = p_parameters->get_to();
    const uint32_t mask = p_parameters->get_collision_mask();
    const bool hit_from_inside = p_parameters->is_hit_from_inside_enabled();
    const TypedArray<RID> exclude = p_parameters->get_exclude();
    // Hits are ordered by their projection on the ray's direction; the first of equals wins.
    const Vector3 direction = (to - from).normalized();

    bool found = false;
    bool from_inside = false;
    physics::real_t best = 1e10f;
    Vector3 best_point;
    Vector3 best_normal;
    int32_t best_shape = -1;
    const CollisionObject3D *best_body = nullptr;

    for (const CollisionObject3D *body : Access::bodies(world_)) {
        if ((Access::layer(body) & mask) == 0 || is_excluded(exclude, body->get_rid())) {
            continue;
        }
        const Transform3D &pose = Access::physics_transform(body);
        const Transform3D pose_inverse =
            Access::is_moving_body(body) ? pose.inverse() : pose.affine_inverse();
        Access::for_each_shape(body, [&](int32_t p_index, const physics::BodyShape &p_shape,
                                         bool p_disabled) {
            if (p_disabled || from_inside) {
                return;
            }
            const Transform3D to_shape = p_shape.local.affine_inverse() * pose_inverse;
            const Vector3 local_from = to_shape.xform(from);
            const Vector3 local_to = to_shape.xform(to);
            if (physics::shape_contains(p_shape.geometry, local_from)) {
                if (hit_from_inside) {
                    from_inside = true;
                    found = true;
                    best_point = from;
                    best_normal = Vector3();
                    best_shape = p_index;
                    best_body = body;
                }
                return;
            }
            Vector3 point;
            Vector3 normal;
            if (!physics::shape_intersect_segment(p_shape.geometry, local_from, local_to, point, normal)) {
                return;
            }
            const Vector3 global_point = (pose * p_shape.local).xform(point);
            const physics::real_t along = direction.dot(global_point);
            if (along < best) {
                best = along;
                found = true;
                best_point = global_point;
                best_normal = to_shape.basis.xform_inv(normal).normalized();
                best_shape = p_index;
                best_body = body;
            }
        });
        if (from_inside) {
            break;
        }
    }

    Dictionary result;
    if (!found) {
        return result;
    }
    result["position"] = best_point;
    result["normal"] = best_normal;
    result["face_index"] = -1;
    result["collider_id"] = static_cast<int64_t>(best_body->get_instance_id());
    result["collider"] = static_cast<const Object *>(best_body);
    result["shape"] = best_shape;
    result["rid"] = best_body->get_rid();
    return result;
}

void PhysicsDirectSpaceState3D::_bind_methods() {
    ClassDB::bind_method(D_METHOD("intersect_ray", "parameters"), &PhysicsDirectSpaceState3D::intersect_ray);
}

// ---- PhysicsRayQueryParameters3D ----

Ref<PhysicsRayQueryParameters3D> PhysicsRayQueryParameters3D::create(const Vector3 &p_from,
                                                                     const Vector3 &p_to,
                                                                     uint32_t p_collision_mask,
                                                                     const TypedArray<RID> &p_exclude) {
    Ref<PhysicsRayQueryParameters3D> parameters;
    parameters.instantiate();
    parameters->set_from(p_from);
    parameters->set_to(p_to);
    parameters->set_collision_mask(p_collision_mask);
    parameters->set_exclude(p_exclude);
    return parameters;
}

void PhysicsRayQueryParameters3D::set_from(const Vector3 &p_from) {
    from_ = p_from;
}
Vector3 PhysicsRayQueryParameters3D::get_from() const {
    return from_;
}
void PhysicsRayQueryParameters3D::set_to(const Vector3 &p_to) {
    to_ = p_to;
}
Vector3 PhysicsRayQueryParameters3D::get_to() const {
    return to_;
}
void PhysicsRayQueryParameters3D::set_collision_mask(uint32_t p_collision_mask) {
    collision_mask_ = p_collision_mask;
}
uint32_t PhysicsRayQueryParameters3D::get_collision_mask() const {
    return collision_mask_;
}
void PhysicsRayQueryParameters3D::set_exclude(const TypedArray<RID> &p_exclude) {
    exclude_ = p_exclude;
}
TypedArray<RID> PhysicsRayQueryParameters3D::get_exclude() const {
    return exclude_;
}
void PhysicsRayQueryParameters3D::set_collide_with_bodies(bool p_enable) {
    collide_with_bodies_ = p_enable;
}
bool PhysicsRayQueryParameters3D::is_collide_with_bodies_enabled() const {
    return collide_with_bodies_;
}
void PhysicsRayQueryParameters3D::set_collide_with_areas(bool p_enable) {
    collide_with_areas_ = p_enable;
}
bool PhysicsRayQueryParameters3D::is_collide_with_areas_enabled() const {
    return collide_with_areas_;
}
void PhysicsRayQueryParameters3D::set_hit_from_inside(bool p_enable) {
    hit_from_inside_ = p_enable;
}
bool PhysicsRayQueryParameters3D::is_hit_from_inside_enabled() const {
    return hit_from_inside_;
}
void PhysicsRayQueryParameters3D::set_hit_back_faces(bool p_enable) {
    hit_back_faces_ = p_enable;
}
bool PhysicsRayQueryParameters3D::is_hit_back_faces_enabled() const {
    return hit_back_faces_;
}

void PhysicsRayQueryParameters3D::_bind_methods() {
    ClassDB::bind_static_method(
        "PhysicsRayQueryParameters3D", D_METHOD("create", "from", "to", "collision_mask", "exclude"),
        &PhysicsRayQueryParameters3D::create, DEFVAL(4294967295u), DEFVAL(TypedArray<RID>()));
    ClassDB::bind_method(D_METHOD("set_from", "from"), &PhysicsRayQueryParameters3D::set_from);
    ClassDB::bind_method(D_METHOD("get_from"), &PhysicsRayQueryParameters3D::get_from);
    ClassDB::bind_method(D_METHOD("set_to", "to"), &PhysicsRayQueryParameters3D::set_to);
    ClassDB::bind_method(D_METHOD("get_to"), &PhysicsRayQueryParameters3D::get_to);
    ClassDB::bind_method(D_METHOD("set_collision_mask", "collision_mask"),
                         &PhysicsRayQueryParameters3D::set_collision_mask);
    ClassDB::bind_method(D_METHOD("get_collision_mask"), &PhysicsRayQueryParameters3D::get_collision_mask);
    ClassDB::bind_method(D_METHOD("set_exclude", "exclude"), &PhysicsRayQueryParameters3D::set_exclude);
    ClassDB::bind_method(D_METHOD("get_exclude"), &PhysicsRayQueryParameters3D::get_exclude);
    ClassDB::bind_method(D_METHOD("set_collide_with_bodies", "enable"),
                         &PhysicsRayQueryParameters3D::set_collide_with_bodies);
    ClassDB::bind_method(D_METHOD("is_collide_with_bodies_enabled"),
                         &PhysicsRayQueryParameters3D::is_collide_with_bodies_enabled);
    ClassDB::bind_method(D_METHOD("set_collide_with_areas", "enable"),
                         &PhysicsRayQueryParameters3D::set_collide_with_areas);
    ClassDB::bind_method(D_METHOD("is_collide_with_areas_enabled"),
                         &PhysicsRayQueryParameters3D::is_collide_with_areas_enabled);
    ClassDB::bind_method(D_METHOD("set_hit_from_inside", "enable"),
                         &PhysicsRayQueryParameters3D::set_hit_from_inside);
    ClassDB::bind_method(D_METHOD("is_hit_from_inside_enabled"),
                         &PhysicsRayQueryParameters3D::is_hit_from_inside_enabled);
    ClassDB::bind_method(D_METHOD("set_hit_back_faces", "enable"),
                         &PhysicsRayQueryParameters3D::set_hit_back_faces);
    ClassDB::bind_method(D_METHOD("is_hit_back_faces_enabled"),
                         &PhysicsRayQueryParameters3D::is_hit_back_faces_enabled);
}

} // namespace godot
