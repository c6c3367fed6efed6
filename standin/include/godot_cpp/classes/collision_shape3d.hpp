// The engine's CollisionShape3D: gives its parent collision object a shape, placed by this node's
// local transform. Only a direct child of a CollisionObject3D counts.
#pragma once

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/shape3d.hpp>

namespace godot {

class CollisionShape3D : public Node3D {
    GDCLASS(CollisionShape3D, Node3D)

public:
    void set_shape(const Ref<Shape3D> &p_shape);
    Ref<Shape3D> get_shape() const;
    // A disabled shape keeps its index but is neither hit by rays nor counted in the mass.
    void set_disabled(bool p_enable);
    bool is_disabled() const;

protected:
    static void _bind_methods();

private:
    friend struct ::standin::detail::SceneAccess;

    Ref<Shape3D> shape_;
    bool disabled_ = false;
};

} // namespace godot
