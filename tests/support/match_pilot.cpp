#include "match_pilot.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/transform3d.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

using namespace godot;

namespace brinewake_test {

namespace {

constexpr double PI = 3.141592653589793;
constexpr int32_t ROCKETS = 0; // weapon kinds; also the rocket pickup's kind
constexpr int32_t CANNON = 1;
constexpr int32_t PICKUP_HEALTH = 100;
constexpr int32_t PICKUP_SPEED = 101;
constexpr int64_t MAX_ROCKETS = 6;
constexpr double MAX_HEALTH = 50.0;

constexpr double STEER_GAIN = 2.0;         // steering per radian of heading error
constexpr double SHARP_TURN = 1.2;         // rad of heading error above which the pilot slows down
constexpr double ROCKET_RANGE = 28.0;      // m
constexpr double ROCKET_MIN_RANGE = 6.0;   // m: nearer, the rocket's blast would reach the shooter
constexpr double ROCKET_AIM = 0.04;        // rad: the aim point must be this close to dead ahead
constexpr int ROCKET_PAUSE = 20;           // frames between rocket presses
constexpr double SHOT_SPEED = 40.0 / 60.0; // m per frame: a rocket's mean speed, for leading the aim
constexpr double TELEPORT = 2.0;           // m per frame: a larger jump is a respawn, not motion
constexpr float UPRIGHT = 0.5f;            // least up-axis height of a boat that may shoot
constexpr int64_t PICKUP_LOOK_FRAMES = 6;  // frames between two reads of the pickups
constexpr double CANNON_RANGE = 13.0;      // m: about where the jet meets the sea
constexpr double CANNON_AIM = 0.25;        // rad
constexpr double LOW_HEALTH = 25.0;        // at or below this the pilot seeks health first
constexpr double OPPORTUNITY_RANGE = 15.0; // m: a usable pickup this near is worth a detour
constexpr double CAREFUL_APPROACH = 6.0;   // m: near a pickup the pilot slows for sharp turns

// a − b wrapped into [−π, π].
double angle_difference(double p_a, double p_b) {
    double difference = std::fmod(p_a - p_b, 2.0 * PI);
    if (difference > PI) {
        difference -= 2.0 * PI;
    } else if (difference < -PI) {
        difference += 2.0 * PI;
    }
    return difference;
}

// Heading of the direction (dx, dz) in the pilots' convention (0 towards −Z, π/2 towards +X).
double bearing(double p_dx, double p_dz) {
    return std::atan2(p_dx, -p_dz);
}

Node3D *find_node(uint64_t p_id) {
    return Object::cast_to<Node3D>(ObjectDB::get_instance(p_id));
}

} // namespace

MatchPilots::MatchPilots(const Node3D *p_combat, std::vector<uint64_t> p_boat_ids)
    : combat_id(p_combat != nullptr ? p_combat->get_instance_id() : 0), boat_ids(std::move(p_boat_ids)),
      views(boat_ids.size()), state(boat_ids.size()), key_kind("kind"), key_position("position"),
      key_active("active") {}

void MatchPilots::read_pickups() {
    active_pickups.clear();
    Node3D *combat = find_node(combat_id);
    if (combat == nullptr) {
        return;
    }
    const Array pickups = combat->call(methods.get_pickups);
    const Variant none;
    for (int64_t i = 0; i < pickups.size(); ++i) {
        const Dictionary pickup = pickups[i];
        if (!bool(pickup.get(key_active, none))) {
            continue;
        }
        const Vector3 position = pickup.get(key_position, none);
        active_pickups.push_back(
            PickupView{int32_t(int64_t(pickup.get(key_kind, none))), double(position.x), double(position.z)});
    }
}

void MatchPilots::drive() {
    for (size_t i = 0; i < boat_ids.size(); ++i) {
        BoatView &view = views[i];
        Node3D *boat = find_node(boat_ids[i]);
        view.health = boat != nullptr ? double(boat->call(methods.get_health)) : 0.0;
        view.alive = view.health > 0.0;
        if (!view.alive) {
            view.tracked = false;
            continue;
        }
        const Transform3D pose = boat->get_global_transform();
        const Vector3 forward = -pose.basis.get_column(2);
        const Vector3 moved = pose.origin - view.position;
        view.step = view.tracked && moved.length() < TELEPORT ? moved : Vector3();
        view.tracked = true;
        view.position = pose.origin;
        view.upright = pose.basis.get_column(1).y > UPRIGHT;
        view.heading = bearing(double(forward.x), double(forward.z));
    }
    // get_pickups builds an Array of Dictionaries, the pilots' only allocation: look ten times a second.
    if (frames_driven % PICKUP_LOOK_FRAMES == 0) {
        read_pickups();
    }
    ++frames_driven;
    for (size_t i = 0; i < boat_ids.size(); ++i) {
        fly(i);
    }
}

void MatchPilots::fly(size_t p_index) {
    PilotState &pilot = state[p_index];
    const BoatView &self = views[p_index];
    Node3D *boat = find_node(boat_ids[p_index]);
    if (!self.alive || boat == nullptr) {
        // Destruction releases the trigger; the pilot starts afresh when the boat respawns.
        pilot = PilotState();
        return;
    }
    pilot.rocket_wait = std::max(0, pilot.rocket_wait - 1);

    const double health = self.health;
    const int64_t rockets = boat->call(methods.get_ammo, ROCKETS);
    const int64_t selected = boat->call(methods.get_selected_weapon);
    const bool boosting = double(boat->call(methods.get_speed_boost_remaining)) > 0.0;
    const double x = double(self.position.x);
    const double z = double(self.position.z);

    // The nearest live opponent.
    size_t opponent = boat_ids.size();
    double opponent_distance = std::numeric_limits<double>::infinity();
    for (size_t j = 0; j < views.size(); ++j) {
        if (j == p_index || !views[j].alive) {
            continue;
        }
        const double d = std::hypot(double(views[j].position.x) - x, double(views[j].position.z) - z);
        if (d < opponent_distance) {
            opponent_distance = d;
            opponent = j;
        }
    }

    // The pickup to seek, if any: the nearest one that meets a need, or else the nearest usable one
    // that lies nearer than the opponent and within reach of a detour.
    const bool need_rockets = rockets == 0;
    const bool need_health = health <= LOW_HEALTH;
    const PickupView *needed = nullptr;
    const PickupView *usable = nullptr;
    double needed_distance = std::numeric_limits<double>::infinity();
    double usable_distance = std::numeric_limits<double>::infinity();
    for (const PickupView &pickup : active_pickups) {
        const bool fills_need =
            (pickup.kind == ROCKETS && need_rockets) || (pickup.kind == PICKUP_HEALTH && need_health);
        const bool of_use = (pickup.kind == ROCKETS && rockets < MAX_ROCKETS) ||
                            (pickup.kind == PICKUP_HEALTH && health < MAX_HEALTH) ||
                            (pickup.kind == PICKUP_SPEED && !boosting);
        if (!of_use) {
            continue;
        }
        const double d = std::hypot(pickup.x - x, pickup.z - z);
        if (fills_need && d < needed_distance) {
            needed_distance = d;
            needed = &pickup;
        }
        if (d < usable_distance) {
            usable_distance = d;
            usable = &pickup;
        }
    }
    const PickupView *seek = needed;
    if (seek == nullptr && usable != nullptr && usable_distance < OPPORTUNITY_RANGE &&
        usable_distance < opponent_distance) {
        seek = usable;
    }
    if (seek == nullptr && usable != nullptr && opponent == boat_ids.size()) {
        seek = usable;
    }

    // The aim point: where the nearest opponent will be when a shot gets there, from its motion over
    // the last frame.
    double aim_x = 0.0;
    double aim_z = 0.0;
    double aim_error = PI;
    if (opponent < boat_ids.size()) {
        const BoatView &target = views[opponent];
        const double lead = opponent_distance / SHOT_SPEED; // frames
        aim_x = double(target.position.x) + double(target.step.x) * lead;
        aim_z = double(target.position.z) + double(target.step.z) * lead;
        aim_error = angle_difference(bearing(aim_x - x, aim_z - z), self.heading);
    }

    // Steer for the pickup or the aim point.
    double throttle = 0.3;
    double steering = 0.5; // nothing to do: circle slowly
    if (seek != nullptr || opponent < boat_ids.size()) {
        const double target_x = seek != nullptr ? seek->x : aim_x;
        const double target_z = seek != nullptr ? seek->z : aim_z;
        const double error = angle_difference(bearing(target_x - x, target_z - z), self.heading);
        const double distance = seek != nullptr ? std::hypot(target_x - x, target_z - z) : opponent_distance;
        steering = std::clamp(STEER_GAIN * error, -1.0, 1.0);
        throttle = 1.0;
        if (std::fabs(error) > SHARP_TURN) {
            throttle = 0.4;
        }
        if (seek != nullptr && distance < CAREFUL_APPROACH && std::fabs(error) > 0.6) {
            throttle = 0.3;
        }
    }
    boat->call(methods.set_controls, throttle, steering);

    // Weapons: only at the nearest opponent, whatever the pilot is steering for. Rockets first, from
    // beyond their own blast; the water cannon close in.
    // A capsized boat holds fire: its muzzle is under water, and its rockets would burst on itself.
    int32_t want = -1;
    if (opponent < boat_ids.size() && self.upright) {
        if (rockets > 0 && opponent_distance > ROCKET_MIN_RANGE && opponent_distance < ROCKET_RANGE &&
            std::fabs(aim_error) < ROCKET_AIM) {
            want = ROCKETS;
        } else if (opponent_distance < CANNON_RANGE && std::fabs(aim_error) < CANNON_AIM) {
            want = CANNON;
        }
    }
    bool trigger = false;
    if (want == CANNON) {
        if (selected != CANNON) {
            boat->call(methods.select_weapon, CANNON);
        }
        trigger = true; // automatic: hold it
    } else if (want == ROCKETS) {
        if (selected != ROCKETS) {
            boat->call(methods.select_weapon, ROCKETS);
        } else if (!pilot.trigger && pilot.rocket_wait == 0) {
            // Semi-automatic: a fresh press per rocket, released again in the next frame.
            trigger = true;
            pilot.rocket_wait = ROCKET_PAUSE;
        }
    }
    if (trigger != pilot.trigger) {
        boat->call(methods.set_trigger, trigger);
        pilot.trigger = trigger;
    }
}

} // namespace brinewake_test
