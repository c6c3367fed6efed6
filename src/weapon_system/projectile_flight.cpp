#include "weapon_system/projectile_flight.hpp"

#include "boat/boat.hpp"
#include "rules/numeric.hpp"
#include "rules/weapon_catalog.hpp"

#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/dictionary.hpp>

using namespace godot;
using brinewake::Contact;
using brinewake::Projectile;
using brinewake::WeaponSpec;

void ProjectileFlight::set_targets(const std::vector<uint64_t> &p_boat_ids) {
    targets.clear();
    for (uint64_t id : p_boat_ids) {
        const Boat *boat = Object::cast_to<Boat>(ObjectDB::get_instance(id));
        if (boat == nullptr) {
            continue;
        }
        const Transform3D transform = boat->get_global_transform();
        targets.push_back(
            Target{id, transform.affine_inverse(), brinewake::hit_center(transform), boat->get_hull_scale()});
    }
}

void ProjectileFlight::run(std::vector<Projectile> &r_projectiles, double p_delta, double p_wave_time,
                           PhysicsDirectSpaceState3D *p_space) {
    if (p_space != nullptr && ray_query.is_null()) {
        ray_query = PhysicsRayQueryParameters3D::create(Vector3(), Vector3(), brinewake::RAY_COLLISION_MASK);
    }
    kept.clear();
    kept.reserve(r_projectiles.size());
    removed_projectiles.clear();
    removed_contacts.clear();
    for (Projectile projectile : r_projectiles) {
        if (!brinewake::valid_weapon(projectile.kind)) {
            continue; // no catalogue entry to fly it by
        }
        Contact contact;
        fly(projectile, p_delta, p_wave_time, p_space, contact);
        if (contact.fraction <= 1.0) {
            removed_projectiles.push_back(projectile);
            removed_contacts.push_back(contact);
        } else if (projectile.age >=
                   brinewake::spec(static_cast<brinewake::WeaponKind>(projectile.kind)).lifetime) {
            contact.position = brinewake::to_vector3(projectile.position); // expired in the air
            removed_projectiles.push_back(projectile);
            removed_contacts.push_back(contact);
        } else {
            kept.push_back(projectile);
        }
    }
    r_projectiles.swap(kept);
}

void ProjectileFlight::fly(Projectile &r_projectile, double p_delta, double p_wave_time,
                           PhysicsDirectSpaceState3D *p_space, Contact &r_contact) {
    const WeaponSpec &spec = brinewake::spec(static_cast<brinewake::WeaponKind>(r_projectile.kind));
    const double age_before = r_projectile.age;
    const Vector3 from = brinewake::to_vector3(r_projectile.position);
    brinewake::integrate_projectile(r_projectile, spec, p_delta);
    const Vector3 to = brinewake::to_vector3(r_projectile.position);
    const Vector3 delta = to - from;

    // The firing boat is left out of every test while the projectile is young.
    const bool owner_in_grace = age_before < spec.owner_grace_time;
    const Boat *owner =
        owner_in_grace ? Object::cast_to<Boat>(ObjectDB::get_instance(r_projectile.owner_id)) : nullptr;

    if (p_space != nullptr) {
        ray_query->set_from(from);
        ray_query->set_to(to);
        if (owner != nullptr) {
            TypedArray<RID> exclude;
            exclude.push_back(owner->get_rid());
            ray_query->set_exclude(exclude);
        } else {
            ray_query->set_exclude(no_exclusion);
        }
        const Dictionary hit = p_space->intersect_ray(ray_query);
        if (!hit.is_empty()) {
            r_contact.position = hit["position"];
            r_contact.fraction = brinewake::ray_hit_fraction(from, delta, r_contact.position);
            r_contact.normal = hit["normal"];
            const Object *collider = hit["collider"];
            r_contact.collider_id = collider != nullptr ? collider->get_instance_id() : 0;
            r_contact.surface = collider != nullptr && collider->is_class("Boat") ? brinewake::SURFACE_BOAT
                                                                                  : brinewake::SURFACE_SOLID;
        }
    }

    double water_fraction = 0.0;
    Vector3 water_point;
    if (brinewake::find_water_crossing(from, delta, p_wave_time, water_fraction, water_point) &&
        r_contact.fraction > water_fraction) {
        r_contact.fraction = water_fraction;
        r_contact.position = water_point;
        r_contact.normal = Vector3(0.0f, 1.0f, 0.0f);
        r_contact.surface = brinewake::SURFACE_WATER;
        r_contact.collider_id = 0;
    }

    const bool hull_box = r_projectile.kind == brinewake::WATER_CANNON;
    for (const Target &target : targets) {
        if (owner_in_grace && target.id == r_projectile.owner_id) {
            continue;
        }
        double fraction = brinewake::NO_CONTACT;
        const bool struck =
            hull_box
                ? brinewake::hull_box_entry(target.to_local.xform(from), target.to_local.xform(to),
                                            target.hull_scale, fraction)
                : brinewake::proximity_fraction(from, to, target.center, spec.proximity_radius, fraction);
        // Strictly earlier only: an earlier candidate at the same fraction stands.
        if (struck && brinewake::is_finite_double(fraction) && fraction < r_contact.fraction) {
            r_contact.fraction = fraction;
            r_contact.position = brinewake::point_on_segment(from, delta, fraction);
            r_contact.normal = brinewake::safe_normalized(r_contact.position - target.center);
            r_contact.surface = brinewake::SURFACE_BOAT;
            r_contact.collider_id = target.id;
        }
    }
}
