// The scene tree: entering and leaving it, and the physics frame.
#include "scene_access.hpp"

#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/world3d.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <standin/scene_tree.hpp>

#include <cmath>

namespace standin {

namespace {

// Instance ids of the nodes queued for freeing, in queue order.
std::vector<uint64_t> &pending_deletes() {
    static std::vector<uint64_t> ids;
    return ids;
}

} // namespace

// ---- Tree membership ----

void detail::SceneAccess::enter_tree(godot::Node *p_node, SceneTree *p_tree) {
    p_node->tree_ = p_tree;
    p_node->_standin_entered_tree();
    p_node->_enter_tree();
    // A callback may add or remove children: walk by index and re-check the parent.
    for (size_t i = 0; i < p_node->children_.size(); i++) {
        godot::Node *child = p_node->children_[i];
        if (child->tree_ == nullptr && p_node->tree_ != nullptr) {
            enter_tree(child, p_tree);
        }
    }
}

void detail::SceneAccess::propagate_ready(godot::Node *p_node) {
    for (size_t i = 0; i < p_node->children_.size(); i++) {
        propagate_ready(p_node->children_[i]);
    }
    if (!p_node->ready_done_ && p_node->tree_ != nullptr) {
        p_node->ready_done_ = true;
        p_node->_ready();
    }
}

void detail::SceneAccess::exit_tree(godot::Node *p_node) {
    for (size_t i = p_node->children_.size(); i > 0; i--) {
        if (i - 1 < p_node->children_.size() && p_node->children_[i - 1]->tree_ != nullptr) {
            exit_tree(p_node->children_[i - 1]);
        }
    }
    p_node->_exit_tree();
    p_node->_standin_exiting_tree();
    p_node->tree_ = nullptr;
}

void detail::SceneAccess::collect(godot::Node *p_node, std::vector<godot::Node *> &r_nodes) {
    r_nodes.push_back(p_node);
    for (godot::Node *child : p_node->children_) {
        collect(child, r_nodes);
    }
}

void detail::SceneAccess::queue_delete(godot::Node *p_node) {
    std::vector<uint64_t> &ids = pending_deletes();
    const uint64_t id = p_node->get_instance_id();
    for (uint64_t queued : ids) {
        if (queued == id) {
            return;
        }
    }
    ids.push_back(id);
}

void detail::SceneAccess::flush_deletes() {
    std::vector<uint64_t> &ids = pending_deletes();
    // Freeing may queue more nodes; those wait for the next flush.
    std::vector<uint64_t> batch;
    batch.swap(ids);
    for (uint64_t id : batch) {
        if (godot::Node *node = godot::Object::cast_to<godot::Node>(godot::ObjectDB::get_instance(id))) {
            godot::memdelete(node);
        }
    }
    if (ids.empty()) {
        // Keep the capacity for the next frame.
        batch.clear();
        ids.swap(batch);
    }
}

// ---- SceneTree ----

SceneTree::SceneTree() {
    world_.instantiate();
    root_ = memnew(godot::Node);
    root_->set_name("root");
    detail::SceneAccess::enter_tree(root_, this);
    detail::SceneAccess::propagate_ready(root_);
}

SceneTree::~SceneTree() {
    detail::SceneAccess::exit_tree(root_);
    godot::memdelete(root_);
    root_ = nullptr;
    detail::SceneAccess::flush_deletes();
}

godot::Node *SceneTree::get_root() {
    return root_;
}

godot::Ref<godot::World3D> SceneTree::get_world_3d() {
    return world_;
}

void SceneTree::set_physics_step(double p_step) {
    ERR_FAIL_COND_MSG(!std::isfinite(p_step) || p_step < 0,
                      "The physics step must be finite and not negative.");
    step_ = p_step;
}

double SceneTree::get_physics_step() const {
    return step_;
}

void SceneTree::physics_frame() {
    // Snapshot the tree: callbacks may add, remove or free nodes. A node is called only while it is
    // still alive and still in this tree.
    scratch_nodes_.clear();
    scratch_ids_.clear();
    detail::SceneAccess::collect(root_, scratch_nodes_);
    for (godot::Node *node : scratch_nodes_) {
        scratch_ids_.push_back(node->get_instance_id());
    }
    auto live = [this](size_t p_index) -> godot::Node * {
        godot::Object *object = godot::ObjectDB::get_instance(scratch_ids_[p_index]);
        godot::Node *node = godot::Object::cast_to<godot::Node>(object);
        return node != nullptr && detail::SceneAccess::tree_of(node) == this ? node : nullptr;
    };

    for (size_t i = 0; i < scratch_ids_.size(); i++) {
        godot::RigidBody3D *body = godot::Object::cast_to<godot::RigidBody3D>(live(i));
        if (body != nullptr && !detail::SceneAccess::is_frozen(body)) {
            detail::SceneAccess::run_integrate_forces(body);
        }
    }

    for (size_t i = 0; i < scratch_ids_.size(); i++) {
        godot::Node *node = live(i);
        if (node != nullptr && node->is_physics_processing()) {
            node->_physics_process(step_);
        }
    }

    detail::SceneAccess::step_world(world_.ptr(), static_cast<physics::real_t>(step_));
    frame_count_++;
    detail::SceneAccess::flush_deletes();
}

void SceneTree::run_physics_frames(int p_count) {
    for (int i = 0; i < p_count; i++) {
        physics_frame();
    }
}

uint64_t SceneTree::get_physics_frame_count() const {
    return frame_count_;
}

} // namespace standin
