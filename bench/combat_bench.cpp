// The combat node: its flight step per projectile against sampling the sea under the same projectiles,
// and whole frames of a busy match with and without the physics world's rays.
#include "bench_support.hpp"

#include "boat/boat.hpp"
#include "combat/combat_records.hpp"
#include "linked_extension.hpp"
#include "match_scene.hpp"
#include "rules/wave_field.hpp"
#include "rules/weapon_catalog.hpp"
#include "weapon_system/projectile_flight.hpp"
#include "weapon_system/weapon_system.hpp"

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/core/memory.hpp>
#include <standin/callable_lambda.hpp>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

using namespace godot;
using brinewake::Projectile;

namespace {

constexpr double FRAME = brinewake_test::MatchScene::PHYSICS_STEP; // s
constexpr double ARENA = 60.0; // m, side of the square the boats spread over

// A fixed sequence in [0, 1), so that every run builds the same scene.
double unit(uint32_t p_index, uint32_t p_salt) {
    uint32_t h = p_index * 0x9E3779B9u + p_salt * 0x85EBCA6Bu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return double(h >> 8) / double(1u << 24);
}

// p_count boats on a jittered grid over the arena, headings varied, frozen where they are placed.
void add_boats(brinewake_test::MatchScene &r_scene, size_t p_count, float p_height) {
    const size_t columns = size_t(std::ceil(std::sqrt(double(p_count))));
    const double spacing = ARENA / double(columns);
    for (size_t i = 0; i < p_count; i++) {
        const uint32_t n = uint32_t(i);
        const double x = (double(i % columns) + 0.25 + 0.5 * unit(n, 1)) * spacing - 0.5 * ARENA;
        const double z = (double(i / columns) + 0.25 + 0.5 * unit(n, 2)) * spacing - 0.5 * ARENA;
        RigidBody3D *boat = r_scene.add_boat(Vector3(float(x), p_height, float(z)), 6.2831853 * unit(n, 3));
        boat->set_freeze_enabled(true);
    }
}

// ---- Flight step, per projectile ----

constexpr size_t FLIGHT_BOATS = 32;
constexpr size_t FLIGHT_PROJECTILES = 64; // flown per iteration
constexpr double WAVE_TIME = 12.5;        // s

// 32 boats over the arena and 64 projectiles of one kind between and around them, 2 to 4.5 m above the
// sea (every fourth skimming the waves) at their weapon's speeds and of every age, none of which ends
// its flight in the step.
struct FlightScene {
    brinewake_test::MatchScene scene;
    std::vector<uint64_t> boat_ids;
    std::vector<Projectile> projectiles; // what every iteration starts from

