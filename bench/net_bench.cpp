// Boat packet codec and the motion predictor's step, against the hull force model it wraps.
#include "bench_support.hpp"

#include "boat_motion/boat_motion.hpp"
#include "boat_motion/motion_integrator.hpp"
#include "linked_extension.hpp"
#include "net/boat_packet.hpp"
#include "rules/hull_model.hpp"

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <vector>

using namespace godot;

namespace {

brinewake::BoatPacketSource sample_source() {
    brinewake::BoatPacketSource source;
    source.transform =
        Transform3D(Basis(Vector3(0.1f, 1.0f, 0.05f).normalized(), 0.8f), Vector3(3.0f, 0.1f, -7.5f));
    source.linear_velocity = Vector3(1.5f, -0.1f, -4.0f);
    source.angular_velocity = Vector3(0.02f, 0.4f, -0.01f);
    source.health = 42.0;
    source.speed_boost_remaining = 3.5;
    source.throttle = 1.0;
    source.steering = -0.3;
    source.wind = Vector2(1.0f, -0.5f);
    source.wave_time = 123.456;
    source.selected_weapon = 1;
    source.ammo[0] = 3;
    source.ammo[1] = 48;
    return source;
}

// A hull riding the sea under way, as the predictor and the physics step see it.
brinewake::MotionState sea_state() {
    brinewake::MotionState state;
    state.transform = Transform3D(Basis(Vector3(0.0f, 1.0f, 0.0f), 0.3f), Vector3(0.0f, 0.05f, 0.0f));
    state.linear_velocity = Vector3(0.5f, 0.0f, -3.0f);
    state.angular_velocity = Vector3(0.01f, 0.1f, 0.0f);
    state.wind = Vector2(1.0f, -0.5f);
    state.time = 10.0;
    return state;
}

constexpr int TRAJECTORY_STEPS = 600; // 10 s at 60 Hz, full throttle in a turn
constexpr double STEP = 1.0 / 60.0;
constexpr double THROTTLE = 1.0;
constexpr double STEERING = 0.3;

// The states the predictor passes through on the benchmark's trajectory, so that the hull model
// baseline is measured on exactly the inputs the step hands it (its cost depends on the pose).
const std::vector<brinewake::MotionState> &trajectory() {
    static const std::vector<brinewake::MotionState> states = [] {
        std::vector<brinewake::MotionState> list;
        brinewake::MotionState state = sea_state();
        for (int i = 0; i < TRAJECTORY_STEPS; ++i) {
            list.push_back(state);
            brinewake::step_motion(state, THROTTLE, STEERING, STEP);
        }
        return list;
    }();
    return states;
}

void BM_EncodeBoatPacket(benchmark::State &p_state) {
    const brinewake::BoatPacketSource source = sample_source();
    uint8_t bytes[brinewake::BOAT_PACKET_SIZE];
    brinewake_bench::AllocationScope allocations(p_state);
    for (auto _ : p_state) {
        brinewake::encode_boat_packet(source, bytes);
        benchmark::DoNotOptimize(bytes);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EncodeBoatPacket);

void BM_DecodeBoatPacket(benchmark::State &p_state) {
    uint8_t bytes[brinewake::BOAT_PACKET_SIZE];
    brinewake::encode_boat_packet(sample_source(), bytes);
    brinewake_bench::AllocationScope allocations(p_state);
    for (auto _ : p_state) {
        brinewake::BoatPacket packet;
        const bool ok = brinewake::decode_boat_packet(bytes, sizeof(bytes), packet);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(packet);
    }
}
BENCHMARK(BM_DecodeBoatPacket);

void BM_HullForces(benchmark::State &p_state) {
    const std::vector<brinewake::MotionState> &states = trajectory();
    size_t index = 0;
    brinewake_bench::AllocationScope allocations(p_state);
    for (auto _ : p_state) {
        const brinewake::MotionState &state = states[index];
        const brinewake::HullForces forces = brinewake::compute_hull_forces(
            state.transform, state.linear_velocity, state.angular_velocity, state.time, THROTTLE, STEERING,
            state.speed_boost_remaining, state.wind);
        benchmark::DoNotOptimize(forces);
        index = index + 1 == states.size() ? 0 : index + 1;
    }
}
BENCHMARK(BM_HullForces);

// One step from each state of the trajectory in turn: independent steps, measured the way the hull
// model is measured above, so the ratio compares like with like.
void BM_StepMotion(benchmark::State &p_state) {
    const std::vector<brinewake::MotionState> &states = trajectory();
    size_t index = 0;
    brinewake_bench::AllocationScope allocations(p_state);
    for (auto _ : p_state) {
        brinewake::MotionState state = states[index];
        brinewake::step_motion(state, THROTTLE, STEERING, STEP);
        benchmark::DoNotOptimize(state);
        index = index + 1 == states.size() ? 0 : index + 1;
    }
}
BENCHMARK(BM_StepMotion);

// A predictor run forward step after step, as a script predicting ahead runs it: each step waits for
// the one before, so this is the step's latency rather than its throughput.
void BM_StepMotionChained(benchmark::State &p_state) {
    const brinewake::MotionState start = trajectory().front();
    brinewake::MotionState state = start;
    int steps = 0;
    brinewake_bench::AllocationScope allocations(p_state);
    for (auto _ : p_state) {
        brinewake::step_motion(state, THROTTLE, STEERING, STEP);
        benchmark::DoNotOptimize(state);
        if (++steps == TRAJECTORY_STEPS) {
            state = start;
            steps = 0;
        }
    }
}
BENCHMARK(BM_StepMotionChained);

void BM_BoatMotionStep(benchmark::State &p_state) {
    brinewake_test::use_linked_extension();
    const Variant holder = ClassDBSingleton::get_singleton()->instantiate("BoatMotion");
    BoatMotion *motion = Object::cast_to<BoatMotion>(static_cast<Object *>(holder));
    if (motion == nullptr) {
        p_state.SkipWithError("BoatMotion is not registered");
        return;
    }
    // Seeded with the trajectory's start as it travels in a packet.
    const PackedByteArray seed = [] {
        const brinewake::MotionState &start = trajectory().front();
        brinewake::BoatPacketSource source;
        source.transform = start.transform;
        source.linear_velocity = start.linear_velocity;
        source.angular_velocity = start.angular_velocity;
        source.health = start.health;
        source.wind = start.wind;
        source.wave_time = start.time;
        PackedByteArray bytes;
        bytes.resize(int64_t(brinewake::BOAT_PACKET_SIZE));
        brinewake::encode_boat_packet(source, bytes.ptrw());
        return bytes;
    }();
    motion->set_from_packet(seed);
    int steps = 0;
    brinewake_bench::AllocationScope allocations(p_state);
    for (auto _ : p_state) {
        motion->step(THROTTLE, STEERING, STEP);
        benchmark::ClobberMemory();
        if (++steps == TRAJECTORY_STEPS) {
            motion->set_from_packet(seed); // back near the start; one decode per 600 steps
            steps = 0;
        }
    }
}
BENCHMARK(BM_BoatMotionStep);

} // namespace

// The step is one hull evaluation plus a handful of vector operations.
BRINEWAKE_RATIO("BM_StepMotion", "BM_HullForces", 1.3);
BRINEWAKE_RATIO("BM_BoatMotionStep", "BM_HullForces", 1.3);
// The bound step against the hull model's C-library trigonometry floor (bench/rules_bench.cpp).
BRINEWAKE_RATIO("BM_BoatMotionStep", "BM_HullFloor", 2.0);
