#include "match_scene.hpp"

#include <godot_cpp/classes/box_shape3d.hpp>
#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/transform3d.hpp>

using namespace godot;

namespace brinewake_test {

namespace {

void add_box_shape(Node *p_body, const Vector3 &p_size) {
    Ref<BoxShape3D> box;
    box.instantiate();
    box->set_size(p_size);
    CollisionShape3D *shape = memnew(CollisionShape3D);
    shape->set_shape(box);
    p_body->add_child(shape);
}

} // namespace

MatchScene::MatchScene() {
    scene_tree.set_physics_step(PHYSICS_STEP);
}

RigidBody3D *MatchScene::add_boat(const Vector3 &p_spawn_position, double p_spawn_yaw) {
    const Variant created = ClassDBSingleton::get_singleton()->instantiate("Boat");
    RigidBody3D *body = Object::cast_to<RigidBody3D>(static_cast<Object *>(created));
    if (body == nullptr) {
        return nullptr;
    }
    add_box_shape(body, Vector3(1.2f, 0.5f, 2.4f));
    scene_tree.get_root()->add_child(body);

    const Basis heading(Vector3(0.0f, 1.0f, 0.0f), static_cast<real_t>(p_spawn_yaw));
    body->set_global_transform(Transform3D(heading, p_spawn_position));
    body->call("set_spawn_position", p_spawn_position);
    body->call("set_spawn_yaw", p_spawn_yaw);
    boats.push_back(body);
    boat_ids.push_back(body->get_instance_id());
    return body;
}

Node3D *MatchScene::weapon_system() {
    if (combat == nullptr) {
        const Variant created = ClassDBSingleton::get_singleton()->instantiate("WeaponSystem");
        combat = Object::cast_to<Node3D>(static_cast<Object *>(created));
        if (combat != nullptr) {
            scene_tree.get_root()->add_child(combat);
        }
    }
    return combat;
}

Node3D *MatchScene::weapon_system_with_boats() {
    Node3D *node = weapon_system();
    if (node != nullptr) {
        for (RigidBody3D *body : boats) {
            node->call("register_boat", body);
        }
    }
    return node;
}

StaticBody3D *MatchScene::add_obstacle(const Vector3 &p_position, const Vector3 &p_size) {
    StaticBody3D *body = memnew(StaticBody3D);
    add_box_shape(body, p_size);
    scene_tree.get_root()->add_child(body);
    body->set_global_transform(Transform3D(Basis(), p_position));
    return body;
}

RigidBody3D *MatchScene::add_free_body(const Vector3 &p_position, const Vector3 &p_size, float p_mass) {
    RigidBody3D *body = memnew(RigidBody3D);
    body->set_mass(p_mass);
    add_box_shape(body, p_size);
    scene_tree.get_root()->add_child(body);
    body->set_global_transform(Transform3D(Basis(), p_position));
    return body;
}

void MatchScene::step(int p_frames) {
    scene_tree.run_physics_frames(p_frames);
}

} // namespace brinewake_test
