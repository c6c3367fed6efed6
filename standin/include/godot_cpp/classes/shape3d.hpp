// The engine's Shape3D: the geometry of a collision shape, shared by the shapes that use it.
// Abstract to scripts: only its subclasses are instantiated by name.
#pragma once

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/resource.hpp>

namespace godot {

class Shape3D : public Resource {
    GDCLASS(Shape3D, Resource)

public:
    // m; kept for the interface, the stand-in's ray tests use the exact geometry.
    void set_margin(float p_margin);
    float get_margin() const;

protected:
    static void _bind_methods();

private:
    float margin_ = 0.04f;
};

} // namespace godot
