// The one way every combat direction is normalized.
#include "rules/numeric.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

using brinewake::safe_normalized;
using godot::Vector3;

namespace {

constexpr float NAN_F = std::numeric_limits<float>::quiet_NaN();
constexpr float INF_F = std::numeric_limits<float>::infinity();

TEST(SafeNormalized, DividesByTheSinglePrecisionLength) {
    struct Case {
        Vector3 input, expected;
    };
    const Case cases[] = {
        {Vector3(3, 4, 0), Vector3(0.6f, 0.8f, 0)},
        {Vector3(0, -5, 0), Vector3(0, -1, 0)},
        {Vector3(0, 0.6f, 0), Vector3(0, 1, 0)},
        {Vector3(2, -3, 6), Vector3(2.0f / 7.0f, -3.0f / 7.0f, 6.0f / 7.0f)},
        {Vector3(1e-3f, 0, 0), Vector3(1, 0, 0)},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(safe_normalized(c.input), c.expected) << c.input.x << " " << c.input.y << " " << c.input.z;
    }
    // An arbitrary direction: each component over sqrt of the single-precision sum of squares.
    const Vector3 v(0.3f, -1.7f, 2.9f);
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    EXPECT_EQ(safe_normalized(v), Vector3(v.x / length, v.y / length, v.z / length));
}

TEST(SafeNormalized, DegenerateAndNonFiniteGiveZero) {
    const Vector3 cases[] = {
        Vector3(0, 0, 0), Vector3(-0.0f, 0, -0.0f), Vector3(1e-30f, 0, 0), // the squared length
                                                                           // underflows to 0
        Vector3(NAN_F, 0, 0), Vector3(0, NAN_F, 1), Vector3(INF_F, 0, 0), Vector3(1, 2, -INF_F),
        Vector3(FLT_MAX, 0, 0), // the squared length overflows: each component over infinity
    };
    for (const Vector3 &c : cases) {
        const Vector3 n = safe_normalized(c);
        EXPECT_EQ(n, Vector3()) << c.x << " " << c.y << " " << c.z;
        EXPECT_FALSE(std::isnan(n.x) || std::isnan(n.y) || std::isnan(n.z));
    }
}

} // namespace
