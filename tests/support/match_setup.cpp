#include "match_setup.hpp"

#include <godot_cpp/variant/string_name.hpp>

#include <algorithm>
#include <cmath>

using namespace godot;

namespace brinewake_test {

uint64_t SplitMix64::next() {
    state += 0x9e3779b97f4a7c15ull;
    uint64_t mixed = state;
    mixed = (mixed ^ (mixed >> 30)) * 0xbf58476d1ce4e5b9ull;
    mixed = (mixed ^ (mixed >> 27)) * 0x94d049bb133111ebull;
    return mixed ^ (mixed >> 31);
}

double SplitMix64::next_unit() {
    return double(next() >> 11) * 0x1.0p-53;
}

double SplitMix64::uniform(double p_low, double p_high) {
    return p_low + (p_high - p_low) * next_unit();
}

namespace {

constexpr double TAU = 6.283185307179586;
constexpr int OBSTACLE_COUNT = 5;
constexpr int PLACEMENT_ATTEMPTS = 64;
constexpr double SPAWN_HEIGHT = 0.7;              // m above calm water; the boat settles from there
constexpr double OBSTACLE_HEIGHT = 3.0;           // m
constexpr double OBSTACLE_CENTER_HEIGHT = 0.5;    // m: the box reaches 2 m above calm water
constexpr double OBSTACLE_SPAWN_CLEARANCE = 6.0;  // m from a box to a spawn point
constexpr double OBSTACLE_CLEARANCE = 3.0;        // m between boxes
constexpr double PICKUP_OBSTACLE_CLEARANCE = 2.5; // m from a pickup to a box
constexpr double PICKUP_SPACING = 5.0;            // m between pickups
constexpr double PICKUP_SPAWN_CLEARANCE = 3.0;    // m from a pickup to a spawn point

// A point uniformly distributed over the ring between p_inner and p_outer (m) around the centre.
void ring_point(SplitMix64 &p_random, double p_inner, double p_outer, double &r_x, double &r_z) {
    const double radius = std::sqrt(p_random.uniform(p_inner * p_inner, p_outer * p_outer));
    const double angle = p_random.uniform(0.0, TAU);
    r_x = radius * std::cos(angle);
    r_z = radius * std::sin(angle);
}

// Horizontal distance (m) from (x, z) to an obstacle's box; 0 inside it.
double distance_to_box(const ObstaclePlacement &p_box, double p_x, double p_z) {
    const double dx = std::max(0.0, std::fabs(p_x - double(p_box.center.x)) - 0.5 * double(p_box.size.x));
    const double dz = std::max(0.0, std::fabs(p_z - double(p_box.center.z)) - 0.5 * double(p_box.size.z));
    return std::sqrt(dx * dx + dz * dz);
}

double distance(const Vector3 &p_point, double p_x, double p_z) {
    const double dx = double(p_point.x) - p_x;
    const double dz = double(p_point.z) - p_z;
    return std::sqrt(dx * dx + dz * dz);
}

bool obstacle_fits(const MatchLayout &p_layout, const ObstaclePlacement &p_box) {
    for (const SpawnPlacement &spawn : p_layout.spawns) {
        if (distance_to_box(p_box, double(spawn.position.x), double(spawn.position.z)) <
            OBSTACLE_SPAWN_CLEARANCE) {
            return false;
        }
    }
    for (const ObstaclePlacement &other : p_layout.obstacles) {
        // Boxes closer than the clearance along both axes would leave no channel between them.
        const double gap_x =
            std::fabs(double(other.center.x - p_box.center.x)) - 0.5 * double(other.size.x + p_box.size.x);
        const double gap_z =
            std::fabs(double(other.center.z - p_box.center.z)) - 0.5 * double(other.size.z + p_box.size.z);
        if (std::max(gap_x, gap_z) < OBSTACLE_CLEARANCE) {
            return false;
        }
    }
    return true;
}

bool pickup_fits(const MatchLayout &p_layout, double p_x, double p_z) {
    for (const ObstaclePlacement &box : p_layout.obstacles) {
        if (distance_to_box(box, p_x, p_z) < PICKUP_OBSTACLE_CLEARANCE) {
            return false;
        }
    }
    for (const PickupPlacement &other : p_layout.pickups) {
        if (distance(other.position, p_x, p_z) < PICKUP_SPACING) {
            return false;
        }
    }
    for (const SpawnPlacement &spawn : p_layout.spawns) {
        if (distance(spawn.position, p_x, p_z) < PICKUP_SPAWN_CLEARANCE) {
            return false;
        }
    }
    return true;
}

} // namespace

MatchLayout make_match_layout(int p_boats, uint64_t p_seed) {
    SplitMix64 random(p_seed);
    MatchLayout layout;
    const int boats = std::max(1, p_boats);

    // The ring turns by a seeded phase; the boats sit at equal angles on it, bows to the centre.
    const double phase = random.uniform(0.0, TAU / boats);
    layout.spawns.reserve(size_t(boats));
    for (int i = 0; i < boats; ++i) {
        const double angle = phase + TAU * i / boats;
        const double x = MATCH_SPAWN_RADIUS * std::cos(angle);
        const double z = MATCH_SPAWN_RADIUS * std::sin(angle);
        // Yaw turns the bow (local -Z) to (-sin yaw, 0, -cos yaw); facing the centre means (-x, -z).
        layout.spawns.push_back(SpawnPlacement{
            Vector3(static_cast<float>(x), static_cast<float>(SPAWN_HEIGHT), static_cast<float>(z)),
            std::atan2(x, z)});
    }

    for (int i = 0; i < OBSTACLE_COUNT; ++i) {
        for (int attempt = 0; attempt < PLACEMENT_ATTEMPTS; ++attempt) {
            double x = 0.0;
            double z = 0.0;
            ring_point(random, 6.0, MATCH_ARENA_RADIUS - 4.0, x, z);
            const double width = random.uniform(2.0, 5.0);
            const double depth = random.uniform(2.0, 5.0);
            const ObstaclePlacement box{
                Vector3(static_cast<float>(x), static_cast<float>(OBSTACLE_CENTER_HEIGHT),
                        static_cast<float>(z)),
                Vector3(static_cast<float>(width), static_cast<float>(OBSTACLE_HEIGHT),
                        static_cast<float>(depth))};
            if (obstacle_fits(layout, box)) {
                layout.obstacles.push_back(box);
                break;
            }
        }
    }

    const int rockets = std::max(2, boats);
    const int powerups = std::max(1, (boats + 1) / 2);
    std::vector<int32_t> kinds(size_t(rockets), MATCH_PICKUP_ROCKETS);
    kinds.insert(kinds.end(), size_t(powerups), MATCH_PICKUP_HEALTH);
    kinds.insert(kinds.end(), size_t(powerups), MATCH_PICKUP_SPEED);
    for (const int32_t kind : kinds) {
        for (int attempt = 0; attempt < PLACEMENT_ATTEMPTS; ++attempt) {
            double x = 0.0;
            double z = 0.0;
            ring_point(random, 0.0, MATCH_ARENA_RADIUS - 4.0, x, z);
            if (pickup_fits(layout, x, z)) {
                layout.pickups.push_back(
                    PickupPlacement{kind, Vector3(static_cast<float>(x), 0.0f, static_cast<float>(z))});
                break;
            }
        }
    }
    return layout;
}

BuiltMatch build_match(MatchScene &p_scene, const MatchLayout &p_layout) {
    BuiltMatch built;
    std::vector<RigidBody3D *> boats;
    boats.reserve(p_layout.spawns.size());
    for (const SpawnPlacement &spawn : p_layout.spawns) {
        RigidBody3D *boat = p_scene.add_boat(spawn.position, spawn.yaw);
        if (boat == nullptr) {
            return built;
        }
        boats.push_back(boat);
    }
    for (const ObstaclePlacement &box : p_layout.obstacles) {
        p_scene.add_obstacle(box.center, box.size);
    }
    built.combat = p_scene.weapon_system();
    if (built.combat == nullptr) {
        return built;
    }
    for (RigidBody3D *boat : boats) {
        built.combat->call("register_boat", boat);
    }
    built.pickup_ids.reserve(p_layout.pickups.size());
    for (const PickupPlacement &pickup : p_layout.pickups) {
        built.pickup_ids.push_back(int64_t(built.combat->call("add_pickup", pickup.kind, pickup.position)));
    }
    return built;
}

} // namespace brinewake_test
