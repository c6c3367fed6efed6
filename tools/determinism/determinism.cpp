// Engine-free determinism probe: hashes of the exact bits the rules and the predictor's integrator
// compute, to be compared across compilers, processors and operating systems. Prints one
// "name hash" line per quantity:
//   trig       sine and cosine over a million fixed arguments, small to the top of the double range,
//              one by one and four at a time
//   sea        sample_waves over a grid of points and wave times (up to the largest accepted time)
//   hull       compute_hull_forces over fixed poses, velocities and controls
//   predictor  600 steps of step_motion with changing controls, deltas and wind
// Builds with any C++17 compiler against the stand-in's header-only math value types.
#include "boat_motion/motion_integrator.hpp"
#include "rules/hull_model.hpp"
#include "rules/trig.hpp"
#include "rules/wave_field.hpp"

#include <cstdint>
#include <cstdio>
#include <cstring>

using godot::Basis;
using godot::Transform3D;
using godot::Vector2;
using godot::Vector3;

namespace {

// 64-bit FNV-1a over the exact bytes of each value, in little-endian order whatever the host.
struct Hash {
    uint64_t value = 0xcbf29ce484222325u;

    void add_bits(uint64_t p_bits, int p_bytes) {
        for (int i = 0; i < p_bytes; i++) {
            value ^= (p_bits >> (8 * i)) & 0xffu;
            value *= 0x100000001b3u;
        }
    }
    void add(double p_value) {
        uint64_t bits;
        std::memcpy(&bits, &p_value, sizeof(bits));
        add_bits(bits, 8);
    }
    void add(float p_value) {
        uint32_t bits;
        std::memcpy(&bits, &p_value, sizeof(bits));
        add_bits(bits, 4);
    }
    void add(const Vector3 &p_value) {
        add(p_value.x);
        add(p_value.y);
        add(p_value.z);
    }
};

// SplitMix64: a fixed stream of 64-bit words.
struct Stream {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    }
    double unit() { // [0, 1), exactly
        return static_cast<double>(static_cast<int64_t>(next() >> 11)) * 0x1p-53;
    }
};

// Assembled field by field: the value types' out-of-line parts stay out of the program.
Transform3D make_transform(const Basis &p_basis, const Vector3 &p_origin) {
    Transform3D transform;
    transform.basis = p_basis;
    transform.origin = p_origin;
    return transform;
}

double scaled_by_power_of_two(double p_value, int p_exponent) { // exact while in range
    while (p_exponent > 0) {
        const int step = p_exponent > 60 ? 60 : p_exponent;
        p_value *= static_cast<double>(static_cast<int64_t>(1) << step);
        p_exponent -= step;
    }
    while (p_exponent < 0) {
        const int step = p_exponent < -60 ? 60 : -p_exponent;
        p_value /= static_cast<double>(static_cast<int64_t>(1) << step);
        p_exponent += step;
    }
    return p_value;
}

uint64_t trig_hash() {
    Stream stream{1};
    Hash hash;
    double arguments[4];
    for (int i = 0; i < 1000000; i++) {
        const double unit = stream.unit();
        double x;
        switch (i % 4) {
        case 0:
            x = 8.0 * unit - 4.0;
            break;
        case 1:
            x = 2e5 * unit - 1e5;
            break;
        case 2:
            x = scaled_by_power_of_two(1.0 + unit, static_cast<int>(stream.next() % 1000) - 30);
            break;
        default: { // any finite double
            const uint64_t bits = stream.next() % 0x7ff0000000000000u;
            std::memcpy(&x, &bits, sizeof(x));
            break;
        }
        }
        arguments[i % 4] = x;
        if (i % 4 == 3) { // each group of four one by one, then in the vector lanes
            double s[4], c[4];
            for (int k = 0; k < 4; k++) {
                brinewake::sine_cosine(arguments[k], s[k], c[k]);
                hash.add(s[k]);
                hash.add(c[k]);
            }
            brinewake::sine_cosine_quad(arguments, s, c);
            for (int k = 0; k < 4; k++) {
                hash.add(s[k]);
                hash.add(c[k]);
            }
        }
    }
    return hash.value;
}

uint64_t sea_hash() {
    const double times[] = {0.0, 2.5, 17.25, 600.0, 3599.9, 86400.0, 1e7, 1e12, 1e100, 1e300};
    Hash hash;
    for (double t : times) {
        for (int ix = -100; ix <= 100; ix++) {
            for (int iz = -100; iz <= 100; iz++) {
                const brinewake::WaveSample sample = brinewake::sample_waves(0.73 * ix, 0.91 * iz - 0.2, t);
                hash.add(sample.height);
                hash.add(sample.vertical_speed);
            }
        }
    }
    return hash.value;
}

