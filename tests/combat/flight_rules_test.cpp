// Projectile flight rules: the integration step and the contact fractions along a step's segment (world
// ray, sea crossing, hull box, proximity fuse), against the stated formulas, extents and boundaries.
#include "combat/flight.hpp"

#include "rules/wave_field.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using brinewake::MODEL_ROCKET;
using brinewake::Projectile;
using brinewake::spec;
using brinewake::Vec3d;
using brinewake::WATER_CANNON;
using brinewake::WeaponSpec;
using godot::Basis;
using godot::Transform3D;
using godot::Vector3;

namespace {

constexpr double FRAME = 1.0 / 60.0; // s
constexpr float NAN_F = std::numeric_limits<float>::quiet_NaN();
constexpr float INF_F = std::numeric_limits<float>::infinity();
constexpr double HULL_SCALE = 0.66;

// --- Integration ----------------------------------------------------------------------------------

struct IntegrationCase {
    std::string name;
    int32_t kind;
    Vec3d velocity;
    double age, dt;
    bool thrust; // whether the motor pushes during this step
};

TEST(FlightIntegration, SemiImplicitEulerWithThrustOnlyWhileBurning) {
    const std::vector<IntegrationCase> cases = {
        {"rocket at launch", MODEL_ROCKET, {0.0, 1.25471, -15.95073}, 0.0, FRAME, true},
        {"rocket just before burn-out", MODEL_ROCKET, {3.0, 4.0, -30.0}, 0.69, FRAME, true},
        {"step straddling burn-out still burns (age before the step)",
         MODEL_ROCKET,
         {3.0, 4.0, -30.0},
         0.69,
         0.05,
         true},
        {"rocket at burn-out", MODEL_ROCKET, {3.0, 4.0, -30.0}, 0.7, FRAME, false},
        {"rocket coasting", MODEL_ROCKET, {0.0, -8.0, -25.0}, 2.0, FRAME, false},
        {"rocket at rest gets no thrust", MODEL_ROCKET, {0.0, 0.0, 0.0}, 0.0, FRAME, false},
        {"rocket slower than 1e-6 m/s gets no thrust", MODEL_ROCKET, {0.0, 0.0, 1e-7}, 0.1, FRAME, false},
        {"water cannon jet", WATER_CANNON, {-0.65, 1.71, -31.9}, 0.0, FRAME, false},
        {"water cannon long step", WATER_CANNON, {0.0, 1.12, -31.98}, 0.4, 0.1, false},
    };
    for (const IntegrationCase &c : cases) {
        const WeaponSpec &s = spec(static_cast<brinewake::WeaponKind>(c.kind));
        Projectile p;
        p.kind = c.kind;
        p.position = Vec3d{10.0, 1.5, -4.0};
        p.velocity = c.velocity;
        p.age = c.age;
        brinewake::integrate_projectile(p, s, c.dt);

        const Vec3d v = c.velocity;
        const double speed = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        const double k = c.thrust ? s.thrust / speed : 0.0;
        const double drag = -s.drag * speed;
        const Vec3d a = c.thrust ? Vec3d{v.x * k, v.y * k - s.gravity, v.z * k} : Vec3d{0.0, -s.gravity, 0.0};
        const Vec3d expected_v{(a.x + drag * v.x) * c.dt + v.x, (a.y + drag * v.y) * c.dt + v.y,
                               (a.z + drag * v.z) * c.dt + v.z};
        EXPECT_EQ(p.velocity.x, expected_v.x) << c.name;
        EXPECT_EQ(p.velocity.y, expected_v.y) << c.name;
        EXPECT_EQ(p.velocity.z, expected_v.z) << c.name;
        // The new velocity moves the point.
        EXPECT_EQ(p.position.x, 10.0 + expected_v.x * c.dt) << c.name;
        EXPECT_EQ(p.position.y, 1.5 + expected_v.y * c.dt) << c.name;
        EXPECT_EQ(p.position.z, -4.0 + expected_v.z * c.dt) << c.name;
        EXPECT_EQ(p.age, c.dt + c.age) << c.name;
    }
}

TEST(FlightIntegration, LevelRocketSpeedsUpAndClimbsWhileBurningThenSlowsAndFalls) {
    const auto speed_of = [](const Vec3d &v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); };
    Projectile p;
    p.position = Vec3d{0.0, 1.0, 0.0};
    p.velocity = Vec3d{0.0, 1.25471, -15.95073};
    double burn_out_height = 0.0;
    while (p.age < 2.9) {
        const double age_before = p.age;
        const double speed_before = speed_of(p.velocity);
        const double height_before = p.position.y;
        brinewake::integrate_projectile(p, spec(MODEL_ROCKET), FRAME);
        if (age_before < 0.7) {
            EXPECT_GT(speed_of(p.velocity), speed_before) << "burning at age " << age_before;
            EXPECT_GT(p.position.y, height_before) << "burning at age " << age_before;
            burn_out_height = p.position.y;
        } else {
            EXPECT_LT(speed_of(p.velocity), speed_before) << "coasting at age " << age_before;
        }
    }
    EXPECT_LT(p.velocity.y, 0.0);
    EXPECT_LT(p.position.y, burn_out_height - 2.0);
}

