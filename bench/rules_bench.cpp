// The hull model and the sea against the C library's trigonometry they used to call: the floors below
// (the C library's sine and cosine of the same arguments) stay as the yardstick for the library's own.
#include "bench_support.hpp"

#include "rules/hull_model.hpp"
#include "rules/wave_field.hpp"

#include <godot_cpp/variant/basis.hpp>

#include <array>
#include <cmath>
#include <cstddef>

using godot::Basis;
using godot::Transform3D;
using godot::Vector2;
using godot::Vector3;

namespace {

constexpr size_t INPUT_COUNT = 16; // cycled through, so nothing can be hoisted out of the loop

struct HullInput {
    Transform3D transform;
    Vector3 linear_velocity;
    Vector3 angular_velocity;
    double time;
    double throttle;
    double steering;
    double boost_remaining;
    Vector2 wind;
};

// Boats in and around the water in varied poses and states; some wet, some partly dry.
const std::array<HullInput, INPUT_COUNT> &hull_inputs() {
    static const std::array<HullInput, INPUT_COUNT> inputs = [] {
        std::array<HullInput, INPUT_COUNT> list{};
        for (size_t i = 0; i < INPUT_COUNT; i++) {
            const float f = float(i);
            const Basis yaw(Vector3(0, 1, 0), 0.4f * f);
            const Basis tilt(Vector3(1, 0, 0.5f).normalized(), 0.05f * (f - 7.5f));
            list[i].transform =
                Transform3D(yaw * tilt, Vector3(3.0f * f - 20.0f, 0.03f * (f - 8.0f), 11.0f - 1.5f * f));
            list[i].linear_velocity = Vector3(0.5f * f - 4.0f, 0.1f * (8.0f - f), 6.0f - 0.7f * f);
            list[i].angular_velocity = Vector3(0.02f * f, 0.1f - 0.01f * f, -0.03f * f);
            list[i].time = 0.37 * double(i) + 12.5;
            list[i].throttle = (i % 3 == 0) ? -0.5 : 1.0;
            list[i].steering = 0.25 * double(int(i % 5) - 2);
            list[i].boost_remaining = (i % 4 == 0) ? 3.5 : 0.0;
            list[i].wind = Vector2(2.0f - 0.3f * f, 0.2f * f - 1.0f);
        }
        return list;
    }();
    return inputs;
}

void BM_ComputeHullForces(benchmark::State &state) {
    const auto &inputs = hull_inputs();
    size_t i = 0;
    brinewake_bench::AllocationScope allocations(state);
    for (auto _ : state) {
        const HullInput &in = inputs[i++ % INPUT_COUNT];
        brinewake::HullForces forces =
            brinewake::compute_hull_forces(in.transform, in.linear_velocity, in.angular_velocity, in.time,
                                           in.throttle, in.steering, in.boost_remaining, in.wind);
        benchmark::DoNotOptimize(forces);
    }
}
BENCHMARK(BM_ComputeHullForces);

// The wave arguments of one sample point, as the hull model forms them.
std::array<double, 3> wave_arguments(double p_x, double p_z, double p_t) {
    std::array<double, 3> arguments{};
    for (size_t w = 0; w < 3; w++) {
        const brinewake::Wave &wave = brinewake::WAVES[w];
        arguments[w] = (wave.kx * p_x + wave.kz * p_z) - wave.omega * p_t + wave.phase;
    }
    return arguments;
}

// Sine and cosine of the same argument from the C library, as the sea used to evaluate them.
inline void sine_and_cosine(double p_argument) {
    double s = std::sin(p_argument);
    double c = std::cos(p_argument);
    benchmark::DoNotOptimize(s);
    benchmark::DoNotOptimize(c);
}

// Floor of the hull model: the C library's 12 sine-and-cosine pairs of its four sample points.
void BM_HullFloor(benchmark::State &state) {
    static const std::array<std::array<double, 12>, INPUT_COUNT> arguments = [] {
        std::array<std::array<double, 12>, INPUT_COUNT> list{};
        for (size_t i = 0; i < INPUT_COUNT; i++) {
            const HullInput &in = hull_inputs()[i];
            for (size_t p = 0; p < 4; p++) {
                const Vector3 world = in.transform.xform(brinewake::HULL_SAMPLE_POINTS[p]);
                const std::array<double, 3> a = wave_arguments(double(world.x), double(world.z), in.time);
                for (size_t w = 0; w < 3; w++) {
                    list[i][p * 3 + w] = a[w];
                }
            }
        }
        return list;
    }();
    size_t i = 0;
    brinewake_bench::AllocationScope allocations(state);
    for (auto _ : state) {
        const std::array<double, 12> &a = arguments[i++ % INPUT_COUNT];
        for (double argument : a) {
            sine_and_cosine(argument);
        }
    }
}
BENCHMARK(BM_HullFloor);

struct SeaPoint {
    double x, z, t;
};

const std::array<SeaPoint, INPUT_COUNT> &sea_points() {
    static const std::array<SeaPoint, INPUT_COUNT> points = [] {
        std::array<SeaPoint, INPUT_COUNT> list{};
        for (size_t i = 0; i < INPUT_COUNT; i++) {
            list[i] = {2.7 * double(i) - 19.0, 13.0 - 1.9 * double(i), 0.41 * double(i) + 3.0};
        }
        return list;
    }();
    return points;
}

void BM_SampleWaves(benchmark::State &state) {
    const auto &points = sea_points();
    size_t i = 0;
    brinewake_bench::AllocationScope allocations(state);
    for (auto _ : state) {
        const SeaPoint &p = points[i++ % INPUT_COUNT];
        brinewake::WaveSample sample = brinewake::sample_waves(p.x, p.z, p.t);
        benchmark::DoNotOptimize(sample);
    }
}
BENCHMARK(BM_SampleWaves);

// Floor of one sample: the C library's 3 sine-and-cosine pairs.
void BM_WaveFloor(benchmark::State &state) {
    static const std::array<std::array<double, 3>, INPUT_COUNT> arguments = [] {
        std::array<std::array<double, 3>, INPUT_COUNT> list{};
        for (size_t i = 0; i < INPUT_COUNT; i++) {
            const SeaPoint &p = sea_points()[i];
            list[i] = wave_arguments(p.x, p.z, p.t);
        }
        return list;
    }();
    size_t i = 0;
    brinewake_bench::AllocationScope allocations(state);
    for (auto _ : state) {
        const std::array<double, 3> &a = arguments[i++ % INPUT_COUNT];
        for (double argument : a) {
            sine_and_cosine(argument);
        }
    }
}
BENCHMARK(BM_WaveFloor);

} // namespace

// The whole hull model and the whole sample against the C library's sines and cosines alone.
BRINEWAKE_RATIO("BM_ComputeHullForces", "BM_HullFloor", 1.0);
BRINEWAKE_RATIO("BM_SampleWaves", "BM_WaveFloor", 1.0);
