// The engine's World3D: the physics space shared by the bodies of one scene tree.
#pragma once

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/resource.hpp>
#include <godot_cpp/variant/rid.hpp>

#include <vector>

namespace standin::detail {
struct SceneAccess;
}

namespace godot {

class CollisionObject3D;
class PhysicsDirectSpaceState3D;

class World3D : public Resource {
    GDCLASS(World3D, Resource)

public:
    World3D();
    ~World3D() override;

    RID get_space() const;
    // Ray queries against the bodies of this world; owned by the world.
    PhysicsDirectSpaceState3D *get_direct_space_state();

protected:
    static void _bind_methods();

private:
    friend struct ::standin::detail::SceneAccess;

    RID space_;
    PhysicsDirectSpaceState3D *space_state_ = nullptr;
    // The collision objects in the world, in the order they entered it.
    std::vector<CollisionObject3D *> bodies_;
};

} // namespace godot
