// The scene every test, benchmark and the simulator builds on: a scene tree stepped at 60 physics
// frames per second, with boats (each a "Boat" created by class name, as a script creates it, with a
// box collision shape of 1.2 x 0.5 x 2.4 m), at most one "WeaponSystem" combat node, static obstacles
// and free rigid bodies.
//
// The extension's classes must be registered first: by the linked extension (linked_extension.hpp) or
// by a library loaded from file.
#pragma once

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/static_body3d.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3.hpp>
#include <standin/scene_tree.hpp>

#include <cstdint>
#include <vector>

namespace brinewake_test {

class MatchScene {
public:
    static constexpr double PHYSICS_STEP = 1.0 / 60.0; // s

    MatchScene();
    MatchScene(const MatchScene &) = delete;
    MatchScene &operator=(const MatchScene &) = delete;

    // Adds a boat to the root, placed at the given spawn pose (also stored as its spawn pose).
    // Returns null when the class "Boat" cannot be created.
    godot::RigidBody3D *add_boat(const godot::Vector3 &p_spawn_position = godot::Vector3(0.0f, 0.7f, 12.0f),
                                 double p_spawn_yaw = 0.0);

    // The combat node, created by class name and added to the root on the first call (its _ready turns
    // physics processing on); null when the class "WeaponSystem" cannot be created.
    godot::Node3D *weapon_system();
    // weapon_system() with every boat added so far registered with it, in order.
    godot::Node3D *weapon_system_with_boats();

    // A static box (m, full size) centred at p_position, on collision layer 1.
    godot::StaticBody3D *add_obstacle(const godot::Vector3 &p_position, const godot::Vector3 &p_size);
    // A free rigid box of p_mass kg, centred at p_position; gravity pulls it (there is no sea for it).
    godot::RigidBody3D *add_free_body(const godot::Vector3 &p_position, const godot::Vector3 &p_size,
                                      float p_mass = 1.0f);

    // The boats in the order they were added. The pointers are only as good as the boats: a test that
    // frees one must not use its entry again.
    godot::RigidBody3D *boat(size_t p_index = 0) const { return boats.at(p_index); }
    uint64_t boat_id(size_t p_index = 0) const { return boat_ids.at(p_index); }
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
    std::vector<uint64_t> boat_ids;
    godot::Node3D *combat = nullptr; // owned by the tree
};

} // namespace brinewake_test
