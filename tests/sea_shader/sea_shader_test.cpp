// The generated shader include, compiled as it stands over a small prelude, against the physics' sea.
#include "glsl_prelude.hpp"
#include "rules/wave_field.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

// The shader text writes its float constants as decimal literals, which C++ reads as doubles and rounds
// to float exactly as the shader compiler does.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfloat-conversion"
namespace glsl {
#include BRINEWAKE_SEA_SHADER_INCLUDE
} // namespace glsl
#pragma GCC diagnostic pop

namespace {

using brinewake::WAVES;
constexpr double TAU = 6.283185307179586476925286766559;

// The per-wave clock as a script hands it to the shader: t wrapped per wave period in double, then
// rounded to the uniform's single precision.
glsl::vec3 wave_clock(double p_t) {
    return glsl::vec3(float(std::fmod(p_t, TAU / WAVES[0].omega)),
                      float(std::fmod(p_t, TAU / WAVES[1].omega)),
                      float(std::fmod(p_t, TAU / WAVES[2].omega)));
}

// Single-precision error allowance of one wave's argument at (x, z) over a clock below its period:
// a few roundings of each term's magnitude.
double argument_error(const brinewake::Wave &p_wave, double p_x, double p_z) {
    const double magnitude =
        std::fabs(p_wave.kx * p_x) + std::fabs(p_wave.kz * p_z) + TAU + std::fabs(p_wave.phase);
    return 8.0 * FLT_EPSILON * magnitude + 2.0 * FLT_EPSILON;
}

const double GRID_X[] = {-250.0, -97.3, -10.0, -1.5, 0.0, 0.7, 13.0, 64.2, 250.0};
const double GRID_Z[] = {-180.0, -33.3, -2.25, 0.0, 1.0, 9.9, 71.0, 199.5};
// s; from the start of a match to a week of wave time.
const double TIMES[] = {0.0, 0.37, 5.1, 59.9, 3600.25, 86400.5, 604800.125};

TEST(SeaShaderTest, HeightSpeedAndNormalMatchThePhysicsOverAGridOfPointsAndTimes) {
    for (const double t : TIMES) {
        const glsl::vec3 clock = wave_clock(t);
        for (const double x : GRID_X) {
            for (const double z : GRID_Z) {
                SCOPED_TRACE(testing::Message() << "x " << x << " z " << z << " t " << t);
                const glsl::vec2 xz{float(x), float(z)};
                // The point itself is rounded to float in the shader; so is the reference's.
                const double fx = double(float(x)), fz = double(float(z));
                double height_tolerance = 1e-6, speed_tolerance = 1e-6, slope_tolerance = 1e-6;
                for (const brinewake::Wave &w : WAVES) {
                    const double e = argument_error(w, fx, fz);
                    height_tolerance += w.amplitude * e;
                    speed_tolerance += w.amplitude * w.omega * e;
                    slope_tolerance += w.amplitude * std::hypot(w.kx, w.kz) * e;
                }
                const brinewake::WaveSample sample = brinewake::sample_waves(fx, fz, t);
                EXPECT_NEAR(glsl::brinewake_sea_height(xz, clock), sample.height, height_tolerance);
                EXPECT_NEAR(glsl::brinewake_sea_height(xz, clock), brinewake::wave_height(fx, fz, t),
                            height_tolerance);
                EXPECT_NEAR(glsl::brinewake_sea_vertical_speed(xz, clock), sample.vertical_speed,
                            speed_tolerance);

                // Reference normal from central differences of the physics' height, in double.
                const double h = 1e-4;
                const double dx =
                    (brinewake::wave_height(fx + h, fz, t) - brinewake::wave_height(fx - h, fz, t)) / (2 * h);
                const double dz =
                    (brinewake::wave_height(fx, fz + h, t) - brinewake::wave_height(fx, fz - h, t)) / (2 * h);
                const double length = std::sqrt(dx * dx + 1.0 + dz * dz);
                const glsl::vec3 normal = glsl::brinewake_sea_normal(xz, clock);
                EXPECT_NEAR(normal.x, -dx / length, slope_tolerance + 1e-6);
                EXPECT_NEAR(normal.y, 1.0 / length, slope_tolerance + 1e-6);
                EXPECT_NEAR(normal.z, -dz / length, slope_tolerance + 1e-6);
            }
        }
    }
}

// The in-shader wrap of a float time is the preview path: as exact as the float time itself allows.
TEST(SeaShaderTest, TheShaderSideClockAgreesWithTheWrappedClockOverTheFirstMinute) {
    for (const double t : {0.0, 0.5, 7.25, 42.0, 59.75}) {
        const glsl::vec3 in_shader = glsl::brinewake_sea_clock(float(t));
        const glsl::vec3 wrapped = wave_clock(t);
        // A clock that wrapped one period apart is the same sea; compare the sea, not the clocks.
        for (const double x : GRID_X) {
            const glsl::vec2 xz{float(x), 3.0f};
            EXPECT_NEAR(glsl::brinewake_sea_height(xz, in_shader), glsl::brinewake_sea_height(xz, wrapped),
                        2e-5)
                << "t " << t << " x " << x;
        }
    }
}

// A constant taken from another table, or a sign slip in one wave, shows as a wrong sea somewhere; the
// crest bound is the one the physics uses.
TEST(SeaShaderTest, TheCrestBoundIsThePhysicsBound) {
    EXPECT_FLOAT_EQ(glsl::BRINEWAKE_SEA_MAX_HEIGHT, float(brinewake::MAX_WAVE_HEIGHT));
}

} // namespace
