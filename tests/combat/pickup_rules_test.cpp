// Pickup rules: kinds, radii and delays by kind, the floating height and the reach test.
#include "combat/pickup_rules.hpp"

#include "rules/wave_field.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

using brinewake::MODEL_ROCKET;
using brinewake::PICKUP_HEALTH;
using brinewake::PICKUP_SPEED;
using brinewake::WATER_CANNON;
using godot::Vector3;

namespace {

constexpr float NAN_F = std::numeric_limits<float>::quiet_NaN();
constexpr float INF_F = std::numeric_limits<float>::infinity();

TEST(PickupKinds, RadiusDelayAndAvailabilityByKind) {
    struct Case {
        int32_t kind;
        bool weapon_with_pickups;
        double radius;  // m
        double respawn; // s
    };
    const Case cases[] = {
        {MODEL_ROCKET, true, 1.6, 12.0},  {WATER_CANNON, false, 0.0, 0.0}, {PICKUP_HEALTH, false, 1.8, 20.0},
        {PICKUP_SPEED, false, 1.8, 20.0}, {2, false, 1.8, 20.0},           {-1, false, 1.8, 20.0},
        {INT_MIN, false, 1.8, 20.0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(brinewake::weapon_has_pickups(c.kind), c.weapon_with_pickups) << c.kind;
        EXPECT_EQ(brinewake::pickup_radius(c.kind), c.radius) << c.kind;
        EXPECT_EQ(brinewake::pickup_respawn_time(c.kind), c.respawn) << c.kind;
    }
}

TEST(PickupHeight, WaveHeightPlusHoverRoundedOnce) {
    struct Case {
        Vector3 anchor;
        double wave_time, hover;
    };
    const Case cases[] = {
        {Vector3(1, 0, 2), 0.0, 0.35},           {Vector3(1, 99, 2), 0.0, 0.35}, // anchor y is not used
        {Vector3(-13.7f, 0, 8.25f), 41.3, 0.35}, {Vector3(250.5f, 0, -77.1f), 1234.5, 0.0},
        {Vector3(3, 0, -3), 7.0, -0.2},
    };
    for (const Case &c : cases) {
        const double sea = brinewake::wave_height(double(c.anchor.x), double(c.anchor.z), c.wave_time);
        EXPECT_EQ(brinewake::pickup_display_height(c.anchor, c.wave_time, c.hover), float(sea + c.hover))
            << c.anchor.x << " " << c.wave_time;
    }
    EXPECT_EQ(brinewake::pickup_display_height(Vector3(1, 99, 2), 0.0, 0.35),
              brinewake::pickup_display_height(Vector3(1, -5, 2), 0.0, 0.35));
}

TEST(PickupReach, HorizontalRadiusAndVerticalReach) {
    const Vector3 anchor(10, 0, -4);
    const float display = 0.5f;
    struct Case {
        const char *name;
        int32_t kind;
        float dx, dz; // horizontal offset of the boat from the anchor (m)
        float y;      // boat height
        bool reach;
    };
    const Case cases[] = {
        {"rocket at 1.5 m", MODEL_ROCKET, 1.5f, 0, display, true},
        {"rocket at 1.7 m", MODEL_ROCKET, 0, -1.7f, display, false},
        {"rocket diagonally 1.41 m", MODEL_ROCKET, 1, 1, display, true},
        {"health at 1.7 m", PICKUP_HEALTH, -1.7f, 0, display, true},
        {"health at 1.9 m", PICKUP_HEALTH, 0, 1.9f, display, false},
        {"speed at 1.7 m", PICKUP_SPEED, 0, 1.7f, display, true},
        {"speed at 1.9 m", PICKUP_SPEED, -1.9f, 0, display, false},
        {"right above it", MODEL_ROCKET, 0, 0, display + 1.9f, true},
        {"2.0 above: still within reach", MODEL_ROCKET, 0, 0, 2.5f, true},
        {"2.0 below: still within reach", MODEL_ROCKET, 0, 0, -1.5f, true},
        {"2.5 above", MODEL_ROCKET, 0, 0, 3.0f, false},
        {"2.5 below", PICKUP_HEALTH, 0, 0, -2.0f, false},
        {"just over 2.0 above", MODEL_ROCKET, 0, 0, std::nextafter(2.5f, 3.0f), false},
        {"height does not count horizontally", MODEL_ROCKET, 1.5f, 0, display + 1.9f, true},
    };
    for (const Case &c : cases) {
        const Vector3 boat(anchor.x + c.dx, c.y, anchor.z + c.dz);
        EXPECT_EQ(brinewake::pickup_within_reach(boat, anchor, display, brinewake::pickup_radius(c.kind)),
                  c.reach)
            << c.name;
    }
}

TEST(PickupReach, SinglePrecisionDistanceOfExactlyTheRadiusIsOutside) {
    // 1.6f widens to 1.60000002384..., which is more than the double radius 1.6.
    ASSERT_GT(double(1.6f), 1.6);
    const Vector3 anchor(0, 0, 0);
    EXPECT_FALSE(brinewake::pickup_within_reach(Vector3(1.6f, 0, 0), anchor, 0.0f, 1.6));
    EXPECT_FALSE(brinewake::pickup_within_reach(Vector3(0, 0, -1.6f), anchor, 0.0f, 1.6));
    EXPECT_TRUE(brinewake::pickup_within_reach(Vector3(std::nextafter(1.6f, 0.0f), 0, 0), anchor, 0.0f, 1.6));
    // A radius single precision holds exactly is inclusive.
    EXPECT_TRUE(brinewake::pickup_within_reach(Vector3(1.5f, 0, 0), anchor, 0.0f, 1.5));
}

TEST(PickupReach, NonFiniteNeverReaches) {
    const Vector3 anchor(0, 0, 0);
    const Vector3 boats[] = {Vector3(NAN_F, 0, 0), Vector3(0, NAN_F, 0), Vector3(0, 0, INF_F),
                             Vector3(-INF_F, 0, 0), Vector3(0, INF_F, 0)};
    for (const Vector3 &boat : boats) {
        EXPECT_FALSE(brinewake::pickup_within_reach(boat, anchor, 0.0f, 1.8)) << boat.x << boat.y << boat.z;
    }
    EXPECT_FALSE(brinewake::pickup_within_reach(Vector3(), anchor, NAN_F, 1.8));
    EXPECT_FALSE(brinewake::pickup_within_reach(Vector3(), Vector3(NAN_F, 0, 0), 0.0f, 1.8));
}

} // namespace