TEST(FlightIntegration, CannonJetFromALevelBoatMeetsTheSeaWithinItsLifetime) {
    const double wave_time = 3.0;
    Projectile p;
    p.kind = WATER_CANNON;
    p.position = Vec3d{0.0, 0.9, 0.0};
    p.velocity = Vec3d{0.0, std::sin(0.035) * 32.0, -std::cos(0.035) * 32.0};
    bool met = false;
    while (!met && p.age < spec(WATER_CANNON).lifetime) {
        const Vector3 from = brinewake::to_vector3(p.position);
        brinewake::integrate_projectile(p, spec(WATER_CANNON), FRAME);
        const Vector3 to = brinewake::to_vector3(p.position);
        double fraction = 0.0;
        Vector3 at;
        met = brinewake::find_water_crossing(from, to - from, wave_time, fraction, at);
    }
    EXPECT_TRUE(met);
    EXPECT_LT(p.age, 1.0);
}

// --- Segment points and the world ray -------------------------------------------------------------

TEST(FlightSegment, PointsUseTheFractionRoundedToSinglePrecision) {
    const Vector3 from(1, 2, 3), d(3, -7, 11);
    const float f = float(1.0 / 3.0);
    EXPECT_EQ(brinewake::point_on_segment(from, d, 1.0 / 3.0),
              Vector3(1.0f + 3.0f * f, 2.0f + -7.0f * f, 3.0f + 11.0f * f));
    EXPECT_EQ(brinewake::point_on_segment(from, d, 0.0), from);
    EXPECT_EQ(brinewake::point_on_segment(from, d, 1.0), Vector3(4, -5, 14));
}

