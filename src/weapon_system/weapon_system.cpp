#include "weapon_system/weapon_system.hpp"

#include "boat/boat.hpp"
#include "combat/firing.hpp"
#include "combat/impact.hpp"
#include "combat/pickup_rules.hpp"
#include "net/combat_keys.hpp"
#include "rules/numeric.hpp"
#include "weapon_system/weapon_info.hpp"

#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/world3d.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <cmath>

using namespace godot;
using brinewake::Contact;
using brinewake::Pickup;
using brinewake::Projectile;
using brinewake::WeaponSpec;

void WeaponSystem::_bind_methods() {
    ClassDB::bind_method(D_METHOD("set_replica", "value"), &WeaponSystem::set_replica);
    ClassDB::bind_method(D_METHOD("set_replica_state", "shots", "items"), &WeaponSystem::set_replica_state);
    ClassDB::bind_method(D_METHOD("is_replica"), &WeaponSystem::is_replica);
    ClassDB::bind_method(D_METHOD("get_replica_packet"), &WeaponSystem::get_replica_packet);
    ClassDB::bind_method(D_METHOD("set_replica_packet", "packet"), &WeaponSystem::set_replica_packet);
    ClassDB::bind_method(D_METHOD("set_replica_lead", "seconds"), &WeaponSystem::set_replica_lead);
    ClassDB::bind_method(D_METHOD("get_replica_lead"), &WeaponSystem::get_replica_lead);
    ClassDB::bind_method(D_METHOD("register_boat", "boat"), &WeaponSystem::register_boat);
    ClassDB::bind_method(D_METHOD("unregister_boat", "boat"), &WeaponSystem::unregister_boat);
    ClassDB::bind_method(D_METHOD("add_pickup", "kind", "position"), &WeaponSystem::add_pickup);
    ClassDB::bind_method(D_METHOD("clear_pickups"), &WeaponSystem::clear_pickups);
    ClassDB::bind_method(D_METHOD("clear_projectiles"), &WeaponSystem::clear_projectiles);
    ClassDB::bind_method(D_METHOD("save_match_state"), &WeaponSystem::save_match_state);
    ClassDB::bind_method(D_METHOD("restore_match_state", "state"), &WeaponSystem::restore_match_state);
    ClassDB::bind_method(D_METHOD("get_pickups"), &WeaponSystem::get_pickups);
    ClassDB::bind_method(D_METHOD("get_projectiles"), &WeaponSystem::get_projectiles);
    ClassDB::bind_method(D_METHOD("get_projectile_count"), &WeaponSystem::get_projectile_count);
    ClassDB::bind_method(D_METHOD("get_weapon_count"), &WeaponSystem::get_weapon_count);
    ClassDB::bind_method(D_METHOD("get_weapon_info", "kind"), &WeaponSystem::get_weapon_info);
    ClassDB::bind_method(D_METHOD("set_pickup_hover", "hover"), &WeaponSystem::set_pickup_hover);
    ClassDB::bind_method(D_METHOD("get_pickup_hover"), &WeaponSystem::get_pickup_hover);

    ADD_PROPERTY(PropertyInfo(Variant::FLOAT, "pickup_hover"), "set_pickup_hover", "get_pickup_hover");

    BIND_ENUM_CONSTANT(PICKUP_HEALTH);
    BIND_ENUM_CONSTANT(PICKUP_SPEED);
    BIND_ENUM_CONSTANT(SURFACE_AIR);
    BIND_ENUM_CONSTANT(SURFACE_WATER);
    BIND_ENUM_CONSTANT(SURFACE_SOLID);
    BIND_ENUM_CONSTANT(SURFACE_BOAT);

    ADD_SIGNAL(MethodInfo("weapon_fired", PropertyInfo(Variant::OBJECT, "boat"),
                          PropertyInfo(Variant::INT, "kind"), PropertyInfo(Variant::INT, "projectile_id"),
                          PropertyInfo(Variant::VECTOR3, "position"),
                          PropertyInfo(Variant::VECTOR3, "velocity")));
    ADD_SIGNAL(MethodInfo("weapon_empty", PropertyInfo(Variant::OBJECT, "boat"),
                          PropertyInfo(Variant::INT, "kind")));
    ADD_SIGNAL(MethodInfo("projectile_impact", PropertyInfo(Variant::INT, "projectile_id"),
                          PropertyInfo(Variant::INT, "kind"), PropertyInfo(Variant::VECTOR3, "position"),
                          PropertyInfo(Variant::VECTOR3, "normal"), PropertyInfo(Variant::INT, "surface")));
    ADD_SIGNAL(MethodInfo("boat_hit", PropertyInfo(Variant::OBJECT, "boat"),
                          PropertyInfo(Variant::INT, "kind"), PropertyInfo(Variant::FLOAT, "damage"),
                          PropertyInfo(Variant::VECTOR3, "position"),
                          PropertyInfo(Variant::OBJECT, "attacker")));
    ADD_SIGNAL(MethodInfo("pickup_collected", PropertyInfo(Variant::INT, "pickup_id"),
                          PropertyInfo(Variant::OBJECT, "boat"), PropertyInfo(Variant::INT, "kind"),
                          PropertyInfo(Variant::INT, "amount")));
    ADD_SIGNAL(MethodInfo("pickup_respawned", PropertyInfo(Variant::INT, "pickup_id")));
}

