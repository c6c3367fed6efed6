#include "weapon_system/projectile_flight.hpp"

#include "boat/boat.hpp"
#include "rules/numeric.hpp"
#include "rules/weapon_catalog.hpp"

#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/dictionary.hpp>

#include <algorithm>
#include <cmath>

using namespace godot;
using brinewake::Contact;
using brinewake::Projectile;
using brinewake::WeaponSpec;

namespace {

// The largest factor by which p_basis stretches a vector: 1 for a rotation (within rounding), otherwise
// bounded by its Frobenius norm.
double stretch_bound(const Basis &p_basis) {
    const Vector3 x = p_basis.get_column(0);
    const Vector3 y = p_basis.get_column(1);
    const Vector3 z = p_basis.get_column(2);
    const double xx = double(x.dot(x)), yy = double(y.dot(y)), zz = double(z.dot(z));
    const double xy = double(x.dot(y)), xz = double(x.dot(z)), yz = double(y.dot(z));
    constexpr double TOLERANCE = 1e-4;
    const bool rotation = std::fabs(xx - 1.0) < TOLERANCE && std::fabs(yy - 1.0) < TOLERANCE &&
                          std::fabs(zz - 1.0) < TOLERANCE && std::fabs(xy) < TOLERANCE &&
                          std::fabs(xz) < TOLERANCE && std::fabs(yz) < TOLERANCE;
    return rotation ? 1.0 + TOLERANCE : std::sqrt(xx + yy + zz);
}

// World radius around a boat's hit centre that holds its whole hull box.
double hull_box_reach(const Basis &p_basis, double p_hull_scale) {
    const double half_width = brinewake::HULL_BOX_HALF_WIDTH * p_hull_scale + brinewake::HULL_BOX_MARGIN;
    const double half_length = brinewake::HULL_BOX_HALF_LENGTH * p_hull_scale + brinewake::HULL_BOX_MARGIN;
    const double center = double(brinewake::HIT_CENTER_HEIGHT);
    const double above = brinewake::HULL_BOX_ABOVE * p_hull_scale + brinewake::HULL_BOX_MARGIN - center;
    const double below = brinewake::HULL_BOX_BELOW * p_hull_scale + brinewake::HULL_BOX_MARGIN + center;
    const double height = std::max(above, below);
    return std::sqrt(half_width * half_width + height * height + half_length * half_length) *
           stretch_bound(p_basis);
}

// True when p_from lies so far from p_center that nothing within p_limit of p_from can reach it; judged
// with a margin, so that only boats the exact tests would miss anyway are skipped. Non-finite inputs are
// never skipped: the exact tests decide.
bool out_of_reach(const Vector3 &p_from, const Vector3 &p_center, double p_limit) {
    const double dx = double(p_from.x) - double(p_center.x);
    const double dy = double(p_from.y) - double(p_center.y);
    const double dz = double(p_from.z) - double(p_center.z);
    const double bound = p_limit * 1.001 + 0.01;
    return dx * dx + dy * dy + dz * dz > bound * bound;
}

bool finite(const brinewake::Vec3d &p_vector) {
    return brinewake::is_finite_double(p_vector.x) && brinewake::is_finite_double(p_vector.y) &&
           brinewake::is_finite_double(p_vector.z);
}

// The projectile's state is finite and its step fits single precision.
bool steppable(const Projectile &p_projectile, const Vector3 &p_delta) {
    return finite(p_projectile.position) && finite(p_projectile.velocity) &&
           brinewake::is_finite_single(p_delta.x) && brinewake::is_finite_single(p_delta.y) &&
           brinewake::is_finite_single(p_delta.z);
}

} // namespace

ProjectileFlight::ProjectileFlight() {
    owner_exclusion.push_back(RID());
}

void ProjectileFlight::set_targets(const std::vector<uint64_t> &p_boat_ids) {
    targets.clear();
    for (uint64_t id : p_boat_ids) {
        const Boat *boat = Object::cast_to<Boat>(ObjectDB::get_instance(id));
        if (boat == nullptr) {
            continue;
        }
        const Transform3D transform = boat->get_global_transform();
        const double hull_scale = boat->get_hull_scale();
        targets.push_back(Target{id, transform.affine_inverse(), brinewake::hit_center(transform), hull_scale,
                                 hull_box_reach(transform.basis, hull_scale)});
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

    // At an extreme speed the drag step overshoots and the state grows until it overflows; a step that
    // has left the numbers cannot be tested against anything, so the projectile ends in the air where
    // the step began.
    if (!steppable(r_projectile, delta)) {
        r_contact.fraction = 0.0;
        r_contact.position = from;
        return;
    }

    // The firing boat is left out of every test while the projectile is young.
    const bool owner_in_grace = age_before < spec.owner_grace_time;

    if (p_space != nullptr) {
        ray_query->set_from(from);
        ray_query->set_to(to);
        const Boat *owner =
            owner_in_grace ? Object::cast_to<Boat>(ObjectDB::get_instance(r_projectile.owner_id)) : nullptr;
        if (owner != nullptr) {
            owner_exclusion[0] = owner->get_rid(); // reused: no array is built per projectile
            ray_query->set_exclude(owner_exclusion);
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
            r_contact.surface = Object::cast_to<Boat>(collider) != nullptr ? brinewake::SURFACE_BOAT
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
    const double segment_length =
        std::sqrt(double(delta.x) * double(delta.x) + double(delta.y) * double(delta.y) +
                  double(delta.z) * double(delta.z));
    for (const Target &target : targets) {
        if (owner_in_grace && target.id == r_projectile.owner_id) {
            continue;
        }
        const double reach = hull_box ? target.box_reach : spec.proximity_radius;
        if (out_of_reach(from, target.center, reach + segment_length)) {
            continue; // no point of the segment comes near enough for the exact test to strike
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
