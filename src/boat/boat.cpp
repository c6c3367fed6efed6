#include "boat/boat.hpp"

#include "rules/controls.hpp"

#include "rules/hull_model.hpp"
#include "rules/wave_field.hpp"

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/vector4.hpp>

#include <algorithm>
#include <cfloat>
#include <cmath>

using namespace godot;

namespace {

// A respawn countdown at or below this has run out.
constexpr double RESPAWN_EPSILON = 1e-8;

// Received timers: a positive finite value as is, anything else 0.
double received_time(double p_value) {
    return (std::isfinite(p_value) && p_value > 0.0) ? p_value : 0.0;
}

} // namespace

const Vector3 Boat::MUZZLE_OFFSET = Vector3(0.0f, 0.5676f, -0.9471f);

void Boat::_bind_methods() {
    ClassDB::bind_method(D_METHOD("get_respawn_remaining"), &Boat::get_respawn_remaining);
    ADD_SIGNAL(MethodInfo("destroyed"));
    ADD_SIGNAL(MethodInfo("respawned"));
    ClassDB::bind_method(D_METHOD("set_wave_time", "value"), &Boat::set_wave_time);
    ClassDB::bind_method(D_METHOD("set_spawn_position", "position"), &Boat::set_spawn_position);
    ClassDB::bind_method(D_METHOD("get_spawn_position"), &Boat::get_spawn_position);
    ClassDB::bind_method(D_METHOD("set_spawn_yaw", "yaw"), &Boat::set_spawn_yaw);
    ClassDB::bind_method(D_METHOD("get_spawn_yaw"), &Boat::get_spawn_yaw);
    ClassDB::bind_method(D_METHOD("get_network_state"), &Boat::get_network_state);
    ClassDB::bind_method(D_METHOD("apply_network_state", "state"), &Boat::apply_network_state);
    ClassDB::bind_method(D_METHOD("get_network_packet"), &Boat::get_network_packet);
    ClassDB::bind_method(D_METHOD("apply_network_packet", "packet"), &Boat::apply_network_packet);
    ClassDB::bind_method(D_METHOD("set_controls", "throttle", "steering"), &Boat::set_controls);
    ClassDB::bind_method(D_METHOD("reset_boat"), &Boat::reset_boat);
    ClassDB::bind_method(D_METHOD("get_health"), &Boat::get_health);
    ClassDB::bind_method(D_METHOD("get_max_health"), &Boat::get_max_health);
    ClassDB::bind_method(D_METHOD("restore_health", "amount"), &Boat::restore_health);
    ClassDB::bind_method(D_METHOD("apply_damage", "amount"), &Boat::apply_damage);
    ClassDB::bind_method(D_METHOD("activate_speed_boost"), &Boat::activate_speed_boost);
    ClassDB::bind_method(D_METHOD("get_speed_boost_remaining"), &Boat::get_speed_boost_remaining);
    ClassDB::bind_method(D_METHOD("set_wind", "wind"), &Boat::set_wind);
    ClassDB::bind_method(D_METHOD("get_wind"), &Boat::get_wind);
    ClassDB::bind_method(D_METHOD("get_wave_time"), &Boat::get_wave_time);
    ClassDB::bind_method(D_METHOD("get_hull_scale"), &Boat::get_hull_scale);
    ClassDB::bind_method(D_METHOD("wave_height", "x", "z"), &Boat::wave_height);
    ClassDB::bind_method(D_METHOD("get_wave_parameters"), &Boat::get_wave_parameters);
    ClassDB::bind_method(D_METHOD("get_wave_phases"), &Boat::get_wave_phases);
    ClassDB::bind_method(D_METHOD("set_trigger", "pressed"), &Boat::set_trigger);
    ClassDB::bind_method(D_METHOD("select_weapon", "kind"), &Boat::select_weapon);
    ClassDB::bind_method(D_METHOD("get_selected_weapon"), &Boat::get_selected_weapon);
    ClassDB::bind_method(D_METHOD("get_ammo", "kind"), &Boat::get_ammo);
    ClassDB::bind_method(D_METHOD("add_ammo", "kind", "amount"), &Boat::add_ammo);
    ClassDB::bind_method(D_METHOD("cycle_weapon", "direction"), &Boat::cycle_weapon, DEFVAL(1));
    ClassDB::bind_method(D_METHOD("reset_weapons"), &Boat::reset_weapons);
    ClassDB::bind_method(D_METHOD("get_muzzle_position"), &Boat::get_muzzle_position);
}