WeaponSystem::WeaponSystem() = default;

void WeaponSystem::_ready() {
    set_physics_process(true);
}

// ---- Boats ----

Boat *WeaponSystem::find_boat(uint64_t p_id) {
    return p_id == 0 ? nullptr : Object::cast_to<Boat>(ObjectDB::get_instance(p_id));
}

Boat *WeaponSystem::live_boat(uint64_t p_id) {
    Boat *boat = find_boat(p_id);
    return boat != nullptr && boat->get_health() > 0.0 ? boat : nullptr;
}

void WeaponSystem::live_boats(std::vector<uint64_t> &r_ids) const {
    r_ids.clear();
    for (uint64_t id : boat_ids) {
        if (live_boat(id) != nullptr) {
            r_ids.push_back(id);
        }
    }
}

double WeaponSystem::reference_wave_time() const {
    for (uint64_t id : boat_ids) {
        if (const Boat *boat = find_boat(id)) {
            return boat->get_wave_time();
        }
    }
    return 0.0;
}

void WeaponSystem::register_boat(Node *p_boat) {
    Boat *boat = Object::cast_to<Boat>(p_boat);
    ERR_FAIL_NULL_MSG(boat, "WeaponSystem.register_boat expects a Boat");
    const uint64_t id = boat->get_instance_id();
    for (uint64_t registered : boat_ids) {
        if (registered == id) {
            return;
        }
    }
    boat_ids.push_back(id);
}

void WeaponSystem::unregister_boat(Node *p_boat) {
    if (p_boat == nullptr) {
        return;
    }
    const uint64_t id = p_boat->get_instance_id();
    size_t kept_count = 0;
    for (uint64_t registered : boat_ids) {
        if (registered != id) {
            boat_ids[kept_count++] = registered;
        }
    }
    boat_ids.resize(kept_count);
}

// ---- Frame ----

void WeaponSystem::_physics_process(double p_delta) {
    // A replica simulates nothing: the host's packets drive it. A frame never starts inside another (a
    // handler cannot run the loop it is called from), and a frame length the engine would never give is
    // refused rather than spread as NaN through every projectile.
    if (replica || frame_running || !(p_delta >= 0.0) || !brinewake::is_finite_double(p_delta)) {
        return;
    }
    frame_running = true;
    live_boats(firing_boats);
    for (size_t i = 0; i < firing_boats.size(); ++i) {
        if (!fire_step(firing_boats[i], p_delta)) {
            return;
        }
    }
    if (!advance_projectiles(p_delta) || !update_pickups(p_delta)) {
        return;
    }
    frame_running = false;
}

// ---- Firing ----

bool WeaponSystem::fire_step(uint64_t p_boat_id, double p_delta) {
    // The list was taken at the start of the frame: a boat freed or destroyed by a handler since is skipped.
    Boat *boat = live_boat(p_boat_id);
    if (boat == nullptr) {
        return true;
    }
    brinewake::WeaponInventory &weapons = boat->get_weapons();
    const int32_t kind = weapons.selected_weapon;
    boat->advance_weapon_timers(p_delta);
    const uint64_t self = get_instance_id();
    switch (brinewake::decide_fire(weapons, kind)) {
    case brinewake::FireDecision::HOLD:
        return true;
    case brinewake::FireDecision::EMPTY:
        return emit(self, signals.weapon_empty, boat, kind);
    case brinewake::FireDecision::FIRE:
        break;
    }
    const WeaponSpec &spec = brinewake::spec(static_cast<brinewake::WeaponKind>(kind));
    brinewake::spend_shot(weapons, kind);
    const Vector3 forward = brinewake::firing_forward(boat->get_global_basis());
    const int64_t id = next_id++;
    const brinewake::SpreadOffsets offsets = brinewake::spread_offsets(id, spec.spread);
    const Vector3 muzzle = boat->get_muzzle_position();
    Projectile projectile;
    projectile.id = id;
    projectile.kind = kind;
    projectile.position = brinewake::to_vec3d(muzzle);
    projectile.velocity = brinewake::launch_velocity(spec, forward, offsets, boat->get_linear_velocity());
    projectile.age = 0.0;
    projectile.owner_id = p_boat_id;
    projectiles.push_back(projectile);
    return emit(self, signals.weapon_fired, boat, kind, id, muzzle,
                brinewake::to_vector3(projectile.velocity));
}