    explicit FlightScene(int32_t p_kind) {
        brinewake_test::use_linked_extension();
        add_boats(scene, FLIGHT_BOATS, 0.2f);
        for (size_t i = 0; i < scene.boat_count(); i++) {
            boat_ids.push_back(scene.boat_id(i));
        }
        const brinewake::WeaponSpec &spec = brinewake::spec(static_cast<brinewake::WeaponKind>(p_kind));
        // m/s: rockets leave at 16 and reach about 50 when the motor burns out; jets leave at 32 and slow
        // down under drag.
        const double slowest = p_kind == brinewake::MODEL_ROCKET ? 16.0 : 12.0;
        const double fastest = p_kind == brinewake::MODEL_ROCKET ? 50.0 : 32.0;
        for (size_t i = 0; i < FLIGHT_PROJECTILES; i++) {
            const uint32_t n = uint32_t(i);
            const double heading = 6.2831853 * unit(n, 11);
            const double speed = slowest + (fastest - slowest) * unit(n, 12);
            const double climb = 0.3 * (unit(n, 13) - 0.5); // rad
            Projectile p;
            p.id = int64_t(i) + 1;
            p.kind = p_kind;
            p.position = {(unit(n, 14) - 0.5) * (ARENA + 12.0), 2.0 + 2.5 * unit(n, 15),
                          (unit(n, 16) - 0.5) * (ARENA + 12.0)};
            double rise = climb;
            if (i % 4 == 0) {
                // Skimming 0.1 m over the waves, below the highest crest: the step samples the sea.
                p.position.y = brinewake::wave_height(p.position.x, p.position.z, WAVE_TIME) + 0.1;
                rise = 0.05;
            }
            p.velocity = {speed * std::cos(rise) * std::cos(heading), speed * std::sin(rise),
                          speed * std::cos(rise) * std::sin(heading)};
            // From launch (the owner still in grace) to just before the end of its life.
            p.age = (spec.lifetime - 0.1) * unit(n, 17);
            p.owner_id = boat_ids[i % boat_ids.size()];
            projectiles.push_back(p);
        }
    }
};

// The list is restored from the scene's projectiles before each step; the baseline does the same copy.
void flight_benchmark(benchmark::State &p_state, int32_t p_kind) {
    FlightScene fixture(p_kind);
    ProjectileFlight flight;
    flight.set_targets(fixture.boat_ids);
    std::vector<Projectile> list = fixture.projectiles;
    size_t lost = 0;
    {
        brinewake_bench::AllocationScope allocations(p_state);
        for (auto _ : p_state) {
            list.assign(fixture.projectiles.begin(), fixture.projectiles.end());
            flight.run(list, FRAME, WAVE_TIME, nullptr);
            lost += FLIGHT_PROJECTILES - list.size();
            benchmark::DoNotOptimize(list.data());
        }
    }
    if (lost != 0) {
        p_state.SkipWithError("a projectile ended its flight: this is not a step of projectiles in flight");
    }
    p_state.counters["per_projectile"] =
        benchmark::Counter(double(FLIGHT_PROJECTILES),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_CombatFlightRockets(benchmark::State &p_state) {
    flight_benchmark(p_state, brinewake::MODEL_ROCKET);
}

void BM_CombatFlightJets(benchmark::State &p_state) {
    flight_benchmark(p_state, brinewake::WATER_CANNON);
}

// The sea sampled once under each of the same 64 projectiles.
void BM_CombatFlightSea(benchmark::State &p_state) {
    FlightScene fixture(brinewake::MODEL_ROCKET);
    std::vector<Projectile> list = fixture.projectiles;
    brinewake_bench::AllocationScope allocations(p_state);
    for (auto _ : p_state) {
        list.assign(fixture.projectiles.begin(), fixture.projectiles.end());
        for (const Projectile &p : list) {
            brinewake::WaveSample sample = brinewake::sample_waves(p.position.x, p.position.z, WAVE_TIME);
            benchmark::DoNotOptimize(sample);
        }
    }
}

// ---- Whole frames ----

constexpr size_t FRAME_BOATS = 16;
constexpr size_t FRAME_PICKUPS = 8;
constexpr int WARM_UP_FRAMES = 150; // longer than a jet lives (1.5 s)
// m. Jets from a boat afloat meet the sea after about 0.3 s, so 16 boats firing keep some 160 in flight;
// muzzles 1.6 m higher keep each up about 0.8 s, for some 256 in flight.
constexpr float FRAME_BOAT_HEIGHT = 1.8f;

// Emissions seen by one handler per signal, as a game's scripts would listen.
struct SignalCounts {
    int64_t fired = 0;
    int64_t impacts = 0;
    int64_t hits = 0;
    int64_t other = 0; // weapon_empty, pickup_collected, pickup_respawned
};

// 16 boats over the arena holding the water cannon's trigger, 8 pickups out of their reach, and the
// combat node run frame after frame by hand. With p_in_tree the node sits in the scene tree and casts a
// world ray per projectile; otherwise it stays outside the tree and meets only the sea and the boats.
struct BusyMatch {
    brinewake_test::MatchScene scene;
    WeaponSystem *combat = nullptr;
    bool owned = false; // a node outside the tree is freed here, the tree frees the other
    std::shared_ptr<SignalCounts> counts = std::make_shared<SignalCounts>();

    explicit BusyMatch(bool p_in_tree) {
        brinewake_test::use_linked_extension();
        add_boats(scene, FRAME_BOATS, FRAME_BOAT_HEIGHT);
        if (p_in_tree) {
            combat = Object::cast_to<WeaponSystem>(scene.weapon_system());
        } else {
            const Variant created = ClassDBSingleton::get_singleton()->instantiate("WeaponSystem");
            combat = Object::cast_to<WeaponSystem>(static_cast<Object *>(created));
            owned = true;
        }
        for (size_t i = 0; i < scene.boat_count(); i++) {
            combat->register_boat(scene.boat(i));
            scene.boat(i)->call("set_trigger", true);
        }
        const std::shared_ptr<SignalCounts> c = counts;
        combat->connect("weapon_fired",
                        standin::callable_lambda([c](const Variant **, int64_t) { ++c->fired; }));
        combat->connect("projectile_impact",
                        standin::callable_lambda([c](const Variant **, int64_t) { ++c->impacts; }));
        combat->connect("boat_hit", standin::callable_lambda([c](const Variant **, int64_t) { ++c->hits; }));
        for (const char *name : {"weapon_empty", "pickup_collected", "pickup_respawned"}) {
            combat->connect(name, standin::callable_lambda([c](const Variant **, int64_t) { ++c->other; }));
        }
        // On the lines between grid rows, farther from every boat than a pickup reaches.
        const int32_t kinds[FRAME_PICKUPS] = {brinewake::MODEL_ROCKET,  brinewake::PICKUP_HEALTH,
                                              brinewake::PICKUP_SPEED,  brinewake::MODEL_ROCKET,
                                              brinewake::PICKUP_HEALTH, brinewake::PICKUP_SPEED,
                                              brinewake::MODEL_ROCKET,  brinewake::PICKUP_HEALTH};
        const double spacing = ARENA / 4.0;
        for (size_t i = 0; i < FRAME_PICKUPS; i++) {
            const double x = (double(i % 4) + 0.5 * unit(uint32_t(i), 21)) * spacing - 0.5 * ARENA;
            const double z = double(i / 4) * 2.0 * spacing - 0.5 * ARENA;
            combat->add_pickup(kinds[i], Vector3(float(x), 0.0f, float(z)));
        }
        for (int f = 0; f < WARM_UP_FRAMES; f++) {
            frame();
        }
    }

    ~BusyMatch() {
        if (owned) {
            memdelete(combat);
        }
    }

    BusyMatch(const BusyMatch &) = delete;
    BusyMatch &operator=(const BusyMatch &) = delete;

    // Keeps every boat firing and alive (its neighbours' jets wear it down), then runs one frame.
    void frame() {
        for (size_t i = 0; i < FRAME_BOATS; i++) {
            Boat *boat = Object::cast_to<Boat>(scene.boat(i));
            boat->add_ammo(brinewake::WATER_CANNON, 60);
            boat->restore_health(Boat::MAX_HEALTH);
        }
        combat->_physics_process(FRAME);
    }
};

// Counters per frame: allocations, projectiles in flight after it, and the signals it emitted.
void frame_benchmark(benchmark::State &p_state, bool p_in_tree) {
    BusyMatch match(p_in_tree);
    const SignalCounts before = *match.counts;
    int64_t in_flight = 0;
    {
        brinewake_bench::AllocationScope allocations(p_state);
        for (auto _ : p_state) {
            match.frame();
            in_flight += match.combat->get_projectile_count();
        }
    }
    const SignalCounts &after = *match.counts;
    using benchmark::Counter;
    p_state.counters["in_flight"] = Counter(double(in_flight), Counter::kAvgIterations);
    p_state.counters["fired"] = Counter(double(after.fired - before.fired), Counter::kAvgIterations);
    p_state.counters["impacts"] = Counter(double(after.impacts - before.impacts), Counter::kAvgIterations);
    p_state.counters["hits"] = Counter(double(after.hits - before.hits), Counter::kAvgIterations);
    if (after.other != before.other) {
        p_state.SkipWithError("a weapon ran empty or a pickup changed hands: the frames were not steady");
    }
}

void BM_CombatFrameRays(benchmark::State &p_state) {
    frame_benchmark(p_state, true);
}

void BM_CombatFrameNoWorld(benchmark::State &p_state) {
    frame_benchmark(p_state, false);
}

} // namespace

BENCHMARK(BM_CombatFlightRockets);
BENCHMARK(BM_CombatFlightJets);
BENCHMARK(BM_CombatFlightSea);
BENCHMARK(BM_CombatFrameRays);
BENCHMARK(BM_CombatFrameNoWorld);
// Per projectile in flight, at most 8 sea samples' worth.
BRINEWAKE_RATIO("BM_CombatFlightRockets", "BM_CombatFlightSea", 8.0);
BRINEWAKE_RATIO("BM_CombatFlightJets", "BM_CombatFlightSea", 8.0);
