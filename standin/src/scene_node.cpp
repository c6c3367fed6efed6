// Node and Node3D: tree membership, tree callbacks and transforms.
#include "scene_access.hpp"

#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/world3d.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <algorithm>

namespace godot {

STANDIN_REGISTER_ENGINE_CLASS(Node);
STANDIN_REGISTER_ENGINE_CLASS(Node3D);

// ---- Node ----

Node::Node() {}

Node::~Node() {
    // The derived parts are already gone: this node's own _exit_tree is Node's, its children's are
    // their own.
    if (parent_ != nullptr) {
        parent_->remove_child(this);
    } else if (tree_ != nullptr) {
        standin::detail::SceneAccess::exit_tree(this);
    }
    while (!children_.empty()) {
        Node *child = children_.back();
        children_.pop_back();
        child->parent_ = nullptr;
        memdelete(child);
    }
}

void Node::set_name(const String &p_name) {
    name_ = StringName(p_name);
}

StringName Node::get_name() const {
    return name_;
}

void Node::add_child(Node *p_node, bool p_force_readable_name, InternalMode p_internal) {
    (void)p_force_readable_name;
    (void)p_internal;
    ERR_FAIL_NULL(p_node);
    ERR_FAIL_COND_MSG(p_node == this, "Can't add a node as a child of itself.");
    ERR_FAIL_COND_MSG(p_node->parent_ != nullptr, "Can't add a child that already has a parent.");
    ERR_FAIL_COND_MSG(p_node->tree_ != nullptr, "Can't add the root of a scene tree as a child.");
    ERR_FAIL_COND_MSG(p_node->is_ancestor_of(this), "Can't add an ancestor as a child.");
    children_.push_back(p_node);
    p_node->parent_ = this;
    if (tree_ != nullptr) {
        standin::detail::SceneAccess::enter_tree(p_node, tree_);
        standin::detail::SceneAccess::propagate_ready(p_node);
    }
}

void Node::remove_child(Node *p_node) {
    ERR_FAIL_NULL(p_node);
    ERR_FAIL_COND_MSG(p_node->parent_ != this, "Can't remove a node that is not a child of this node.");
    if (tree_ != nullptr && p_node->tree_ != nullptr) {
        standin::detail::SceneAccess::exit_tree(p_node);
    }
    auto it = std::find(children_.begin(), children_.end(), p_node);
    if (it != children_.end()) {
        children_.erase(it);
    }
    p_node->parent_ = nullptr;
}

int32_t Node::get_child_count(bool p_include_internal) const {
    (void)p_include_internal;
    return static_cast<int32_t>(children_.size());
}

Node *Node::get_child(int32_t p_idx, bool p_include_internal) const {
    (void)p_include_internal;
    const int32_t count = static_cast<int32_t>(children_.size());
    if (p_idx < 0) {
        p_idx += count;
    }
    ERR_FAIL_INDEX_V(p_idx, count, nullptr);
    return children_[static_cast<size_t>(p_idx)];
}

Node *Node::get_parent() const {
    return parent_;
}

bool Node::is_ancestor_of(Node *p_node) const {
    ERR_FAIL_NULL_V(p_node, false);
    for (const Node *up = p_node->parent_; up != nullptr; up = up->parent_) {
        if (up == this) {
            return true;
        }
    }
    return false;
}

int32_t Node::get_index(bool p_include_internal) const {
    (void)p_include_internal;
    ERR_FAIL_NULL_V(parent_, -1);
    const auto &siblings = parent_->children_;
    return static_cast<int32_t>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

bool Node::is_inside_tree() const {
    return tree_ != nullptr;
}

bool Node::is_node_ready() const {
    return ready_done_;
}

void Node::set_physics_process(bool p_enable) {
    physics_processing_ = p_enable;
}

bool Node::is_physics_processing() const {
    return physics_processing_;
}

double Node::get_physics_process_delta_time() const {
    return tree_ != nullptr ? standin::detail::SceneAccess::step_of(tree_) : 1.0 / 60.0;
}

void Node::queue_free() {
    standin::detail::SceneAccess::queue_delete(this);
}

void Node::_physics_process(double p_delta) {
    (void)p_delta;
}
void Node::_enter_tree() {}
void Node::_exit_tree() {}
void Node::_ready() {}

void Node::_bind_methods() {
    ClassDB::bind_method(D_METHOD("set_name", "name"), &Node::set_name);
    ClassDB::bind_method(D_METHOD("get_name"), &Node::get_name);
    ClassDB::bind_method(D_METHOD("add_child", "node", "force_readable_name", "internal"), &Node::add_child,
                         DEFVAL(false), DEFVAL(0));
    ClassDB::bind_method(D_METHOD("remove_child", "node"), &Node::remove_child);
    ClassDB::bind_method(D_METHOD("get_child_count", "include_internal"), &Node::get_child_count,
                         DEFVAL(false));
    ClassDB::bind_method(D_METHOD("get_child", "idx", "include_internal"), &Node::get_child, DEFVAL(false));
    ClassDB::bind_method(D_METHOD("get_parent"), &Node::get_parent);
    ClassDB::bind_method(D_METHOD("is_ancestor_of", "node"), &Node::is_ancestor_of);
    ClassDB::bind_method(D_METHOD("get_index", "include_internal"), &Node::get_index, DEFVAL(false));
    ClassDB::bind_method(D_METHOD("is_inside_tree"), &Node::is_inside_tree);
    ClassDB::bind_method(D_METHOD("is_node_ready"), &Node::is_node_ready);
    ClassDB::bind_method(D_METHOD("set_physics_process", "enable"), &Node::set_physics_process);
    ClassDB::bind_method(D_METHOD("is_physics_processing"), &Node::is_physics_processing);
    ClassDB::bind_method(D_METHOD("get_physics_process_delta_time"), &Node::get_physics_process_delta_time);
    ClassDB::bind_method(D_METHOD("queue_free"), &Node::queue_free);
    BIND_ENUM_CONSTANT(INTERNAL_MODE_DISABLED);
    BIND_ENUM_CONSTANT(INTERNAL_MODE_FRONT);
    BIND_ENUM_CONSTANT(INTERNAL_MODE_BACK);
}

// ---- Node3D ----

void Node3D::set_transform(const Transform3D &p_local) {
    local_ = p_local;
    propagate_transform_changed();
}

Transform3D Node3D::get_transform() const {
    return local_;
}

void Node3D::set_position(const Vector3 &p_position) {
    local_.origin = p_position;
    propagate_transform_changed();
}

Vector3 Node3D::get_position() const {
    return local_.origin;
}

void Node3D::set_basis(const Basis &p_basis) {
    set_transform(Transform3D(p_basis, local_.origin));
}

Basis Node3D::get_basis() const {
    return local_.basis;
}

void Node3D::set_global_transform(const Transform3D &p_global) {
    const Node3D *parent = is_inside_tree() ? get_parent_node_3d() : nullptr;
    set_transform(parent != nullptr ? parent->get_global_transform().affine_inverse() * p_global : p_global);
}

Transform3D Node3D::get_global_transform() const {
    ERR_FAIL_COND_V(!is_inside_tree(), Transform3D());
    const Node3D *parent = get_parent_node_3d();
    return parent != nullptr ? parent->get_global_transform() * local_ : local_;
}

void Node3D::set_global_position(const Vector3 &p_position) {
    Transform3D global = get_global_transform();
    global.origin = p_position;
    set_global_transform(global);
}

Vector3 Node3D::get_global_position() const {
    return get_global_transform().origin;
}

void Node3D::set_global_basis(const Basis &p_basis) {
    Transform3D global = get_global_transform();
    global.basis = p_basis;
    set_global_transform(global);
}

Basis Node3D::get_global_basis() const {
    return get_global_transform().basis;
}

Node3D *Node3D::get_parent_node_3d() const {
    return Object::cast_to<Node3D>(get_parent());
}

Vector3 Node3D::to_local(const Vector3 &p_global_point) const {
    return get_global_transform().affine_inverse().xform(p_global_point);
}

Vector3 Node3D::to_global(const Vector3 &p_local_point) const {
    return get_global_transform().xform(p_local_point);
}

Ref<World3D> Node3D::get_world_3d() const {
    ERR_FAIL_COND_V(!is_inside_world(), Ref<World3D>());
    return Ref<World3D>(standin::detail::SceneAccess::world_of(standin::detail::SceneAccess::tree_of(this)));
}

void Node3D::propagate_transform_changed() {
    if (!is_inside_tree()) {
        return;
    }
    _standin_transform_changed();
    for (int32_t i = 0; i < get_child_count(); i++) {
        if (Node3D *child = Object::cast_to<Node3D>(get_child(i))) {
            child->propagate_transform_changed();
        }
    }
}

void Node3D::_bind_methods() {
    ClassDB::bind_method(D_METHOD("set_transform", "local"), &Node3D::set_transform);
    ClassDB::bind_method(D_METHOD("get_transform"), &Node3D::get_transform);
    ClassDB::bind_method(D_METHOD("set_position", "position"), &Node3D::set_position);
    ClassDB::bind_method(D_METHOD("get_position"), &Node3D::get_position);
    ClassDB::bind_method(D_METHOD("set_basis", "basis"), &Node3D::set_basis);
    ClassDB::bind_method(D_METHOD("get_basis"), &Node3D::get_basis);
    ClassDB::bind_method(D_METHOD("set_global_transform", "global"), &Node3D::set_global_transform);
    ClassDB::bind_method(D_METHOD("get_global_transform"), &Node3D::get_global_transform);
    ClassDB::bind_method(D_METHOD("set_global_position", "position"), &Node3D::set_global_position);
    ClassDB::bind_method(D_METHOD("get_global_position"), &Node3D::get_global_position);
    ClassDB::bind_method(D_METHOD("set_global_basis", "basis"), &Node3D::set_global_basis);
    ClassDB::bind_method(D_METHOD("get_global_basis"), &Node3D::get_global_basis);
    ClassDB::bind_method(D_METHOD("get_parent_node_3d"), &Node3D::get_parent_node_3d);
    ClassDB::bind_method(D_METHOD("to_local", "global_point"), &Node3D::to_local);
    ClassDB::bind_method(D_METHOD("to_global", "local_point"), &Node3D::to_global);
    ClassDB::bind_method(D_METHOD("get_world_3d"), &Node3D::get_world_3d);
}

} // namespace godot
