// The engine's PhysicsRayQueryParameters3D: a ray query's segment and filters.
#pragma once

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/rid.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>

namespace godot {

class PhysicsRayQueryParameters3D : public RefCounted {
    GDCLASS(PhysicsRayQueryParameters3D, RefCounted)

public:
    static Ref<PhysicsRayQueryParameters3D> create(const Vector3 &p_from, const Vector3 &p_to,
                                                   uint32_t p_collision_mask = 4294967295,
                                                   const TypedArray<RID> &p_exclude = {});

    // m, global.
    void set_from(const Vector3 &p_from);
    Vector3 get_from() const;
    void set_to(const Vector3 &p_to);
    Vector3 get_to() const;
    void set_collision_mask(uint32_t p_collision_mask);
    uint32_t get_collision_mask() const;
    void set_exclude(const TypedArray<RID> &p_exclude);
    TypedArray<RID> get_exclude() const;
    void set_collide_with_bodies(bool p_enable);
    bool is_collide_with_bodies_enabled() const;
    // There are no areas in the stand-in's world: stored only.
    void set_collide_with_areas(bool p_enable);
    bool is_collide_with_areas_enabled() const;
    void set_hit_from_inside(bool p_enable);
    bool is_hit_from_inside_enabled() const;
    // Boxes and spheres have no back faces: stored only.
    void set_hit_back_faces(bool p_enable);
    bool is_hit_back_faces_enabled() const;

protected:
    static void _bind_methods();

private:
    Vector3 from_;
    Vector3 to_;
    uint32_t collision_mask_ = 4294967295;
    TypedArray<RID> exclude_;
    bool collide_with_bodies_ = true;
    bool collide_with_areas_ = false;
    bool hit_from_inside_ = false;
    bool hit_back_faces_ = true;
};

} // namespace godot