// ---- Flight ----

PhysicsDirectSpaceState3D *WeaponSystem::space_state() {
    if (!is_inside_tree()) {
        return nullptr;
    }
    const Ref<World3D> world = get_world_3d();
    return world.is_valid() ? world->get_direct_space_state() : nullptr;
}

bool WeaponSystem::advance_projectiles(double p_delta) {
    if (projectiles.empty()) {
        return true;
    }
    const double wave_time = reference_wave_time();
    live_boats(struck_boats);
    flight.set_targets(struck_boats);
    // Handlers of the resolutions below see only the survivors, and may change them freely: the removed
    // projectiles belong to the flight step until the next frame.
    flight.run(projectiles, p_delta, wave_time, space_state());
    const std::vector<Projectile> &removed = flight.removed();
    const std::vector<Contact> &contacts = flight.contacts();
    for (size_t i = 0; i < removed.size(); ++i) {
        if (!resolve_impact(removed[i], contacts[i])) {
            return false;
        }
    }
    return true;
}

bool WeaponSystem::resolve_impact(const Projectile &p_projectile, const Contact &p_contact) {
    const uint64_t self = get_instance_id();
    const WeaponSpec &spec = brinewake::spec(static_cast<brinewake::WeaponKind>(p_projectile.kind));
    const Vector3 &position = p_contact.position;
    const Vector3 push = brinewake::push_direction(p_projectile.velocity, p_contact.normal);

    // Each resolution takes its own list: a boat destroyed by an earlier impact is out of it.
    live_boats(struck_boats);
    for (size_t i = 0; i < struck_boats.size(); ++i) {
        const uint64_t id = struck_boats[i];
        Boat *boat = live_boat(id); // a handler may have freed or destroyed it since the list was taken
        if (boat == nullptr) {
            continue;
        }
        const Transform3D transform = boat->get_global_transform();
        const Vector3 center = brinewake::hit_center(transform);
        const bool direct = id == p_contact.collider_id;
        double falloff = 1.0;
        if (!direct) {
            if (!(spec.blast_radius > 0.0)) {
                continue;
            }
            falloff = brinewake::blast_falloff(center, position, spec.blast_radius);
            if (!(falloff > 0.0)) {
                continue;
            }
        }
        const Vector3 offset = position - transform.origin;
        if (spec.blast_impulse > 0.0) {
            const Vector3 away = brinewake::blast_direction(center, position);
            boat->apply_impulse(away * static_cast<float>(spec.blast_impulse) * static_cast<float>(falloff),
                                offset * brinewake::BLAST_OFFSET_SCALE);
        }
        if (direct && spec.impact_impulse > 0.0) {
            boat->apply_impulse(push * static_cast<float>(spec.impact_impulse), offset);
        }
        const double damage = falloff * spec.damage;
        boat->apply_damage(damage); // may emit the boat's "destroyed"
        if (ObjectDB::get_instance(self) == nullptr) {
            return false;
        }
        // Both boats are looked up again: a "destroyed" handler may have freed either.
        if (!emit(self, signals.boat_hit, find_boat(id), p_projectile.kind, damage, position,
                  find_boat(p_projectile.owner_id))) {
            return false;
        }
    }

    if (p_contact.collider_id != 0) {
        RigidBody3D *body = Object::cast_to<RigidBody3D>(ObjectDB::get_instance(p_contact.collider_id));
        if (body != nullptr && Object::cast_to<Boat>(body) == nullptr) {
            body->apply_impulse(brinewake::struck_body_impulse(spec, push),
                                position - body->get_global_position());
        }
    }
    return emit(self, signals.projectile_impact, p_projectile.id, p_projectile.kind, position,
                p_contact.normal, p_contact.surface);
}

// ---- Pickups ----

