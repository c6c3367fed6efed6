// The sea: three fixed sine waves summed over the horizontal X-Z plane, evaluated in double precision.
#pragma once

#include <cmath>

namespace brinewake {

struct Wave {
    double amplitude; // m, half the crest-to-trough height
    double kx;        // rad/m, X component of the wave vector
    double kz;        // rad/m, Z component of the wave vector
    double omega;     // rad/s, angular frequency
    double phase;     // rad, phase at x = z = t = 0
};

// Summed in this order; scripts receive the records in this order too.
inline constexpr Wave WAVES[3] = {
    {0.18, 0.35, 0.12, 1.25, 0.0},
    {0.09, -0.18, 0.53, 1.65, 1.2},
    {0.045, 0.82, -0.31, 2.2, 2.4},
};

struct WaveSample {
    double height;         // m, world Y of the surface
    double vertical_speed; // m/s, d(height)/dt at a fixed horizontal position
};

// Surface height and vertical speed at world (x, z) and wave time t (seconds).
inline WaveSample sample_waves(double p_x, double p_z, double p_t) {
    WaveSample sample{0.0, 0.0};
    for (const Wave &wave : WAVES) {
        const double argument = (wave.kx * p_x + wave.kz * p_z) - wave.omega * p_t + wave.phase;
        // Both of the same argument: the compiler fuses them into one sine-and-cosine call.
        const double s = std::sin(argument);
        const double c = std::cos(argument);
        sample.height += wave.amplitude * s;
        sample.vertical_speed += -(wave.amplitude * wave.omega) * c;
    }
    return sample;
}

inline double wave_height(double p_x, double p_z, double p_t) {
    return sample_waves(p_x, p_z, p_t).height;
}

} // namespace brinewake
