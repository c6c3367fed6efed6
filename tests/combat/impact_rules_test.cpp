// Impact rules: push direction, blast falloff and direction, and the push on a struck non-boat body.
#include "combat/impact.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using brinewake::MODEL_ROCKET;
using brinewake::spec;
using brinewake::Vec3d;
using brinewake::WATER_CANNON;
using godot::Vector3;

namespace {

constexpr double NAN_D = std::numeric_limits<double>::quiet_NaN();
constexpr double INF_D = std::numeric_limits<double>::infinity();
constexpr float NAN_F = std::numeric_limits<float>::quiet_NaN();
constexpr float INF_F = std::numeric_limits<float>::infinity();

bool has_nan(const Vector3 &p_vector) {
    return std::isnan(p_vector.x) || std::isnan(p_vector.y) || std::isnan(p_vector.z);
}

TEST(ImpactPush, AlongTheFlightOrIntoTheSurfaceWhenAtRest) {
    struct Case {
        const char *name;
        Vec3d velocity;
        Vector3 normal;
        Vector3 expected;
    };
    const Case cases[] = {
        {"flying forward", {0.0, 0.0, -20.0}, Vector3(0, 1, 0), Vector3(0, 0, -1)},
        {"flying 3-4-0", {3.0, -4.0, 0.0}, Vector3(1, 0, 0), Vector3(0.6f, -0.8f, 0)},
        {"slow but moving (speed^2 4e-6)", {0.0, 2e-3, 0.0}, Vector3(1, 0, 0), Vector3(0, 1, 0)},
        {"at rest: against the normal", {0.0, 0.0, 0.0}, Vector3(0, 0, 1), Vector3(0, 0, -1)},
        {"expired at rest in the air: straight down", {0.0, 0.0, 0.0}, Vector3(0, 1, 0), Vector3(0, -1, 0)},
        {"crawling (speed^2 2.5e-7)", {5e-4, 0.0, 0.0}, Vector3(0, 1, 0), Vector3(0, -1, 0)},
        {"too small for single precision", {1e-300, 0.0, 0.0}, Vector3(0, 1, 0), Vector3(0, -1, 0)},
        {"NaN velocity: against the normal", {NAN_D, 1.0, 0.0}, Vector3(0, 1, 0), Vector3(0, -1, 0)},
        {"infinite velocity: no direction", {INF_D, 0.0, 0.0}, Vector3(0, 1, 0), Vector3()},
    };
    for (const Case &c : cases) {
        const Vector3 g = brinewake::push_direction(c.velocity, c.normal);
        EXPECT_FALSE(has_nan(g)) << c.name;
        EXPECT_NEAR(g.x, c.expected.x, 1e-7) << c.name;
        EXPECT_NEAR(g.y, c.expected.y, 1e-7) << c.name;
        EXPECT_NEAR(g.z, c.expected.z, 1e-7) << c.name;
    }
}

TEST(ImpactBlast, LinearFalloffFromTheHitCentre) {
    const double radius = spec(MODEL_ROCKET).blast_radius; // 2.6 m
    const float just_past = std::nextafter(2.6f, 3.0f);
    struct Case {
        const char *name;
        Vector3 center, position;
        double expected;
        double tolerance;
    };
    const Case cases[] = {
        {"at the centre", Vector3(1, 2, 3), Vector3(1, 2, 3), 1.0, 0.0},
        {"1.3 m away: half", Vector3(0, 0, 0), Vector3(1.3f, 0, 0), 0.5, 1e-7},
        {"1.3 m away diagonally", Vector3(1, 1, 1), Vector3(1.0f + 1.2f, 1.0f + 0.5f, 1), 0.5, 1e-7},
        {"single-precision distance widened, then divided in double", Vector3(0, 0, 0), Vector3(0, 0, 1.3f),
         1.0 - double(1.3f) / 2.6, 0.0},
        // 2.6f widens to just below 2.6, so the rule leaves a sliver of falloff there.
        {"at 2.6f", Vector3(0, 0, 0), Vector3(2.6f, 0, 0), 1.0 - double(2.6f) / 2.6, 0.0},
        {"first float past 2.6", Vector3(0, 0, 0), Vector3(just_past, 0, 0), 0.0, 0.0},
        {"beyond", Vector3(0, 0, 0), Vector3(0, -3, 0), 0.0, 0.0},
        {"far beyond", Vector3(0, 0, 0), Vector3(1e30f, 0, 0), 0.0, 0.0},
        {"NaN centre", Vector3(NAN_F, 0, 0), Vector3(0, 0, 0), 0.0, 0.0},
        {"infinite position", Vector3(0, 0, 0), Vector3(0, INF_F, 0), 0.0, 0.0},
    };
    for (const Case &c : cases) {
        const double w = brinewake::blast_falloff(c.center, c.position, radius);
        if (c.tolerance > 0.0) {
            EXPECT_NEAR(w, c.expected, c.tolerance) << c.name;
        } else {
            EXPECT_EQ(w, c.expected) << c.name;
        }
        EXPECT_GE(w, 0.0) << c.name;
        EXPECT_LE(w, 1.0) << c.name;
    }
    EXPECT_GT(brinewake::blast_falloff(Vector3(), Vector3(2.6f, 0, 0), radius), 0.0);
    // A radius that single precision holds exactly: at it and beyond, nothing.
    EXPECT_EQ(brinewake::blast_falloff(Vector3(), Vector3(0, 2.5f, 0), 2.5), 0.0);
    // A weapon without blast reaches nobody, not even at the centre.
    EXPECT_EQ(brinewake::blast_falloff(Vector3(), Vector3(), 0.0), 0.0);
    EXPECT_EQ(brinewake::blast_falloff(Vector3(), Vector3(0.5f, 0, 0), 0.0), 0.0);
}

TEST(ImpactBlast, DamageAndImpulseShareAtHalfRadius) {
    const brinewake::WeaponSpec &rocket = spec(MODEL_ROCKET);
    const double w = brinewake::blast_falloff(Vector3(), Vector3(0, 0, -1.3f), rocket.blast_radius);
    EXPECT_NEAR(w * rocket.damage, 12.5, 1e-6);
    EXPECT_NEAR(w * rocket.blast_impulse, 210.0, 1e-5);
}

TEST(ImpactBlast, DirectionAwayFromTheBlastBiasedUpwards) {
    struct Case {
        const char *name;
        Vector3 center, position;
        double x, y, z; // the direction before normalization
    };
    const Case cases[] = {
        {"coincident: straight up", Vector3(1, 2, 3), Vector3(1, 2, 3), 0, 0.6, 0},
        {"blast right below", Vector3(0, 1, 0), Vector3(0, 0, 0), 0, 1.6, 0},
        {"blast to the side, level", Vector3(3, 0, 4), Vector3(0, 0, 0), 3, 0.6, 4},
        {"blast to the side and below", Vector3(3, 0.5f, 4), Vector3(0, 0, 0), 3, 1.1, 4},
        {"blast above: the height difference counts as 0", Vector3(0.8f, -2, 0), Vector3(0, 0, 0), 0.8, 0.6,
         0},
        {"blast high above and behind", Vector3(-1, 0, 0), Vector3(1, 5, 0), -2, 0.6, 0},
    };
    for (const Case &c : cases) {
        const Vector3 n = brinewake::blast_direction(c.center, c.position);
        const double length = std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z);
        EXPECT_NEAR(n.x, c.x / length, 1e-6) << c.name;
        EXPECT_NEAR(n.y, c.y / length, 1e-6) << c.name;
        EXPECT_NEAR(n.z, c.z / length, 1e-6) << c.name;
    }
    EXPECT_EQ(brinewake::blast_direction(Vector3(1, 2, 3), Vector3(1, 2, 3)), Vector3(0, 1, 0));
}

