// The hull force model: reference poses, the wind's axis rule, restoring torques and the constants' bits.
#include "rules/hull_model.hpp"

#include <godot_cpp/variant/basis.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using brinewake::compute_hull_forces;
using brinewake::HullForces;
using godot::Basis;
using godot::Transform3D;
using godot::Vector2;
using godot::Vector3;

namespace {

struct Pose {
    Transform3D transform;
    Vector3 linear_velocity;
    Vector3 angular_velocity;
    double time = 0.0;
    double throttle = 0.0;
    double steering = 0.0;
    double boost_remaining = 0.0;
    Vector2 wind;
};

HullForces forces(const Pose &p) {
    return compute_hull_forces(p.transform, p.linear_velocity, p.angular_velocity, p.time, p.throttle,
                               p.steering, p.boost_remaining, p.wind);
}

Pose at(const Vector3 &p_origin, const Basis &p_basis = Basis()) {
    Pose p;
    p.transform = Transform3D(p_basis, p_origin);
    return p;
}

bool same_bits(const Vector3 &p_a, const Vector3 &p_b) {
    return std::memcmp(&p_a, &p_b, sizeof(Vector3)) == 0;
}

// The published figures have three decimals: the result must round to them.
void expect_published(const Vector3 &p_actual, const Vector3 &p_expected) {
    const float tolerance = 0.0005f + 1e-6f * p_expected.length();
    EXPECT_NEAR(p_actual.x, p_expected.x, tolerance);
    EXPECT_NEAR(p_actual.y, p_expected.y, tolerance);
    EXPECT_NEAR(p_actual.z, p_expected.z, tolerance);
}

} // namespace

TEST(HullModel, ReferencePoses) {
    struct Case {
        const char *name;
        Pose pose;
        Vector3 force;
        Vector3 torque;
    };
    Pose throttle = at(Vector3());
    throttle.throttle = 1.0;
    Pose boosted = throttle;
    boosted.boost_remaining = 1.0;
    Pose windy = at(Vector3(0, 2, 0));
    windy.wind = Vector2(3, -2);
    Pose turning = at(Vector3());
    turning.linear_velocity = Vector3(0, 0, -4);
    turning.throttle = 1.0;
    turning.steering = 1.0;

    const Case cases[] = {
        {"level at rest", at(Vector3()), Vector3(0, 2768.786f, 0), Vector3(-371.526f, 0, 69.054f)},
        {"throttle", throttle, Vector3(0, 2768.786f, -1494.979f), Vector3(-371.526f, 0, 69.054f)},
        {"throttle and boost", boosted, Vector3(0, 2768.786f, -3363.703f), Vector3(-371.526f, 0, 69.054f)},
        {"wind, out of the water", windy, Vector3(1241.983f, 0, -80.499f), Vector3(-32.940f, 0, -508.219f)},
        {"moving, steering", turning, Vector3(0, 2768.786f, -1384.581f),
         Vector3(-371.526f, -314.335f, 69.054f)},
        {"deep, capped", at(Vector3(0, -5, 0)), Vector3(0, 4128.014f, 0), Vector3(-57.839f, 0, 9.356f)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const HullForces f = forces(c.pose);
        expect_published(f.force, c.force);
        expect_published(f.torque, c.torque);
    }

    // Entirely out of the water and no wind: nothing at all, not even rounding noise.
    const HullForces dry = forces(at(Vector3(0, 2, 0)));
    EXPECT_TRUE(dry.force == Vector3());
    EXPECT_TRUE(dry.torque == Vector3());
}

TEST(HullModel, BoostDependsOnlyOnTheSign) {
    struct Case {
        double boost_remaining;
        bool boosted;
    };
    const Case cases[] = {{0.0, false},   {-0.0, false}, {-3.0, false},
                          {1e-300, true}, {0.5, true},   {8.0, true}};
    Pose plain = at(Vector3());
    plain.throttle = 1.0;
    plain.linear_velocity = Vector3(0, 0, -3); // drag must not be boosted
    Pose full = plain;
    full.boost_remaining = 1.0;
    const HullForces unboosted = forces(plain);
    const HullForces boosted = forces(full);
    ASSERT_NE(unboosted.force.z, boosted.force.z);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.boost_remaining);
        Pose p = plain;
        p.boost_remaining = c.boost_remaining;
        EXPECT_TRUE(same_bits(forces(p).force, c.boosted ? boosted.force : unboosted.force));
    }
    // T = 5200 * 2.25 - |vf| vf 24 with vf = 3: the boost scales the throttle term alone.
    const float wet_force_scale = 0.287496f; // every point is deep, so wet = 1
    EXPECT_NEAR(boosted.force.z, -float(5200.0 * 2.25 - 9.0 * 24.0) * wet_force_scale, 0.01f);
}

