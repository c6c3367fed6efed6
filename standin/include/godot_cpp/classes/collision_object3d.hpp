// The engine's CollisionObject3D: a body of the physics world, with collision layers and the shapes
// of its CollisionShape3D children.
#pragma once

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/variant/rid.hpp>
#include <godot_cpp/variant/transform3d.hpp>

#include <cstdint>

namespace godot {

class World3D;

class CollisionObject3D : public Node3D {
    GDCLASS(CollisionObject3D, Node3D)

public:
    CollisionObject3D();
    ~CollisionObject3D() override;

    void set_collision_layer(uint32_t p_layer);
    uint32_t get_collision_layer() const;
    void set_collision_mask(uint32_t p_mask);
    uint32_t get_collision_mask() const;
    // Layer numbers 1 to 32.
    void set_collision_layer_value(int32_t p_layer_number, bool p_value);
    bool get_collision_layer_value(int32_t p_layer_number) const;
    void set_collision_mask_value(int32_t p_layer_number, bool p_value);
    bool get_collision_mask_value(int32_t p_layer_number) const;

    // The body's handle in the physics world, valid from construction and unique to this object.
    RID get_rid() const;

protected:
    static void _bind_methods();

    void _standin_entered_tree() override;
    void _standin_exiting_tree() override;
    void _standin_transform_changed() override;
    // The physics world takes a new pose from the node.
    virtual void _standin_set_physics_transform(const Transform3D &p_global);

    // The pose the physics world uses for this body (its own copy, as the engine's server keeps).
    Transform3D physics_transform_;

private:
    friend struct ::standin::detail::SceneAccess;

    uint32_t collision_layer_ = 1;
    uint32_t collision_mask_ = 1;
    RID rid_;
    World3D *world_ = nullptr;      // the world this body is registered with, while in a tree
    bool ignore_transform_ = false; // set while the node takes the body's pose
};

} // namespace godot