TEST(ImpactBlast, NonFiniteDirectionIsNoDirection) {
    const Vector3 cases[][2] = {
        {Vector3(NAN_F, 0, 0), Vector3(0, 0, 0)},
        {Vector3(0, 0, 0), Vector3(0, NAN_F, 0)},
        {Vector3(INF_F, 0, 0), Vector3(0, 0, 0)},
        {Vector3(0, 0, 0), Vector3(0, 0, -INF_F)},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(brinewake::blast_direction(c[0], c[1]), Vector3()) << c[0].x << " " << c[1].z;
    }
}

TEST(ImpactStruckBody, HalfTheBlastPlusTheImpactImpulseAlongThePush) {
    const Vector3 g(0, 0, -1);
    EXPECT_EQ(brinewake::struck_body_impulse(spec(MODEL_ROCKET), g), Vector3(0, 0, -210));
    EXPECT_EQ(brinewake::struck_body_impulse(spec(WATER_CANNON), g), Vector3(0, 0, -10));
    const Vector3 slanted(0.6f, 0, 0.8f);
    EXPECT_EQ(brinewake::struck_body_impulse(spec(MODEL_ROCKET), slanted), slanted * 210.0f);
    EXPECT_EQ(brinewake::struck_body_impulse(spec(MODEL_ROCKET), Vector3()), Vector3());
}

TEST(ImpactStruckBody, MagnitudeSummedInDoubleBeforeRounding) {
    // 0.5 * blast = 0.25 + 3 * 2^-28 and impact = 3 * 2^-28: summed in double the total rounds up to
    // 0.25 + 2^-25; rounding each part first would give 0.25.
    brinewake::WeaponSpec custom = spec(MODEL_ROCKET);
    custom.blast_impulse = 0.5 + 3.0 * std::ldexp(1.0, -27);
    custom.impact_impulse = 3.0 * std::ldexp(1.0, -28);
    const Vector3 impulse = brinewake::struck_body_impulse(custom, Vector3(1, 0, 0));
    EXPECT_EQ(impulse.x, float(0.25 + std::ldexp(1.0, -25)));
    EXPECT_NE(impulse.x, 0.25f);
}

} // namespace
