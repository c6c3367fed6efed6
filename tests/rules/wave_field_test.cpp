// The sea height field: reference values, precision, bounds and the vertical speed.
#include "rules/wave_field.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using brinewake::sample_waves;
using brinewake::wave_height;
using brinewake::WaveSample;

namespace {

bool same_bits(double p_a, double p_b) {
    return std::memcmp(&p_a, &p_b, sizeof(double)) == 0;
}

// Independent long-double evaluation of the three waves.
WaveSample reference(long double p_x, long double p_z, long double p_t) {
    struct W {
        long double a, kx, kz, omega, phase;
    };
    const W waves[3] = {{0.18L, 0.35L, 0.12L, 1.25L, 0.0L},
                        {0.09L, -0.18L, 0.53L, 1.65L, 1.2L},
                        {0.045L, 0.82L, -0.31L, 2.2L, 2.4L}};
    long double h = 0.0L, v = 0.0L;
    for (const W &w : waves) {
        const long double arg = w.kx * p_x + w.kz * p_z - w.omega * p_t + w.phase;
        h += w.a * std::sin(arg);
        v -= w.a * w.omega * std::cos(arg);
    }
    return {double(h), double(v)};
}

} // namespace

TEST(WaveField, ReferenceValues) {
    struct Case {
        double x, z, t;
        double height, vertical_speed; // to the 7 decimals published for them
    };
    const Case cases[] = {
        {0.0, 0.0, 0.0, 0.1142794, -0.2058081},
        {10.0, -5.0, 3.0, -0.2500120, -0.1716933},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.z << ", " << c.t);
        const WaveSample s = sample_waves(c.x, c.z, c.t);
        EXPECT_NEAR(s.height, c.height, 5e-8);
        EXPECT_NEAR(s.vertical_speed, c.vertical_speed, 5e-8);
        EXPECT_TRUE(same_bits(wave_height(c.x, c.z, c.t), s.height));
    }

    // At the origin at time 0 the arguments are exactly the phases, so the sums are known to the bit.
    const WaveSample origin = sample_waves(0.0, 0.0, 0.0);
    EXPECT_TRUE(same_bits(origin.height, 0.09 * std::sin(1.2) + 0.045 * std::sin(2.4)));
    EXPECT_TRUE(same_bits(origin.vertical_speed, -(0.18 * 1.25) * std::cos(0.0) -
                                                     (0.09 * 1.65) * std::cos(1.2) -
                                                     (0.045 * 2.2) * std::cos(2.4)));
}

TEST(WaveField, DoublePrecisionFarFromTheOrigin) {
    // Large positions and times: a single-precision argument would be off by whole radians' hundredths.
    const double points[][3] = {
        {12345.678, -9876.5, 100000.25}, {-3.0e4, 2.5e4, 86400.0 * 3}, {0.1, 0.2, 1.0e6}};
    for (const auto &p : points) {
        SCOPED_TRACE(p[2]);
        const WaveSample s = sample_waves(p[0], p[1], p[2]);
        const WaveSample r = reference(p[0], p[1], p[2]);
        EXPECT_NEAR(s.height, r.height, 1e-9);
        EXPECT_NEAR(s.vertical_speed, r.vertical_speed, 1e-9);
    }
}

TEST(WaveField, BoundedAndConsistentOverAGrid) {
    const double max_speed = 0.18 * 1.25 + 0.09 * 1.65 + 0.045 * 2.2;
    for (double t : {0.0, 0.37, 5.0, 123.456, 9999.9}) {
        for (double x = -60.0; x <= 60.0; x += 1.7) {
            for (double z = -60.0; z <= 60.0; z += 2.3) {
                const WaveSample s = sample_waves(x, z, t);
                ASSERT_LE(std::fabs(s.height), 0.315) << x << ", " << z << ", " << t;
                ASSERT_LE(std::fabs(s.vertical_speed), max_speed) << x << ", " << z << ", " << t;
                ASSERT_TRUE(same_bits(wave_height(x, z, t), s.height)) << x << ", " << z << ", " << t;
            }
        }
    }
}

TEST(WaveField, VerticalSpeedIsTheTimeDerivativeOfHeight) {
    const double e = 1e-5;
    const double points[][3] = {{0.0, 0.0, 0.0}, {3.5, -7.25, 12.0}, {-20.0, 4.0, 0.8}};
    for (const auto &p : points) {
        const double numeric =
            (wave_height(p[0], p[1], p[2] + e) - wave_height(p[0], p[1], p[2] - e)) / (2 * e);
        EXPECT_NEAR(sample_waves(p[0], p[1], p[2]).vertical_speed, numeric, 1e-8);
    }
}

TEST(WaveField, NonFiniteInputsPropagate) {
    const double inf = INFINITY;
    EXPECT_TRUE(std::isnan(wave_height(NAN, 0.0, 0.0)));
    EXPECT_TRUE(std::isnan(wave_height(0.0, inf, 0.0)));
    EXPECT_TRUE(std::isnan(sample_waves(0.0, 0.0, -inf).vertical_speed));
}
