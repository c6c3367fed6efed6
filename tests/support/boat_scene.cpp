#include "boat_scene.hpp"

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

BoatScene::BoatScene() {
    scene_tree.set_physics_step(PHYSICS_STEP);
}

RigidBody3D *BoatScene::add_boat(const Vector3 &p_spawn_position, double p_spawn_yaw) {
    const Variant created = ClassDBSingleton::get_singleton()->instantiate("Boat");
    RigidBody3D *body = Object::cast_to<RigidBody3D>(static_cast<Object *>(created));
    if (body == nullptr) {
        return nullptr;
    }
    Ref<BoxShape3D> box;
    box.instantiate();
    box->set_size(Vector3(1.2f, 0.5f, 2.4f));
    CollisionShape3D *shape = memnew(CollisionShape3D);
    shape->set_shape(box);
    body->add_child(shape);
    scene_tree.get_root()->add_child(body);

    const Basis heading(Vector3(0.0f, 1.0f, 0.0f), static_cast<real_t>(p_spawn_yaw));
    body->set_global_transform(Transform3D(heading, p_spawn_position));
    body->call("set_spawn_position", p_spawn_position);
    body->call("set_spawn_yaw", p_spawn_yaw);
    boats.push_back(body);
    return body;
}

void BoatScene::step(int p_frames) {
    scene_tree.run_physics_frames(p_frames);
}

} // namespace brinewake_test