Boat::Boat() {
    set_mass(brinewake::HULL_MASS);
    set_can_sleep(false);
    set_linear_damp(0.08f);
    set_angular_damp(1.8f);
    set_center_of_mass_mode(CENTER_OF_MASS_MODE_CUSTOM);
    set_center_of_mass(brinewake::HULL_CENTER_OF_MASS);
    set_use_continuous_collision_detection(true);
}

// Physics step. The normal path (alive, no reset pending) works on values only and allocates nothing.
void Boat::_integrate_forces(PhysicsDirectBodyState3D *p_state) {
    if (p_state == nullptr) {
        return;
    }
    const double dt = double(p_state->get_step());
    wave_time += dt;

    if (health <= 0.0) {
        p_state->set_transform(death_transform);
        respawn_remaining = std::max(respawn_remaining - dt, 0.0);
        p_state->set_linear_velocity(Vector3());
        p_state->set_angular_velocity(Vector3());
        if (respawn_remaining > RESPAWN_EPSILON) {
            return;
        }
        const uint64_t self = get_instance_id();
        respawn(); // requests a reset, carried out below in this same step
        if (ObjectDB::get_instance(self) == nullptr) {
            return; // a "respawned" handler freed the boat
        }
    }

    speed_boost_remaining = std::max(speed_boost_remaining - dt, 0.0);

    if (reset_pending) {
        const Basis basis(Vector3(0.0f, 1.0f, 0.0f), spawn_heading());
        p_state->set_transform(Transform3D(basis, spawn_position));
        p_state->set_linear_velocity(Vector3());
        p_state->set_angular_velocity(Vector3());
        reset_pending = false;
        return;
    }

    const brinewake::HullForces forces = brinewake::compute_hull_forces(
        p_state->get_transform(), p_state->get_linear_velocity(), p_state->get_angular_velocity(), wave_time,
        throttle, steering, speed_boost_remaining, wind);
    p_state->apply_central_force(forces.force);
    p_state->apply_torque(forces.torque);
}

void Boat::destroy() {
    respawn_remaining = RESPAWN_DELAY;
    death_transform = get_global_transform();
    reset_pending = false;
    weapons.release_trigger();
    speed_boost_remaining = 0.0;
    throttle = 0.0;
    steering = 0.0;
    set_collisions_enabled(false);
    emit_signal("destroyed");
}

void Boat::respawn() {
    health = MAX_HEALTH;
    respawn_remaining = 0.0;
    weapons.reset();
    set_collisions_enabled(true);
    reset_boat();
    emit_signal("respawned");
}

double Boat::get_respawn_remaining() const {
    return respawn_remaining;
}

void Boat::set_wave_time(double p_value) {
    if (p_value >= 0.0 && brinewake::usable_wave_time(p_value)) {
        wave_time = p_value;
    }
}

void Boat::set_spawn_position(const Vector3 &p_position) {
    if (p_position.is_finite()) {
        spawn_position = p_position;
    }
}

Vector3 Boat::get_spawn_position() const {
    return spawn_position;
}

void Boat::set_spawn_yaw(double p_yaw) {
    if (std::isfinite(p_yaw)) {
        spawn_yaw = p_yaw;
    }
}

double Boat::get_spawn_yaw() const {
    return spawn_yaw;
}

static_assert(Boat::MAX_WIND == double(brinewake::MAX_WIND_LENGTH),
              "one wind limit for the boat and its packets");

real_t Boat::spawn_heading() const {
    // Any finite yaw is kept as given; one beyond the single range is first reduced to a turn, which
    // narrowing would otherwise make infinite and the spawn basis NaN.
    const double yaw =
        std::fabs(spawn_yaw) <= double(FLT_MAX) ? spawn_yaw : std::remainder(spawn_yaw, 2.0 * M_PI);
    return static_cast<real_t>(yaw);
}

void Boat::set_controls(double p_throttle, double p_steering) {
    if (health <= 0.0) {
        throttle = 0.0;
        steering = 0.0;
        return;
    }
    throttle = brinewake::clamp_control(p_throttle);
    steering = brinewake::clamp_control(p_steering);
}

void Boat::reset_boat() {
    if (health <= 0.0) {
        return; // a destroyed boat waits for its respawn
    }
    reset_pending = true;
    speed_boost_remaining = 0.0;
    health = MAX_HEALTH;
}

double Boat::get_health() const {
    return health;
}

double Boat::get_max_health() const {
    return MAX_HEALTH;
}

double Boat::restore_health(double p_amount) {
    if (health <= 0.0 || !std::isfinite(p_amount) || p_amount <= 0.0) {
        return 0.0;
    }
    const double added = std::min(MAX_HEALTH - health, p_amount);
    health += added;
    return added;
}

