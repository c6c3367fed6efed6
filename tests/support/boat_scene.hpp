// A scene tree with boats, each a "Boat" created by class name (as a script creates it) with a box
// collision shape of 1.2 x 0.5 x 2.4 m, stepped at 60 physics frames per second.
//
// The Boat class must be registered first: by the linked extension (linked_extension.hpp) or by a
// library loaded from file.
#pragma once

#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3.hpp>
#include <standin/scene_tree.hpp>

#include <vector>

namespace brinewake_test {

class BoatScene {
public:
    static constexpr double PHYSICS_STEP = 1.0 / 60.0; // s

    BoatScene();
    BoatScene(const BoatScene &) = delete;
    BoatScene &operator=(const BoatScene &) = delete;

    // Adds a boat to the root, placed at the given spawn pose (also stored as its spawn pose).
    // Returns null when the class "Boat" cannot be created.
    godot::RigidBody3D *add_boat(const godot::Vector3 &p_spawn_position = godot::Vector3(0.0f, 0.7f, 12.0f),
                                 double p_spawn_yaw = 0.0);

    godot::RigidBody3D *boat(size_t p_index = 0) const { return boats.at(p_index); }
    size_t boat_count() const { return boats.size(); }
    standin::SceneTree &tree() { return scene_tree; }

    // Runs p_frames physics frames.
    void step(int p_frames = 1);

    // Calls a bound method of the first boat by name, as a script does.
    template <typename... Args>
    godot::Variant call(const godot::StringName &p_method, const Args &...p_args) {
        return boat()->call(p_method, p_args...);
    }

private:
    standin::SceneTree scene_tree;
    std::vector<godot::RigidBody3D *> boats; // owned by the tree
};

} // namespace brinewake_test
