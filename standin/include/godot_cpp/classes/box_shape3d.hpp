// The engine's BoxShape3D: a box centred on its shape's origin.
#pragma once

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/shape3d.hpp>
#include <godot_cpp/variant/vector3.hpp>

namespace godot {

class BoxShape3D : public Shape3D {
    GDCLASS(BoxShape3D, Shape3D)

public:
    // Full edge lengths, m; negative sizes are refused with an error.
    void set_size(const Vector3 &p_size);
    Vector3 get_size() const;

protected:
    static void _bind_methods();

private:
    Vector3 size_ = Vector3(1, 1, 1);
};

} // namespace godot
