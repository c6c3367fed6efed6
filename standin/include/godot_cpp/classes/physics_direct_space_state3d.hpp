// The engine's PhysicsDirectSpaceState3D: queries against the bodies of one world.
#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/dictionary.hpp>

namespace standin::detail {
struct SceneAccess;
}

namespace godot {

class PhysicsRayQueryParameters3D;
class World3D;

class PhysicsDirectSpaceState3D : public Object {
    GDCLASS(PhysicsDirectSpaceState3D, Object)

public:
    // The closest hit of the ray on the box and sphere shapes of the world's bodies whose collision
    // layer shares a bit with the query's mask and whose RID is not excluded. Empty on a miss, else
    // "position", "normal", "face_index" (-1), "collider_id", "collider", "shape" (the shape's
    // index in its body), "rid", in this order. Shapes that contain the ray's start are skipped
    // unless the query hits from inside; then the hit is at the start with a zero normal.
    Dictionary intersect_ray(const Ref<PhysicsRayQueryParameters3D> &p_parameters);

protected:
    static void _bind_methods();

private:
    friend struct ::standin::detail::SceneAccess;

    World3D *world_ = nullptr;
};

} // namespace godot