TEST(FlightSegment, RayHitFractionIsASinglePrecisionLengthRatio) {
    struct Case {
        const char *name;
        Vector3 from, d, hit;
        double expected;
    };
    const Case cases[] = {
        {"halfway", Vector3(1, 1, 1), Vector3(10, 0, 0), Vector3(6, 1, 1), 0.5},
        {"at the start", Vector3(1, 1, 1), Vector3(0, -4, 3), Vector3(1, 1, 1), 0.0},
        {"at the end", Vector3(0, 0, 0), Vector3(0, -4, 3), Vector3(0, -4, 3), 1.0},
        {"a third, divided in single precision", Vector3(0, 0, 0), Vector3(3, 0, 0), Vector3(1, 0, 0),
         double(1.0f / 3.0f)},
        {"zero-length segment", Vector3(2, 2, 2), Vector3(0, 0, 0), Vector3(5, 5, 5), 0.0},
        {"segment of squared length 1e-14 counts as a point", Vector3(0, 0, 0), Vector3(1e-7f, 0, 0),
         Vector3(1e-7f, 0, 0), 0.0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(brinewake::ray_hit_fraction(c.from, c.d, c.hit), c.expected) << c.name;
    }
}

// --- Sea crossing ---------------------------------------------------------------------------------

constexpr double WAVE_TIME = 12.5; // s

double sea_at(const Vector3 &p_point) {
    return brinewake::wave_height(double(p_point.x), double(p_point.z), WAVE_TIME);
}
bool below_sea(const Vector3 &p_point) {
    return double(p_point.y) - sea_at(p_point) < 0.0;
}
Vector3 along(const Vector3 &p_from, const Vector3 &p_d, double p_fraction) {
    const float f = float(p_fraction);
    return Vector3(p_from.x + p_d.x * f, p_from.y + p_d.y * f, p_from.z + p_d.z * f);
}

TEST(FlightWater, EndAboveTheSeaMeansNoCrossing) {
    const Vector3 cases[][2] = {
        {Vector3(0, 5, 0), Vector3(1, -1, 1)},    // above throughout
        {Vector3(3, -2, 4), Vector3(0.5f, 4, 0)}, // leaves the water
        {Vector3(NAN_F, 1, 0), Vector3(0, -5, 0)}, {Vector3(0, 1, 0), Vector3(0, NAN_F, 0)},
        {Vector3(0, 1, 0), Vector3(INF_F, -5, 0)}, // the end has no sea under it
    };
    for (const auto &c : cases) {
        double fraction = -1.0;
        Vector3 at(9, 9, 9);
        EXPECT_FALSE(brinewake::find_water_crossing(c[0], c[1], WAVE_TIME, fraction, at)) << c[0].y;
        EXPECT_EQ(fraction, -1.0) << "nothing written";
    }
}

TEST(FlightWater, StartUnderWaterReportsFractionZeroAtTheSurfaceAboveTheStart) {
    const Vector3 from(7.25f, -1.5f, -3.5f);
    const Vector3 d(0.4f, -0.3f, -0.5f);
    double fraction = -1.0;
    Vector3 at;
    ASSERT_TRUE(brinewake::find_water_crossing(from, d, WAVE_TIME, fraction, at));
    EXPECT_EQ(fraction, 0.0);
    EXPECT_EQ(at, Vector3(from.x, float(sea_at(from)), from.z));
}

TEST(FlightWater, BisectionFindsTheFirstUnderWaterPointOnAGridOfTwelveHalvings) {
    struct Case {
        const char *name;
        Vector3 from, d;
    };
    const Case cases[] = {
        {"straight down", Vector3(1, 2, 1), Vector3(0, -4, 0)},
        {"shallow dive across the waves", Vector3(-3, 0.6f, 5), Vector3(4, -1.2f, -6)},
        {"fast rocket step", Vector3(20, 0.4f, -30), Vector3(0.2f, -0.8f, -0.45f)},
    };
    const double step = 1.0 / 4096.0;
    for (const Case &c : cases) {
        ASSERT_FALSE(below_sea(c.from)) << c.name;
        ASSERT_TRUE(below_sea(c.from + c.d)) << c.name;
        double fraction = -1.0;
        Vector3 at;
        ASSERT_TRUE(brinewake::find_water_crossing(c.from, c.d, WAVE_TIME, fraction, at)) << c.name;
        EXPECT_GT(fraction, 0.0) << c.name;
        EXPECT_LE(fraction, 1.0) << c.name;
        EXPECT_EQ(std::floor(fraction / step), fraction / step) << c.name << ": not on the 2^-12 grid";
        // The reported fraction is the upper bracket: under water there, above one grid step earlier.
        EXPECT_TRUE(below_sea(along(c.from, c.d, fraction))) << c.name;
        EXPECT_FALSE(below_sea(along(c.from, c.d, fraction - step))) << c.name;
        // The contact lies on the wave surface over the crossing point.
        const Vector3 crossing = along(c.from, c.d, fraction);
        EXPECT_EQ(at, Vector3(crossing.x, float(sea_at(crossing)), crossing.z)) << c.name;
    }
    // For a vertical drop the true crossing is known: the grid point just at or past it.
    const Vector3 from(1, 2, 1), d(0, -4, 0);
    double fraction = 0.0;
    Vector3 at;
    ASSERT_TRUE(brinewake::find_water_crossing(from, d, WAVE_TIME, fraction, at));
    const double exact = (2.0 - sea_at(from)) / 4.0;
    EXPECT_GE(fraction, exact - 1e-6);
    EXPECT_LT(fraction - exact, step + 1e-6);
}

TEST(FlightWater, EndJustUnderTheSurfaceCrossesAtTheEnd) {
    // Every bisection point stays above water, so the crossing is the upper bracket 1, not 1 - 2^-12.
    const Vector3 from(2, 3, -1);
    const float end_y = float(sea_at(from)) - 1e-4f;
    const Vector3 d(0, end_y - 3.0f, 0);
    ASSERT_TRUE(below_sea(from + d));
    double fraction = 0.0;
    Vector3 at;
    ASSERT_TRUE(brinewake::find_water_crossing(from, d, WAVE_TIME, fraction, at));
    EXPECT_EQ(fraction, 1.0);
}

// --- Hit centre -----------------------------------------------------------------------------------

TEST(FlightHitCenter, RaisedAlongTheBoatsUpAxis) {
    const float deg = float(M_PI / 180.0);
    struct Case {
        const char *name;
        Transform3D transform;
        Vector3 expected;
    };
    const Case cases[] = {
        {"level", Transform3D(Basis(), Vector3(1, 2, 3)), Vector3(1, 2.0f + 0.15f, 3)},
        {"on its side",
         Transform3D(Basis(Vector3(1, 0, 0), Vector3(0, 0, 1), Vector3(0, -1, 0)), Vector3(1, 2, 3)),
         Vector3(1, 2, 3.0f + 0.15f)},
        {"upside down", Transform3D(Basis(Vector3(1, 0, 0), Vector3(0, -1, 0), Vector3(0, 0, -1)), Vector3()),
         Vector3(0, -0.15f, 0)},
        {"scaled basis", Transform3D(Basis(Vector3(2, 0, 0), Vector3(0, 2, 0), Vector3(0, 0, 2)), Vector3()),
         Vector3(0, 0.3f, 0)},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(brinewake::hit_center(c.transform), c.expected) << c.name;
    }
    // Pitched: along the tilted up axis.
    const Transform3D pitched(Basis(Vector3(1, 0, 0), 30 * deg), Vector3(0, 0.5f, 0));
    const Vector3 up = pitched.basis.get_column(1);
    EXPECT_EQ(brinewake::hit_center(pitched), Vector3(up.x * 0.15f, 0.5f + up.y * 0.15f, up.z * 0.15f));
}

// --- Hull box (water cannon) ----------------------------------------------------------------------

// Box extents for hull scale 0.66, in the boat's local frame (m).
constexpr double HALF_WIDTH = 0.7734, BELOW = -0.384, ABOVE = 0.9186, HALF_LENGTH = 1.4631;

TEST(FlightHullBox, EntryFractionsAndMisses) {
    struct Case {
        const char *name;
        Vector3 from, to;
        bool hit;
        double fraction; // expected when hit
    };
    const Case cases[] = {
        {"across from the left", Vector3(-5, 0, 0), Vector3(5, 0, 0), true, (5 - HALF_WIDTH) / 10},
        {"across from the right", Vector3(5, 0.3f, 0.5f), Vector3(-5, 0.3f, 0.5f), true,
         (5 - HALF_WIDTH) / 10},
        {"along from the stern", Vector3(0, 0.5f, 5), Vector3(0, 0.5f, -5), true, (5 - HALF_LENGTH) / 10},
        {"along from the bow", Vector3(0.1f, 0, -4), Vector3(0.1f, 0, 4), true, (4 - HALF_LENGTH) / 8},
        {"down from above", Vector3(0, 5, 0), Vector3(0, -5, 0), true, (5 - ABOVE) / 10},
        {"up from below", Vector3(0, -5, 0), Vector3(0, 5, 0), true, (5 + BELOW) / 10},
        {"starts inside", Vector3(0.2f, 0.1f, 1), Vector3(3, 0.1f, 1), true, 0.0},
        {"point inside", Vector3(0.7f, 0.9f, -1.4f), Vector3(0.7f, 0.9f, -1.4f), true, 0.0},
        // The latest of the slab entries wins: x is entered at 0.3067, z only at 0.3171.
        {"through a corner region", Vector3(-2, 0, 4), Vector3(2, 0, -4), true, (4 - HALF_LENGTH) / 8},
        {"parallel just inside the side", Vector3(0.7733f, 0, 5), Vector3(0.7733f, 0, -5), true,
         (5 - HALF_LENGTH) / 10},
        {"parallel just outside the side", Vector3(0.7735f, 0, 5), Vector3(0.7735f, 0, -5), false, 0},
        {"parallel just under the keel", Vector3(-5, -0.3841f, 0), Vector3(5, -0.3841f, 0), false, 0},
        {"parallel just over the top", Vector3(0, 0.9187f, 5), Vector3(0, 0.9187f, -5), false, 0},
        {"parallel inside the top", Vector3(0, 0.9185f, 5), Vector3(0, 0.9185f, -5), true,
         (5 - HALF_LENGTH) / 10},
        {"stops short of the stern", Vector3(0, 0, 5), Vector3(0, 0, 1.5f), false, 0},
        {"starts past the bow", Vector3(0, 0, -1.47f), Vector3(0, 0, -5), false, 0},
        {"passes the corner diagonally", Vector3(-0.2f, 0, -3), Vector3(3, 0, 0.2f), false, 0},
        {"point outside", Vector3(0.8f, 0, 0), Vector3(0.8f, 0, 0), false, 0},
    };
    for (const Case &c : cases) {
        double fraction = -1.0;
        const bool hit = brinewake::hull_box_entry(c.from, c.to, HULL_SCALE, fraction);
        EXPECT_EQ(hit, c.hit) << c.name;
        if (hit && c.hit) {
            EXPECT_NEAR(fraction, c.fraction, 1e-7) << c.name;
        }
    }
}

TEST(FlightHullBox, EntryPointLiesOnTheBoxFace) {
    // Across the beam at an angle: the entry point sits on the face x = -0.7734.
    const Vector3 from(-3, 0.2f, 0.9f), to(2, 0.4f, -0.6f);
    double fraction = 0.0;
    ASSERT_TRUE(brinewake::hull_box_entry(from, to, HULL_SCALE, fraction));
    const double x = double(from.x) + (double(to.x) - double(from.x)) * fraction;
    EXPECT_NEAR(x, -HALF_WIDTH, 1e-9);
}

TEST(FlightHullBox, NonFiniteSegmentsNeverHit) {
    const Vector3 cases[][2] = {
        {Vector3(NAN_F, 0, 0), Vector3(0, 0, 0)},  {Vector3(0, 0, 0), Vector3(0, NAN_F, 0)},
        {Vector3(0, 0, 0), Vector3(INF_F, 0, 0)},  {Vector3(-INF_F, 0, 0), Vector3(INF_F, 0, 0)},
        {Vector3(0, 0, -INF_F), Vector3(0, 0, 0)}, {Vector3(0, 0, NAN_F), Vector3(0, 0, 1)},
    };
    for (const auto &c : cases) {
        double fraction = -1.0;
        EXPECT_FALSE(brinewake::hull_box_entry(c[0], c[1], HULL_SCALE, fraction)) << c[0].x << " " << c[1].x;
    }
}

// --- Proximity fuse (rockets) ---------------------------------------------------------------------

TEST(FlightProximity, PassingDistanceAgainstTheRadius) {
    const double radius = spec(MODEL_ROCKET).proximity_radius; // 1.2 m
    struct Case {
        const char *name;
        Vector3 from, to, center;
        double radius;
        bool hit;
        double fraction;
    };
    const Vector3 a(-5, 1, 2), b(5, 1, 2);
    const Case cases[] = {
        {"passes 1.1 m away", a, b, Vector3(0, 2.1f, 2), radius, true, 0.5},
        {"passes 1.3 m away", a, b, Vector3(0, 2.3f, 2), radius, false, 0},
        {"passes 1.1 m away sideways, a quarter along", a, b, Vector3(-2.5f, 1, 0.9f), radius, true, 0.25},
        {"centre behind the start: measured from the start", a, b, Vector3(-5.5f, 1, 2), radius, true, 0.0},
        {"centre past the end: measured from the end", a, b, Vector3(5.9f, 1.5f, 2), radius, true, 1.0},
        {"past the end and out of reach", a, b, Vector3(6.3f, 1, 2), radius, false, 0},
        {"point segment 1.1 m away", a, a, Vector3(-5, 1, 3.1f), radius, true, 0.0},
        {"point segment 1.3 m away", a, a, Vector3(-5, 1, 3.3f), radius, false, 0},
        // Squared length 2.5e-13: measured from the start although the centre lies past the end.
        {"tiny segment counts as a point", Vector3(1e-3f, 0, 0), Vector3(1e-3f + 5e-7f, 0, 0),
         Vector3(2e-3f, 0.5f, 0), radius, true, 0.0},
        {"distance exactly the radius misses", a, b, Vector3(0, 2.5f, 2), 1.5, false, 0},
        {"radius 0 never hits, even dead on", a, b, Vector3(0, 1, 2), 0.0, false, 0},
    };
    for (const Case &c : cases) {
        double fraction = -1.0;
        const bool hit = brinewake::proximity_fraction(c.from, c.to, c.center, c.radius, fraction);
        EXPECT_EQ(hit, c.hit) << c.name;
        if (hit && c.hit) {
            EXPECT_EQ(fraction, c.fraction) << c.name;
        }
    }
}

TEST(FlightProximity, FractionIsTheDoubleProjectionOfTheSinglePrecisionEnds) {
    const Vector3 from(0.1f, 0, 0), to(0.7f, 0, 0), center(0.3f, 0.5f, 0);
    const double dd = double(to.x) - double(from.x);
    const double expected = (double(center.x) - double(from.x)) * dd / (dd * dd);
    double fraction = -1.0;
    ASSERT_TRUE(brinewake::proximity_fraction(from, to, center, 1.2, fraction));
    EXPECT_EQ(fraction, expected);
}

TEST(FlightProximity, NonFiniteInputsNeverHit) {
    const Vector3 a(0, 0, 0), b(10, 0, 0), c(5, 0.5f, 0);
    const Vector3 cases[][3] = {
        {Vector3(NAN_F, 0, 0), b, c}, {a, Vector3(10, NAN_F, 0), c}, {a, b, Vector3(5, 0, NAN_F)},
        {a, Vector3(INF_F, 0, 0), c}, {Vector3(-INF_F, 0, 0), b, c}, {a, b, Vector3(INF_F, 0, 0)},
    };
    for (const auto &k : cases) {
        double fraction = -1.0;
        EXPECT_FALSE(brinewake::proximity_fraction(k[0], k[1], k[2], 1.2, fraction));
    }
    double fraction = -1.0;
    EXPECT_FALSE(brinewake::proximity_fraction(a, b, c, std::numeric_limits<double>::quiet_NaN(), fraction));
}

} // namespace
