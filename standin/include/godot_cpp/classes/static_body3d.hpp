// The engine's StaticBody3D: a body the physics step never moves.
#pragma once

#include <godot_cpp/classes/physics_body3d.hpp>
#include <godot_cpp/variant/vector3.hpp>

namespace godot {

class StaticBody3D : public PhysicsBody3D {
    GDCLASS(StaticBody3D, PhysicsBody3D)

public:
    // Stored for the interface; without contacts they move nothing.
    void set_constant_linear_velocity(const Vector3 &p_vel);
    void set_constant_angular_velocity(const Vector3 &p_vel);
    Vector3 get_constant_linear_velocity() const;
    Vector3 get_constant_angular_velocity() const;

protected:
    static void _bind_methods();

private:
    Vector3 constant_linear_velocity_;
    Vector3 constant_angular_velocity_;
};

} // namespace godot
