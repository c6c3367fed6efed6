// The engine's Node: a place in the scene tree, tree callbacks and physics processing.
#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>
#include <vector>

namespace standin {
class SceneTree;
namespace detail {
struct SceneAccess;
}
} // namespace standin

namespace godot {

class Node : public Object {
    GDCLASS(Node, Object)

public:
    enum InternalMode {
        INTERNAL_MODE_DISABLED = 0,
        INTERNAL_MODE_FRONT = 1,
        INTERNAL_MODE_BACK = 2,
    };

    static const int NOTIFICATION_ENTER_TREE = 10;
    static const int NOTIFICATION_EXIT_TREE = 11;
    static const int NOTIFICATION_READY = 13;
    static const int NOTIFICATION_PHYSICS_PROCESS = 16;

    Node();
    // Leaves the parent (and the tree) and frees the children.
    ~Node() override;

    void set_name(const String &p_name);
    StringName get_name() const;

    // Entering a tree calls _enter_tree parents first, then _ready children first (once per node).
    // Internal children are kept as ordinary children.
    void add_child(Node *p_node, bool p_force_readable_name = false,
                   InternalMode p_internal = INTERNAL_MODE_DISABLED);
    // Leaving a tree calls _exit_tree children first. The child is not freed.
    void remove_child(Node *p_node);
    int32_t get_child_count(bool p_include_internal = false) const;
    // A negative index counts from the end.
    Node *get_child(int32_t p_idx, bool p_include_internal = false) const;
    Node *get_parent() const;
    bool is_ancestor_of(Node *p_node) const;
    int32_t get_index(bool p_include_internal = false) const;

    bool is_inside_tree() const;
    bool is_node_ready() const;

    void set_physics_process(bool p_enable);
    bool is_physics_processing() const;
    // The tree's physics step, s.
    double get_physics_process_delta_time() const;

    // Frees the node at the end of the current (or next) physics frame.
    void queue_free();

    virtual void _physics_process(double p_delta);
    virtual void _enter_tree();
    virtual void _exit_tree();
    virtual void _ready();

protected:
    static void _bind_methods();

    // Stand-in hooks for the engine classes, at the moments of the engine's notifications: entering
    // the tree before _enter_tree, leaving it after _exit_tree.
    virtual void _standin_entered_tree() {}
    virtual void _standin_exiting_tree() {}

private:
    friend struct ::standin::detail::SceneAccess;

    StringName name_;
    Node *parent_ = nullptr;
    std::vector<Node *> children_;
    standin::SceneTree *tree_ = nullptr;
    bool physics_processing_ = false;
    bool ready_done_ = false;
};

} // namespace godot

VARIANT_ENUM_CAST(Node::InternalMode);