void Boat::apply_damage(double p_amount) {
    if (health <= 0.0 || !std::isfinite(p_amount) || p_amount <= 0.0) {
        return;
    }
    health = std::max(health - p_amount, 0.0);
    if (health == 0.0) {
        destroy();
    }
}

bool Boat::activate_speed_boost() {
    if (health <= 0.0 || speed_boost_remaining > 0.0) {
        return false; // a running boost is neither extended nor restarted
    }
    speed_boost_remaining = SPEED_BOOST_DURATION;
    return true;
}

double Boat::get_speed_boost_remaining() const {
    return speed_boost_remaining;
}

void Boat::set_wind(const Vector2 &p_wind) {
    wind = p_wind.is_finite() ? brinewake::limit_wind(p_wind.x, p_wind.y) : Vector2();
}

Vector2 Boat::get_wind() const {
    return wind;
}

double Boat::get_wave_time() const {
    return wave_time;
}

double Boat::get_hull_scale() const {
    return HULL_SCALE;
}

double Boat::wave_height(double p_x, double p_z) const {
    return brinewake::wave_height(p_x, p_z, wave_time);
}

PackedVector4Array Boat::get_wave_parameters() const {
    PackedVector4Array parameters;
    for (const brinewake::Wave &wave : brinewake::WAVES) {
        parameters.push_back(Vector4(static_cast<real_t>(wave.amplitude), static_cast<real_t>(wave.kx),
                                     static_cast<real_t>(wave.kz), static_cast<real_t>(wave.omega)));
    }
    return parameters;
}

PackedFloat32Array Boat::get_wave_phases() const {
    PackedFloat32Array phases;
    for (const brinewake::Wave &wave : brinewake::WAVES) {
        phases.push_back(static_cast<float>(wave.phase));
    }
    return phases;
}

void Boat::set_trigger(bool p_pressed) {
    weapons.set_trigger(p_pressed, health > 0.0);
}

bool Boat::select_weapon(int32_t p_kind) {
    return weapons.select_weapon(p_kind);
}

int32_t Boat::get_selected_weapon() const {
    return weapons.selected_weapon;
}

int32_t Boat::get_ammo(int32_t p_kind) const {
    return weapons.get_ammo(p_kind);
}

int32_t Boat::add_ammo(int32_t p_kind, int32_t p_amount) {
    return weapons.add_ammo(p_kind, p_amount);
}

int32_t Boat::cycle_weapon(int32_t p_direction) {
    return weapons.cycle_weapon(p_direction);
}

void Boat::reset_weapons() {
    weapons.reset();
}

Vector3 Boat::get_muzzle_position() const {
    return get_global_transform().xform(MUZZLE_OFFSET);
}

void Boat::advance_weapon_timers(double p_dt) {
    weapons.advance_timers(p_dt);
}

void Boat::set_collisions_enabled(bool p_enabled) {
    if (p_enabled) {
        set_collision_layer(saved_collision_layer);
        set_collision_mask(saved_collision_mask);
        return;
    }
    saved_collision_layer = get_collision_layer();
    saved_collision_mask = get_collision_mask();
    set_collision_layer(0);
    set_collision_mask(0);
}

void Boat::apply_snapshot(const Transform3D &p_transform, const Vector3 &p_linear_velocity, double p_health,
                          double p_respawn_remaining, double p_speed_boost_remaining, int32_t p_weapon,
                          const int32_t *p_ammo, int32_t p_ammo_count) {
    const bool was_alive = health > 0.0;
    // A NaN health is neither alive nor destroyed: keep the current health, apply the rest.
    if (!std::isnan(p_health)) {
        health = std::clamp(p_health, 0.0, MAX_HEALTH);
    }
    // Non-finite timers become 0: an infinite boost would never run out.
    respawn_remaining = received_time(p_respawn_remaining);
    speed_boost_remaining = received_time(p_speed_boost_remaining);
    weapons.apply_received(p_weapon, p_ammo, p_ammo_count);
    // A non-finite velocity is not applied; the body keeps its current one.
    if (p_linear_velocity.is_finite()) {
        set_linear_velocity(p_linear_velocity);
    }
    const bool alive = health > 0.0;
    if (alive == was_alive) {
        return; // the pose follows received state only across destruction and respawn
    }
    // A non-finite pose is never applied; the boat stays where it is.
    if (p_transform.is_finite()) {
        set_global_transform(p_transform);
    }
    set_collisions_enabled(alive);
    emit_signal(alive ? "respawned" : "destroyed");
}
