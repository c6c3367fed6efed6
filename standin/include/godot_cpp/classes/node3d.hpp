// The engine's Node3D: a local transform, and a global one through the chain of Node3D parents.
#pragma once

#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector3.hpp>

namespace godot {

class World3D;

class Node3D : public Node {
    GDCLASS(Node3D, Node)

public:
    static const int NOTIFICATION_TRANSFORM_CHANGED = 2000;

    void set_transform(const Transform3D &p_local);
    Transform3D get_transform() const;
    void set_position(const Vector3 &p_position);
    Vector3 get_position() const;
    void set_basis(const Basis &p_basis);
    Basis get_basis() const;

    // The global transform is only known inside a tree: outside, the getters report an error and
    // return the identity, as the engine does, and the setters set the local transform.
    void set_global_transform(const Transform3D &p_global);
    Transform3D get_global_transform() const;
    void set_global_position(const Vector3 &p_position);
    Vector3 get_global_position() const;
    void set_global_basis(const Basis &p_basis);
    Basis get_global_basis() const;

    // The parent when it is a Node3D, else null.
    Node3D *get_parent_node_3d() const;
    Vector3 to_local(const Vector3 &p_global_point) const;
    Vector3 to_global(const Vector3 &p_local_point) const;

    // The tree's world; null (with an error, as the engine) outside a tree.
    Ref<World3D> get_world_3d() const;

protected:
    static void _bind_methods();

    // Called on this node and every Node3D below it, inside a tree, when the global transform changes.
    virtual void _standin_transform_changed() {}

private:
    void propagate_transform_changed();
    bool is_inside_world() const { return is_inside_tree(); }

    Transform3D local_;
};

} // namespace godot
