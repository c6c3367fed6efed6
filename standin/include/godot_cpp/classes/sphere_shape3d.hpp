// The engine's SphereShape3D: a sphere centred on its shape's origin.
#pragma once

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/shape3d.hpp>

namespace godot {

class SphereShape3D : public Shape3D {
    GDCLASS(SphereShape3D, Shape3D)

public:
    // m; a negative radius is refused with an error.
    void set_radius(float p_radius);
    float get_radius() const;

protected:
    static void _bind_methods();

private:
    float radius_ = 0.5f;
};

} // namespace godot
