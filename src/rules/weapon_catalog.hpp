// The two weapons and everything that distinguishes them, as one constant record per weapon.
#pragma once

#include <cstdint>

namespace brinewake {

// Stored and passed as a 32-bit integer; also the pickup kind of the weapon's ammunition.
enum WeaponKind : int32_t {
    MODEL_ROCKET = 0,
    WATER_CANNON = 1,
};

inline constexpr int32_t WEAPON_COUNT = 2;

// Pickup kinds beside the weapon kinds.
inline constexpr int32_t PICKUP_HEALTH = 100;
inline constexpr int32_t PICKUP_SPEED = 101;

// Units: metres, seconds, radians, rigid-body impulse units.
struct WeaponSpec {
    const char *id;             // machine name
    const char *name;           // display name
    int32_t max_ammo;           // most ammunition a boat holds, one unit per shot
    int32_t starting_ammo;      // after a weapon reset
    int32_t pickup_amount;      // granted by one pickup; 0: the weapon has no pickups
    double regen_per_second;    // > 0 also makes the weapon selectable while empty
    double regen_delay;         // since the last shot (or held trigger) before regeneration starts
    double refire_interval;     // cooldown after each shot
    bool automatic;             // fires while the trigger is held; otherwise once per press
    double damage;              // health removed by a direct hit; blast damage is this times the falloff
    double blast_radius;        // 0: no blast
    double blast_impulse;       // at the blast centre, scaled by the falloff
    double impact_impulse;      // of a direct hit
    double pickup_radius;       // horizontal collection radius of this weapon's pickups
    double pickup_respawn_time; // until a collected pickup reappears
    double muzzle_speed;        // m/s relative to the firing boat
    double launch_pitch;        // upward elevation of the launch direction
    double thrust;              // m/s^2 of motor acceleration along the velocity
    double burn_time;           // the motor burns this long after launch
    double drag;                // per metre: deceleration is drag * speed^2
    double gravity;             // m/s^2 downwards
    double lifetime;            // a projectile lives this long
    double owner_grace_time;    // the firing boat is left out of the hit tests this long after launch
    double proximity_radius;    // a rocket passing closer than this to a boat strikes it; 0: no test
    double spread;              // radius of the deterministic spread pattern; 0: straight shots
};

// Indexed by WeaponKind.
// clang-format off
inline constexpr WeaponSpec WEAPON_SPECS[WEAPON_COUNT] = {
    {
        "model_rocket", "Model rockets",
        6, 0, 3,          // max_ammo, starting_ammo, pickup_amount
        0.0, 0.0, 0.3,    // regen_per_second, regen_delay, refire_interval
        false,            // automatic
        25.0, 2.6, 420.0, // damage, blast_radius, blast_impulse
        0.0,              // impact_impulse
        1.6, 12.0,        // pickup_radius, pickup_respawn_time
        16.0, 0.0785,     // muzzle_speed, launch_pitch
        55.0, 0.7,        // thrust, burn_time
        0.006, 3.0,       // drag, gravity
        3.0, 0.25,        // lifetime, owner_grace_time
        1.2, 0.0,         // proximity_radius, spread
    },
    {
        "water_cannon", "Water cannon",
        60, 60, 0,        // max_ammo, starting_ammo, pickup_amount
        20.0, 0.6, 0.05,  // regen_per_second, regen_delay, refire_interval
        true,             // automatic
        0.5, 0.0, 0.0,    // damage, blast_radius, blast_impulse
        10.0,             // impact_impulse
        0.0, 0.0,         // pickup_radius, pickup_respawn_time
        32.0, 0.035,      // muzzle_speed, launch_pitch
        0.0, 0.0,         // thrust, burn_time
        0.025, 9.8,       // drag, gravity
        1.5, 0.12,        // lifetime, owner_grace_time
        0.0, 0.035,       // proximity_radius, spread
    },
};
// clang-format on

// Exactly 0 and 1; compared as unsigned, so every negative kind is invalid.
constexpr bool valid_weapon(int p_kind) {
    return static_cast<unsigned>(p_kind) <= 1u;
}

// No checking: pass only kinds that passed valid_weapon.
constexpr const WeaponSpec &spec(WeaponKind p_kind) {
    return WEAPON_SPECS[p_kind];
}

} // namespace brinewake
