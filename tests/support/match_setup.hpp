// The layout of a whole match, made from a seed: boats on a spawn ring facing the centre, a few
// static boxes as obstacles, and rocket, health and speed pickups between them. The simulator's match,
// the determinism test and the benchmarks build the same match from the same seed.
//
// Placement draws only from SplitMix64, a generator written out here, so a seed gives the same layout
// with every compiler and standard library (the standard distributions differ between libraries).
#pragma once

#include "match_scene.hpp"

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>
#include <vector>

namespace brinewake_test {

// splitmix64 (Steele, Lea and Flood): one 64-bit state, a fixed output mix.
class SplitMix64 {
public:
    explicit SplitMix64(uint64_t p_seed) : state(p_seed) {}

    uint64_t next();
    // Uniform in [0, 1), from the top 53 bits of next().
    double next_unit();
    // Uniform in [p_low, p_high).
    double uniform(double p_low, double p_high);

private:
    uint64_t state;
};

struct SpawnPlacement {
    godot::Vector3 position; // m
    double yaw = 0.0;        // rad about world +Y; the bow faces the arena's centre
};

struct ObstaclePlacement {
    godot::Vector3 center; // m
    godot::Vector3 size;   // m, full extents of the box
};

struct PickupPlacement {
    int32_t kind = 0;        // 0 rockets, 100 health, 101 speed
    godot::Vector3 position; // m; the pickup floats on the sea above x, z
};

struct MatchLayout {
    std::vector<SpawnPlacement> spawns; // one per boat, in boat order
    std::vector<ObstaclePlacement> obstacles;
    std::vector<PickupPlacement> pickups;
};

inline constexpr double MATCH_ARENA_RADIUS = 30.0; // m; everything is placed within it
inline constexpr double MATCH_SPAWN_RADIUS = 20.0; // m; the spawn ring around the centre
inline constexpr int32_t MATCH_PICKUP_ROCKETS = 0;
inline constexpr int32_t MATCH_PICKUP_HEALTH = 100;
inline constexpr int32_t MATCH_PICKUP_SPEED = 101;

// The layout for p_boats boats (at least 1): the ring's phase, 5 obstacles and the pickups (as many
// rocket pickups as boats, at least 2; half as many health and speed pickups, at least 1 each) are
// placed from p_seed. Obstacles keep clear of the spawn points, pickups of the obstacles and of each
// other.
MatchLayout make_match_layout(int p_boats, uint64_t p_seed);

// A layout built into a scene.
struct BuiltMatch {
    godot::Node3D *combat = nullptr; // owned by the scene's tree; null when "WeaponSystem" is missing
    std::vector<int64_t> pickup_ids; // add_pickup's results, in layout order
};

// Adds the layout's boats (in spawn order), its obstacles and the combat node to p_scene, registers
// every boat with the node and adds the pickups, all by name as a script does. Boats added to the
// scene before stay unregistered.
BuiltMatch build_match(MatchScene &p_scene, const MatchLayout &p_layout);

} // namespace brinewake_test
