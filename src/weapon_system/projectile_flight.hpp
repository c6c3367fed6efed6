// The flight step behind the combat node: moves every projectile by one frame step and sorts the list
// into survivors and finished projectiles with the contacts they ended in. It emits no signals, so it may
// hold boats and world objects for its whole run; its buffers are kept from frame to frame.
#pragma once

#include "combat/combat_records.hpp"
#include "combat/flight.hpp"

#include <godot_cpp/classes/physics_direct_space_state3d.hpp>
#include <godot_cpp/classes/physics_ray_query_parameters3d.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/variant/rid.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>
#include <vector>

class ProjectileFlight {
public:
    ProjectileFlight();

    // The boats the step tests projectiles against, by instance id; each must exist and be a Boat. Their
    // poses are read here, once per frame: nothing moves during the step.
    void set_targets(const std::vector<uint64_t> &p_boat_ids);

    // Moves every projectile of r_projectiles by p_delta seconds against the sea at p_wave_time, the
    // world of p_space (none when null) and the targets. Afterwards r_projectiles holds the survivors in
    // their order, removed() the others in theirs and contacts() where each ended.
    void run(std::vector<brinewake::Projectile> &r_projectiles, double p_delta, double p_wave_time,
             godot::PhysicsDirectSpaceState3D *p_space);

    const std::vector<brinewake::Projectile> &removed() const { return removed_projectiles; }
    const std::vector<brinewake::Contact> &contacts() const { return removed_contacts; }

private:
    struct Target {
        uint64_t id;
        godot::Transform3D to_local; // the boat's inverse global transform
        godot::Vector3 center;       // its hit centre
        double hull_scale;
        double box_reach; // m around the hit centre that holds the whole hull box
    };

    // Moves one projectile and finds the earliest contact along its segment.
    void fly(brinewake::Projectile &r_projectile, double p_delta, double p_wave_time,
             godot::PhysicsDirectSpaceState3D *p_space, brinewake::Contact &r_contact);

    std::vector<Target> targets;
    std::vector<brinewake::Projectile> kept;
    std::vector<brinewake::Projectile> removed_projectiles;
    std::vector<brinewake::Contact> removed_contacts; // parallel to removed_projectiles
    godot::Ref<godot::PhysicsRayQueryParameters3D> ray_query;
    godot::TypedArray<godot::RID> no_exclusion;
    godot::TypedArray<godot::RID> owner_exclusion; // one entry, overwritten per projectile
};