bool WeaponSystem::update_pickups(double p_delta) {
    if (pickups.empty()) {
        return true;
    }
    const uint64_t self = get_instance_id();
    const double wave_time = reference_wave_time();
    live_boats(collecting_boats);
    // Pickups added by handlers during the walk wait for the next frame; a list emptied or replaced by a
    // handler ends the walk.
    const uint64_t version = pickups_version;
    const size_t count = pickups.size();
    for (size_t i = 0; i < count; ++i) {
        Pickup &pickup = pickups[i]; // not held across an emission
        if (!pickup.active) {
            pickup.timer -= p_delta;
            if (pickup.timer <= 0.0) {
                pickup.active = true;
                const int64_t pickup_id = pickup.id;
                if (!emit(self, signals.pickup_respawned, pickup_id)) {
                    return false;
                }
                if (pickups_version != version) {
                    return true;
                }
            }
            continue;
        }
        if (collecting_boats.empty()) {
            continue;
        }
        const double radius = brinewake::pickup_radius(pickup.kind);
        const float height = brinewake::pickup_display_height(pickup.anchor, wave_time, pickup_hover);
        for (uint64_t id : collecting_boats) {
            Boat *boat = live_boat(id);
            if (boat == nullptr ||
                !brinewake::pickup_within_reach(boat->get_global_position(), pickup.anchor, height, radius)) {
                continue;
            }
            int32_t amount = 0;
            if (brinewake::valid_weapon(pickup.kind)) {
                amount = boat->add_ammo(
                    pickup.kind,
                    brinewake::spec(static_cast<brinewake::WeaponKind>(pickup.kind)).pickup_amount);
            } else if (pickup.kind == PICKUP_HEALTH) {
                amount =
                    static_cast<int32_t>(std::ceil(boat->restore_health(brinewake::HEALTH_PICKUP_AMOUNT)));
            } else if (pickup.kind == PICKUP_SPEED) {
                amount = boat->activate_speed_boost() ? brinewake::SPEED_PICKUP_AMOUNT : 0;
            }
            if (amount <= 0) {
                continue; // this boat cannot use it; the next may
            }
            pickup.active = false;
            pickup.timer = brinewake::pickup_respawn_time(pickup.kind);
            const int64_t pickup_id = pickup.id;
            const int32_t kind = pickup.kind;
            if (!emit(self, signals.pickup_collected, pickup_id, boat, kind, amount)) {
                return false;
            }
            break;
        }
        if (pickups_version != version) {
            return true;
        }
    }
    return true;
}

int64_t WeaponSystem::add_pickup(int32_t kind, const Vector3 &position) {
    ERR_FAIL_COND_V_MSG(!position.is_finite(), -1, "Pickup position must be finite");
    ERR_FAIL_COND_V_MSG(!brinewake::valid_weapon(kind) && kind != PICKUP_HEALTH && kind != PICKUP_SPEED, -1,
                        "Unknown pickup kind");
    ERR_FAIL_COND_V_MSG(brinewake::valid_weapon(kind) &&
                            brinewake::spec(static_cast<brinewake::WeaponKind>(kind)).pickup_amount <= 0,
                        -1, "This weapon has no pickups");
    const int64_t id = next_id++;
    Pickup pickup;
    pickup.id = id;
    pickup.kind = kind;
    pickup.anchor = position;
    pickups.push_back(pickup);
    return id;
}

void WeaponSystem::clear_pickups() {
    pickups.clear();
    ++pickups_version;
}

void WeaponSystem::clear_projectiles() {
    projectiles.clear();
}

Array WeaponSystem::get_pickups() const {
    if (replica) {
        return replica_items;
    }
    const brinewake::CombatKeys keys;
    Array result;
    const double wave_time = reference_wave_time();
    for (const Pickup &pickup : pickups) {
        Dictionary entry;
        entry[keys.id] = pickup.id;
        entry[keys.kind] = pickup.kind;
        entry[keys.position] =
            Vector3(pickup.anchor.x, brinewake::pickup_display_height(pickup.anchor, wave_time, pickup_hover),
                    pickup.anchor.z);
        entry[keys.active] = pickup.active;
        result.push_back(entry);
    }
    return result;
}

int32_t WeaponSystem::get_projectile_count() const {
    return static_cast<int32_t>(projectiles.size());
}

int32_t WeaponSystem::get_weapon_count() const {
    return brinewake::WEAPON_COUNT;
}

Dictionary WeaponSystem::get_weapon_info(int32_t p_kind) const {
    return brinewake::get_weapon_info(p_kind);
}

void WeaponSystem::set_pickup_hover(double p_hover) {
    if (brinewake::is_finite_double(p_hover)) {
        pickup_hover = p_hover;
    }
}

double WeaponSystem::get_pickup_hover() const {
    return pickup_hover;
}
