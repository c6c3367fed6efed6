// The boat's physics step against the hull model it wraps, on the same inputs in the same run.
#include "bench_support.hpp"

#include "boat/boat.hpp"
#include "linked_extension.hpp"
#include "match_scene.hpp"
#include "rules/hull_model.hpp"

#include <godot_cpp/classes/physics_direct_body_state3d.hpp>
#include <standin/scene_tree.hpp>

using namespace godot;

namespace {

// A boat settled on the sea, alive, with throttle and steering set and no reset pending.
struct SettledBoat {
    brinewake_test::MatchScene scene;
    Boat *boat = nullptr;
    PhysicsDirectBodyState3D *state = nullptr;

    SettledBoat() {
        brinewake_test::use_linked_extension();
        boat = Object::cast_to<Boat>(scene.add_boat(Vector3(0.0f, 0.3f, 0.0f)));
        boat->set_controls(0.8, 0.3);
        boat->set_wind(Vector2(1.0f, -0.5f));
        scene.step(120);
        state = standin::direct_body_state(boat);
    }
};

void BM_BoatIntegrateForces(benchmark::State &p_state) {
    SettledBoat settled;
    Boat *boat = settled.boat;
    PhysicsDirectBodyState3D *body_state = settled.state;
    {
        brinewake_bench::AllocationScope allocations(p_state);
        for (auto _ : p_state) {
            boat->_integrate_forces(body_state); // advances the wave clock: every call sees a new sea
        }
    }
    if (boat->get_health() <= 0.0) {
        p_state.SkipWithError("the boat was not alive");
    }
}

void BM_HullForcesBaseline(benchmark::State &p_state) {
    SettledBoat settled;
    PhysicsDirectBodyState3D *body_state = settled.state;
    const Transform3D transform = body_state->get_transform();
    const Vector3 linear_velocity = body_state->get_linear_velocity();
    const Vector3 angular_velocity = body_state->get_angular_velocity();
    const double dt = double(body_state->get_step());
    double time = settled.boat->get_wave_time();
    const Vector2 wind = settled.boat->get_wind();
    brinewake_bench::AllocationScope allocations(p_state);
    for (auto _ : p_state) {
        time += dt;
        brinewake::HullForces forces = brinewake::compute_hull_forces(
            transform, linear_velocity, angular_velocity, time, 0.8, 0.3, 0.0, wind);
        benchmark::DoNotOptimize(forces);
    }
}

} // namespace

BENCHMARK(BM_BoatIntegrateForces);
BENCHMARK(BM_HullForcesBaseline);
BRINEWAKE_RATIO("BM_BoatIntegrateForces", "BM_HullForcesBaseline", 1.15);
