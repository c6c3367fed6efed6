// The combat node's plain records: projectiles in flight, pickups on the sea, and the contact a
// projectile's flight step ends in. Copied by value; no engine objects.
#pragma once

#include "rules/numeric.hpp"

#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>

namespace brinewake {

// What a projectile struck; the values are the script-visible Surface constants.
enum Surface : int32_t {
    SURFACE_AIR = 0, // nothing: the projectile's lifetime ran out in flight
    SURFACE_WATER = 1,
    SURFACE_SOLID = 2, // any world body that is not a boat
    SURFACE_BOAT = 3,
};

// A double-precision position or velocity; projectiles fly in double and leave as engine vectors.
struct Vec3d {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

struct Projectile {
    int64_t id = 0;        // from the node's id sequence, shared with pickups
    int32_t kind = 0;      // the WeaponKind that fired it
    Vec3d position;        // m, world
    Vec3d velocity;        // m/s, world
    double age = 0.0;      // s since firing
    uint64_t owner_id = 0; // instance id of the firing boat; 0 for none
};

struct Pickup {
    int64_t id = 0;
    int32_t kind = 0;      // a weapon kind with pickups, PICKUP_HEALTH or PICKUP_SPEED
    godot::Vector3 anchor; // m, world; x and z place it, y is only stored
    bool active = true;    // collectable; false while waiting to reappear
    double timer = 0.0;    // s until an inactive pickup reappears
};

// Rounds a double vector component-wise to the engine's single precision (finite values beyond the
// single range saturate instead of overflowing).
inline godot::Vector3 to_vector3(const Vec3d &p_vector) {
    return godot::Vector3(round_to_single(p_vector.x), round_to_single(p_vector.y),
                          round_to_single(p_vector.z));
}
// Widens an engine vector.
inline Vec3d to_vec3d(const godot::Vector3 &p_vector) {
    return Vec3d{double(p_vector.x), double(p_vector.y), double(p_vector.z)};
}

} // namespace brinewake