TEST(HullModel, WindNeedsBothHorizontalAxes) {
    struct Case {
        const char *name;
        Basis basis;
        bool wind_acts;
    };
    const float quarter_turn = float(Math_PI / 2);
    const Case cases[] = {
        {"level", Basis(), true},
        {"bow up", Basis(Vector3(1, 0, 0), quarter_turn), false},
        {"bow down", Basis(Vector3(1, 0, 0), -quarter_turn), false},
        {"on its side", Basis(Vector3(0, 0, 1), quarter_turn), false},
        {"steep pitch", Basis(Vector3(1, 0, 0), 1.3f), true},
        {"yawed", Basis(Vector3(0, 1, 0), 2.0f), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Pose p = at(Vector3(0, 50, 0), c.basis); // far above the sea: only the wind can act
        p.wind = Vector2(30, -40);
        p.throttle = -1.0;
        const HullForces f = forces(p);
        EXPECT_TRUE(f.force.is_finite());
        EXPECT_EQ(f.force != Vector3(), c.wind_acts);
        EXPECT_EQ(f.force.y, 0.0f); // the wind is horizontal
        p.wind = Vector2();
        EXPECT_TRUE(forces(p).force == Vector3());
    }
}

TEST(HullModel, BuoyancyRightsRollAndPitch) {
    const float tilt = 0.3f;
    const HullForces level = forces(at(Vector3()));
    // Right side raised (roll about +Z): the deeper left side rolls it back.
    EXPECT_LT(forces(at(Vector3(), Basis(Vector3(0, 0, 1), tilt))).torque.z, level.torque.z);
    EXPECT_GT(forces(at(Vector3(), Basis(Vector3(0, 0, 1), -tilt))).torque.z, level.torque.z);
    // Bow raised (pitch about +X): the deeper stern pitches it back.
    EXPECT_LT(forces(at(Vector3(), Basis(Vector3(1, 0, 0), tilt))).torque.x, level.torque.x);
    EXPECT_GT(forces(at(Vector3(), Basis(Vector3(1, 0, 0), -tilt))).torque.x, level.torque.x);

    // Rising fast through the water: damping may cancel buoyancy but never pulls the hull down.
    Pose rising = at(Vector3());
    rising.linear_velocity = Vector3(0, 50, 0);
    const float heave = -200.0f * 50.0f * 1.0f * 0.287496f;
    EXPECT_FLOAT_EQ(forces(rising).force.y, heave);
    // Sinking fast: each point is capped at 7000 * 0.287496.
    Pose sinking = at(Vector3());
    sinking.linear_velocity = Vector3(0, -50, 0);
    EXPECT_NEAR(forces(sinking).force.y, 4 * float(7000 * 0.287496) - heave, 0.01f);
}

TEST(HullModel, SteeringIsAWorldYawTorque) {
    struct Case {
        const char *name;
        float forward_speed; // along the bow
        double throttle;
        double steering;
        int yaw_sign; // of torque.y; positive steering turns the bow to starboard when going ahead
    };
    const Case cases[] = {
        {"ahead, right", 4.0f, 0.0, 1.0, -1},   {"ahead, left", 4.0f, 0.0, -1.0, +1},
        {"astern, right", -4.0f, 0.0, 1.0, +1}, {"throttle only", 0.0f, 1.0, 1.0, -1},
        {"no steering", 4.0f, 1.0, 0.0, 0},
    };
    const Basis yawed(Vector3(0, 1, 0), 0.7f);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Pose p = at(Vector3(), yawed);
        p.linear_velocity = yawed.xform(Vector3(0, 0, -c.forward_speed));
        p.throttle = c.throttle;
        p.steering = c.steering;
        const float yaw = forces(p).torque.y;
        EXPECT_EQ((yaw > 0) - (yaw < 0), c.yaw_sign) << yaw;
    }
}

TEST(HullModel, NonFiniteInputsPropagate) {
    Pose p = at(Vector3());
    p.linear_velocity = Vector3(NAN, 0, 0);
    p.throttle = 1.0;
    EXPECT_FALSE(forces(p).force.is_finite());
    Pose q = at(Vector3());
    q.time = INFINITY;
    EXPECT_FALSE(forces(q).force.is_finite());
}

TEST(HullModel, ConstantsInSinglePrecision) {
    // 0.72 and S each rounded to float and multiplied in float: one step above the float nearest 0.4752.
    const float half_width = static_cast<float>(0.72) * static_cast<float>(0.66);
    EXPECT_NE(half_width, 0.4752f);
    EXPECT_EQ(half_width, std::nextafter(0.4752f, 1.0f));
    const Vector3 expected[4] = {Vector3(-half_width, -0.264f, 0.891f),
                                 Vector3(-half_width, -0.264f, -0.891f), Vector3(half_width, -0.264f, 0.891f),
                                 Vector3(half_width, -0.264f, -0.891f)};
    for (int i = 0; i < 4; i++) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(same_bits(brinewake::HULL_SAMPLE_POINTS[i], expected[i]));
    }
    EXPECT_EQ(brinewake::HULL_MASS, 129.3732f);
    EXPECT_TRUE(same_bits(brinewake::HULL_CENTER_OF_MASS, Vector3(0, -0.2112f, 0)));
    EXPECT_EQ(brinewake::HULL_SCALE, 0.66);

    // Inverse principal moments of a 1.8 x 0.8 x 3.7 S box about the centre of mass below its middle.
    const double m = 129.3732, s = 0.66, w = 1.8 * s, h = 0.8 * s, d = 3.7 * s, c = 0.32 * s;
    const double moments[3] = {m / 12 * (h * h + d * d) + m * c * c, m / 12 * (w * w + d * d),
                               m / 12 * (w * w + h * h) + m * c * c};
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(brinewake::HULL_INVERSE_INERTIA[i], 1.0 / moments[i], 1e-6 / moments[i]);
    }
}
