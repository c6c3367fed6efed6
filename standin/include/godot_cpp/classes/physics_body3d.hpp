// The engine's PhysicsBody3D: the common base of static and rigid bodies.
#pragma once

#include <godot_cpp/classes/collision_object3d.hpp>

namespace godot {

class PhysicsBody3D : public CollisionObject3D {
    GDCLASS(PhysicsBody3D, CollisionObject3D)

protected:
    static void _bind_methods();
};

} // namespace godot
