// The sea: three fixed sine waves summed over the horizontal X-Z plane, evaluated in double precision.
#pragma once

#include "rules/trig.hpp"

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

// m; no crest of the summed waves rises higher (nor any trough sinks lower).
inline constexpr double MAX_WAVE_HEIGHT = WAVES[0].amplitude + WAVES[1].amplitude + WAVES[2].amplitude;

struct WaveSample {
    double height;         // m, world Y of the surface
    double vertical_speed; // m/s, d(height)/dt at a fixed horizontal position
};

namespace detail {

// Argument of wave p_wave at (x, z) and time t.
inline double wave_argument(const Wave &p_wave, double p_x, double p_z, double p_t) {
    return (p_wave.kx * p_x + p_wave.kz * p_z) - p_wave.omega * p_t + p_wave.phase;
}

// The summed sample from the sines and cosines of the three wave arguments, in wave order.
inline WaveSample combine_waves(const double p_sines[3], const double p_cosines[3]) {
    WaveSample sample{0.0, 0.0};
    sample.height += WAVES[0].amplitude * p_sines[0];
    sample.height += WAVES[1].amplitude * p_sines[1];
    sample.height += WAVES[2].amplitude * p_sines[2];
    sample.vertical_speed += -(WAVES[0].amplitude * WAVES[0].omega) * p_cosines[0];
    sample.vertical_speed += -(WAVES[1].amplitude * WAVES[1].omega) * p_cosines[1];
    sample.vertical_speed += -(WAVES[2].amplitude * WAVES[2].omega) * p_cosines[2];
    return sample;
}

} // namespace detail

// Surface height and vertical speed at world (x, z) and wave time t (seconds).
// The library's own sine and cosine (the same bits on every platform), all three waves at once (the
// fourth lane repeats the third).
inline WaveSample sample_waves(double p_x, double p_z, double p_t) {
    const double a2 = detail::wave_argument(WAVES[2], p_x, p_z, p_t);
    const double arguments[4] = {detail::wave_argument(WAVES[0], p_x, p_z, p_t),
                                 detail::wave_argument(WAVES[1], p_x, p_z, p_t), a2, a2};
    double sines[4], cosines[4];
    sine_cosine_quad(arguments, sines, cosines);
    return detail::combine_waves(sines, cosines);
}

// s; the largest wave time accepted from scripts and peers. Far beyond any match, and far enough below
// the double range that omega * t stays finite for every wave.
inline constexpr double MAX_WAVE_TIME = 1e300;

// A wave time the sea can be evaluated at: finite and within MAX_WAVE_TIME of zero.
inline bool usable_wave_time(double p_t) {
    return std::fabs(p_t) <= MAX_WAVE_TIME;
}

inline double wave_height(double p_x, double p_z, double p_t) {
    return sample_waves(p_x, p_z, p_t).height;
}

} // namespace brinewake
