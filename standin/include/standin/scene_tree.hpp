// A scene tree and its physics world, ticked by hand: the engine's main loop for tests, benchmarks
// and the simulator.
#pragma once

#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/physics_direct_body_state3d.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/world3d.hpp>

#include <cstdint>
#include <vector>

namespace standin {

namespace detail {
struct SceneAccess;
}

class SceneTree {
public:
    SceneTree();
    // Takes the root's subtree out of the tree and frees every node in it.
    ~SceneTree();
    SceneTree(const SceneTree &) = delete;
    SceneTree &operator=(const SceneTree &) = delete;

    // A plain Node, inside the tree from the start; add scenes below it.
    godot::Node *get_root();
    godot::Ref<godot::World3D> get_world_3d();

    // s; finite and not negative (0 runs frames that move nothing). Default 1/60.
    void set_physics_step(double p_step);
    double get_physics_step() const;

    // One tick in the engine's order:
    // 1. each non-frozen RigidBody3D in the tree (tree order): the node takes the body's state,
    //    _integrate_forces runs with the body's direct state, a transform the callback gave the
    //    node goes to the body, and the node takes the body's state again;
    // 2. _physics_process(step) of every node with physics processing on (tree order);
    // 3. the physics step of every non-frozen rigid body of the world, after which each node takes
    //    its body's new state.
    // Nodes queued for freeing are freed at the end.
    void physics_frame();
    void run_physics_frames(int p_count);
    uint64_t get_physics_frame_count() const;

private:
    friend struct detail::SceneAccess;

    godot::Node *root_ = nullptr;
    godot::Ref<godot::World3D> world_;
    double step_ = 1.0 / 60.0;
    uint64_t frame_count_ = 0;
    // Reused between frames so that a steady scene allocates nothing per frame.
    std::vector<godot::Node *> scratch_nodes_;
    std::vector<uint64_t> scratch_ids_;
};

// The body's direct state object (the one _integrate_forces receives), usable outside a tick.
// Null for a null body.
godot::PhysicsDirectBodyState3D *direct_body_state(godot::RigidBody3D *p_body);

} // namespace standin