// Rotation by yaw about Y, then pitch about X, then roll about Z, from the library's own trigonometry.
Basis pose_basis(double p_yaw, double p_pitch, double p_roll) {
    double sy, cy, sp, cp, sr, cr;
    brinewake::sine_cosine(p_yaw, sy, cy);
    brinewake::sine_cosine(p_pitch, sp, cp);
    brinewake::sine_cosine(p_roll, sr, cr);
    // R = Ry * Rx * Rz, in double, rounded once to single.
    const double m[3][3] = {
        {cy * cr + sy * sp * sr, -cy * sr + sy * sp * cr, sy * cp},
        {cp * sr, cp * cr, -sp},
        {-sy * cr + cy * sp * sr, sy * sr + cy * sp * cr, cy * cp},
    };
    return Basis(static_cast<float>(m[0][0]), static_cast<float>(m[0][1]), static_cast<float>(m[0][2]),
                 static_cast<float>(m[1][0]), static_cast<float>(m[1][1]), static_cast<float>(m[1][2]),
                 static_cast<float>(m[2][0]), static_cast<float>(m[2][1]), static_cast<float>(m[2][2]));
}

uint64_t hull_hash() {
    Stream stream{2};
    Hash hash;
    for (int i = 0; i < 20000; i++) {
        double u[20]; // drawn in order first: the order arguments are evaluated in is unspecified
        for (double &value : u) {
            value = stream.unit();
        }
        const Basis basis = pose_basis(6.3 * u[0], 0.8 * u[1] - 0.4, 0.8 * u[2] - 0.4);
        const Vector3 origin(static_cast<float>(400.0 * u[3] - 200.0), static_cast<float>(1.2 * u[4] - 0.6),
                             static_cast<float>(400.0 * u[5] - 200.0));
        const Vector3 linear(static_cast<float>(20.0 * u[6] - 10.0), static_cast<float>(4.0 * u[7] - 2.0),
                             static_cast<float>(20.0 * u[8] - 10.0));
        const Vector3 angular(static_cast<float>(2.0 * u[9] - 1.0), static_cast<float>(2.0 * u[10] - 1.0),
                              static_cast<float>(2.0 * u[11] - 1.0));
        const double time = (i % 10 == 9) ? 1e300 * u[12] : 5000.0 * u[12];
        const double throttle = 2.0 * u[13] - 1.0;
        const double steering = 2.0 * u[14] - 1.0;
        const double boost = u[15] - 0.5;
        const Vector2 wind(static_cast<float>(4.0 * u[16] - 2.0), static_cast<float>(4.0 * u[17] - 2.0));
        const brinewake::HullForces forces = brinewake::compute_hull_forces(
            make_transform(basis, origin), linear, angular, time, throttle, steering, boost, wind);
        hash.add(forces.force);
        hash.add(forces.torque);
    }
    return hash.value;
}

uint64_t predictor_hash() {
    brinewake::MotionState state;
    state.transform = make_transform(pose_basis(0.4, 0.05, -0.03), Vector3(1.5f, 0.05f, -2.0f));
    state.linear_velocity = Vector3(0.5f, 0.0f, -1.0f);
    state.angular_velocity = Vector3(0.05f, 0.2f, -0.03f);
    state.wind = Vector2(1.0f, -0.5f);
    state.time = 2.0;
    state.speed_boost_remaining = 3.0;
    Hash hash;
    for (int i = 0; i < 600; i++) {
        const double throttle = double((i / 50) % 3) - 1.0;
        const double steering = 0.5 * double((i / 37) % 5 - 2);
        const double delta = i % 7 == 0 ? 1.0 / 30.0 : 1.0 / 60.0;
        if (i == 300) {
            state.wind = Vector2(-1.5f, 0.8f);
            state.speed_boost_remaining = 1.5;
        }
        brinewake::step_motion(state, throttle, steering, delta);
        hash.add(state.transform.basis.rows[0]);
        hash.add(state.transform.basis.rows[1]);
        hash.add(state.transform.basis.rows[2]);
        hash.add(state.transform.origin);
        hash.add(state.linear_velocity);
        hash.add(state.angular_velocity);
        hash.add(state.time);
    }
    return hash.value;
}

void print(const char *p_name, uint64_t p_hash) {
    char digits[17];
    for (int i = 0; i < 16; i++) {
        digits[i] = "0123456789abcdef"[(p_hash >> (60 - 4 * i)) & 0xfu];
    }
    digits[16] = '\0';
    std::printf("%s 0x%s\n", p_name, digits);
}

} // namespace

int main() {
    print("trig", trig_hash());
    print("sea", sea_hash());
    print("hull", hull_hash());
    print("predictor", predictor_hash());
    return 0;
}
