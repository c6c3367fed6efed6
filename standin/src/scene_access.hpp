// The stand-in's access to the private state of its engine classes: tree membership, the physics
// world's registry of bodies, and each rigid body's physics state.
#pragma once

#include "physics_core.hpp"

#include <godot_cpp/classes/box_shape3d.hpp>
#include <godot_cpp/classes/collision_object3d.hpp>
#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/physics_direct_body_state3d.hpp>
#include <godot_cpp/classes/physics_direct_space_state3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/sphere_shape3d.hpp>
#include <godot_cpp/classes/world3d.hpp>
#include <standin/scene_tree.hpp>

namespace standin::detail {

struct SceneAccess {
    // Tree membership.
    static void enter_tree(godot::Node *p_node, SceneTree *p_tree);
    static void propagate_ready(godot::Node *p_node);
    static void exit_tree(godot::Node *p_node);
    static SceneTree *tree_of(const godot::Node *p_node) { return p_node->tree_; }
    static godot::World3D *world_of(const SceneTree *p_tree) { return p_tree->world_.ptr(); }
    static double step_of(const SceneTree *p_tree) { return p_tree->step_; }
    // Appends p_node's subtree in tree order (parents first).
    static void collect(godot::Node *p_node, std::vector<godot::Node *> &r_nodes);
    static void queue_delete(godot::Node *p_node);
    static void flush_deletes();

    // The world's registry.
    static void register_body(godot::World3D *p_world, godot::CollisionObject3D *p_body);
    static void unregister_body(godot::World3D *p_world, godot::CollisionObject3D *p_body);
    static const std::vector<godot::CollisionObject3D *> &bodies(const godot::World3D *p_world) {
        return p_world->bodies_;
    }
    static void step_world(godot::World3D *p_world, physics::real_t p_step);

    // Calls p_visit(index, shape, disabled) for each shape of the body: the box and sphere shapes of
    // its CollisionShape3D children, in child order. The index counts every child with a shape.
    template <typename F> static void for_each_shape(const godot::CollisionObject3D *p_body, F &&p_visit) {
        int32_t index = 0;
        for (godot::Node *child : p_body->children_) {
            const godot::CollisionShape3D *holder = godot::Object::cast_to<godot::CollisionShape3D>(child);
            if (holder == nullptr || holder->shape_.is_null()) {
                continue;
            }
            physics::BodyShape shape;
            shape.local = holder->get_transform();
            bool known = true;
            if (const godot::BoxShape3D *box =
                    godot::Object::cast_to<godot::BoxShape3D>(holder->shape_.ptr())) {
                shape.geometry.kind = physics::ShapeGeometry::BOX;
                shape.geometry.half_extents = box->get_size() / 2;
            } else if (const godot::SphereShape3D *sphere =
                           godot::Object::cast_to<godot::SphereShape3D>(holder->shape_.ptr())) {
                shape.geometry.kind = physics::ShapeGeometry::SPHERE;
                shape.geometry.radius = sphere->get_radius();
            } else {
                known = false;
            }
            if (known) {
                p_visit(index, static_cast<const physics::BodyShape &>(shape), holder->disabled_);
            }
            index++;
        }
    }

    static const godot::Transform3D &physics_transform(const godot::CollisionObject3D *p_body) {
        return p_body->physics_transform_;
    }
    static uint32_t layer(const godot::CollisionObject3D *p_body) { return p_body->collision_layer_; }
    static godot::World3D *world_of_body(const godot::CollisionObject3D *p_body) { return p_body->world_; }
    // A moving rigid body keeps an orthonormal pose; static and frozen bodies may carry scale.
    static bool is_moving_body(const godot::CollisionObject3D *p_body);

    // Rigid bodies.
    static physics::MassProperties mass_properties(const godot::RigidBody3D *p_body);
    static godot::Basis world_inverse_inertia(const godot::RigidBody3D *p_body,
                                              const physics::MassProperties &p_mass);
    static physics::real_t total_linear_damp(const godot::RigidBody3D *p_body);
    static physics::real_t total_angular_damp(const godot::RigidBody3D *p_body);
    static godot::Vector3 total_gravity(const godot::RigidBody3D *p_body);
    // The node takes the body's pose, velocities and inverse inertia.
    static void sync_node(godot::RigidBody3D *p_body);
    // Stage 1 of a tick for one body.
    static void run_integrate_forces(godot::RigidBody3D *p_body);
    static godot::PhysicsDirectBodyState3D *state_of(godot::RigidBody3D *p_body);
    static bool is_frozen(const godot::RigidBody3D *p_body) { return p_body->freeze_; }
    static void set_space_world(godot::PhysicsDirectSpaceState3D *p_state, godot::World3D *p_world) {
        p_state->world_ = p_world;
    }
};

} // namespace standin::detail
