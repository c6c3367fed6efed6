// Math value types: the cases the simulation and the network encoder depend on.
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/quaternion.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace godot;

namespace {

void expect_near(const Vector3 &p_actual, const Vector3 &p_expected, float p_tolerance) {
    EXPECT_NEAR(p_actual.x, p_expected.x, p_tolerance);
    EXPECT_NEAR(p_actual.y, p_expected.y, p_tolerance);
    EXPECT_NEAR(p_actual.z, p_expected.z, p_tolerance);
}

void expect_near(const Basis &p_actual, const Basis &p_expected, float p_tolerance) {
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(i);
        expect_near(p_actual.rows[i], p_expected.rows[i], p_tolerance);
    }
}

bool same_bits(const Quaternion &p_a, const Quaternion &p_b) {
    return std::memcmp(&p_a, &p_b, sizeof(Quaternion)) == 0;
}

} // namespace

TEST(StandinMath, AxisAngleBasisFollowsRodrigues) {
    struct Case {
        Vector3 axis;
        float angle;
        Vector3 input;
        Vector3 expected;
    };
    const float half_pi = float(Math_PI / 2);
    const float r = float(Math_SQRT12);
    const Case cases[] = {
        {Vector3(0, 1, 0), half_pi, Vector3(1, 0, 0), Vector3(0, 0, -1)}, // yaw: right turns to forward (-Z)
        {Vector3(1, 0, 0), half_pi, Vector3(0, 1, 0), Vector3(0, 0, 1)},
        {Vector3(0, 0, 1), half_pi, Vector3(1, 0, 0), Vector3(0, 1, 0)},
        {Vector3(r, 0, r), float(Math_PI), Vector3(1, 0, 0), Vector3(0, 0, 1)},
        {Vector3(0, 1, 0), 0.0f, Vector3(1, 2, 3), Vector3(1, 2, 3)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.angle);
        const Basis b(c.axis, c.angle);
        expect_near(b.xform(c.input), c.expected, 1e-6f);
        EXPECT_NEAR(b.determinant(), 1.0f, 1e-6f);
    }

    // Element by element against the formula in double: signs of the off-diagonal terms and row storage.
    const Vector3 axis = Vector3(1, -2, 3).normalized();
    const float angle = 0.7f;
    const double x = axis.x, y = axis.y, z = axis.z;
    const double c = std::cos(double(angle)), s = std::sin(double(angle)), t = 1.0 - c;
    const Basis expected(float(x * x + c * (1 - x * x)), float(x * y * t - z * s), float(x * z * t + y * s),
                         float(x * y * t + z * s), float(y * y + c * (1 - y * y)), float(y * z * t - x * s),
                         float(x * z * t - y * s), float(y * z * t + x * s), float(z * z + c * (1 - z * z)));
    expect_near(Basis(axis, angle), expected, 2e-7f);
    expect_near(Basis(axis, angle).get_column(0), Basis(axis, angle).xform(Vector3(1, 0, 0)), 0.0f);
}

TEST(StandinMath, OrthonormalizeKeepsZeroColumnsZero) {
    struct Case {
        const char *name;
        Basis input; // columns X, Y, Z
        Basis expected;
    };
    const float r = float(Math_SQRT12);
    const Case cases[] = {
        {"zero Y", Basis(Vector3(2, 0, 0), Vector3(), Vector3(0, 1, 3)),
         Basis(Vector3(1, 0, 0), Vector3(), Vector3(0, 0.31622777f, 0.94868330f))},
        {"zero X", Basis(Vector3(), Vector3(0, 2, 0), Vector3(1, 1, 0)),
         Basis(Vector3(), Vector3(0, 1, 0), Vector3(1, 0, 0))},
        {"all zero", Basis(Vector3(), Vector3(), Vector3()), Basis(Vector3(), Vector3(), Vector3())},
        {"skewed", Basis(Vector3(1, 1, 0), Vector3(0, 1, 0), Vector3(0, 0, 5)),
         Basis(Vector3(r, r, 0), Vector3(-r, r, 0), Vector3(0, 0, 1))},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Basis out = c.input.orthonormalized();
        EXPECT_TRUE(out.is_finite());
        expect_near(out, c.expected, 1e-6f);
        Basis in_place = c.input;
        in_place.orthonormalize();
        EXPECT_TRUE(in_place == out);
        // A zero column must be exactly zero, not a tiny or NaN vector.
        for (int i = 0; i < 3; i++) {
            if (c.input.get_column(i) == Vector3()) {
                EXPECT_TRUE(out.get_column(i) == Vector3());
            }
        }
    }
}

TEST(StandinMath, RotationQuaternionOfReflectionsAndScaledBases) {
    struct Case {
        const char *name;
        Basis input;
        Quaternion expected;
        float tolerance;
    };
    const float half = 0.25f; // half of the 0.5 rad test angle
    const Case cases[] = {
        {"identity", Basis(), Quaternion(0, 0, 0, 1), 0.0f},
        {"point reflection", Basis(-1, 0, 0, 0, -1, 0, 0, 0, -1), Quaternion(0, 0, 0, 1), 0.0f},
        // det -1; negated it is a half turn about Z, taken by the largest-diagonal branch
        {"mirror Z", Basis(1, 0, 0, 0, 1, 0, 0, 0, -1), Quaternion(0, 0, 1, 0), 0.0f},
        {"scaled yaw", Basis(Vector3(0, 1, 0), 0.5f) * 3.0f, Quaternion(0, std::sin(half), 0, std::cos(half)),
         1e-6f},
        {"mirrored yaw", Basis(Vector3(0, 1, 0), 0.5f) * -1.0f,
         Quaternion(0, std::sin(half), 0, std::cos(half)), 1e-6f},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Quaternion q = c.input.get_rotation_quaternion();
        EXPECT_NEAR(q.x, c.expected.x, c.tolerance);
        EXPECT_NEAR(q.y, c.expected.y, c.tolerance);
        EXPECT_NEAR(q.z, c.expected.z, c.tolerance);
        EXPECT_NEAR(q.w, c.expected.w, c.tolerance);
    }

    // A degenerate basis still yields a finite quaternion.
    EXPECT_TRUE(Basis(Vector3(), Vector3(0, 1, 0), Vector3(0, 0, 1)).get_rotation_quaternion().is_finite());
    EXPECT_TRUE(Basis(Vector3(), Vector3(), Vector3()).get_rotation_quaternion().is_finite());
}

TEST(StandinMath, QuaternionBasisRoundTrip) {
    const Vector3 axis = Vector3(0.3f, -1, 0.4f).normalized();
    const float angle = 2.5f;
    const Quaternion q(axis.x * std::sin(angle / 2), axis.y * std::sin(angle / 2),
                       axis.z * std::sin(angle / 2), std::cos(angle / 2));
    expect_near(Basis(q), Basis(axis, angle), 1e-6f);
    // s = 2 / |q|^2: a non-unit quaternion gives the same rotation.
    expect_near(Basis(q * 2.0f), Basis(axis, angle), 1e-6f);
    const Quaternion back = Basis(q).get_quaternion();
    const Quaternion flipped = -back;
    EXPECT_TRUE((back - q).length() < 1e-6f || (flipped - q).length() < 1e-6f);
    // Already orthonormal: extracting directly and after orthonormalizing agree closely.
    EXPECT_LT((Basis(q).get_rotation_quaternion() - back).length(), 1e-6f);
    EXPECT_TRUE(same_bits(Basis().get_quaternion(), Quaternion()));
}

TEST(StandinMath, AffineInverseUndoesScaleShearAndTranslation) {
    const Transform3D t(Basis(2, 0.5f, 0, 0, 1, -0.25f, 0.1f, 0, 4), Vector3(3, -2, 7));
    const Transform3D inv = t.affine_inverse();
    const Vector3 points[] = {Vector3(), Vector3(1, 2, 3), Vector3(-5, 0.5f, 8)};
    for (const Vector3 &p : points) {
        expect_near(inv.xform(t.xform(p)), p, 1e-5f);
    }
    expect_near((inv * t).basis, Basis(), 1e-6f);
    expect_near((inv * t).origin, Vector3(), 1e-5f);
    expect_near(inv.basis * t.basis, Basis(), 1e-6f);

    // Pure translation inverts exactly.
    EXPECT_TRUE(Transform3D(Basis(), Vector3(1, -2, 3)).affine_inverse() ==
                Transform3D(Basis(), Vector3(-1, 2, -3)));
    // A singular basis gives a non-finite inverse rather than a plausible wrong one.
    EXPECT_FALSE(Transform3D(Basis(1, 0, 0, 0, 0, 0, 0, 0, 1), Vector3()).affine_inverse().is_finite());
}

TEST(StandinMath, LimitLength) {
    struct Case {
        Vector2 input;
        float limit;
        Vector2 expected;
    };
    const Case cases[] = {
        {Vector2(3, 4), 1.0f, Vector2(0.6f, 0.8f)}, {Vector2(3, 4), 10.0f, Vector2(3, 4)},
        {Vector2(3, 4), 5.0f, Vector2(3, 4)},       {Vector2(0, 0), 1.0f, Vector2(0, 0)},
        {Vector2(-6, 8), 5.0f, Vector2(-3, 4)},     {Vector2(3, 4), 0.0f, Vector2(0, 0)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.limit);
        const Vector2 out = c.input.limit_length(c.limit);
        EXPECT_FLOAT_EQ(out.x, c.expected.x);
        EXPECT_FLOAT_EQ(out.y, c.expected.y);
    }
    // v / l * len in single precision, bit for bit.
    const Vector2 v(0.3f, 0.7f);
    const float l = v.length();
    EXPECT_TRUE(v.limit_length(0.5f) == Vector2(v.x / l * 0.5f, v.y / l * 0.5f));
    EXPECT_TRUE(Vector2(1, 0).limit_length() == Vector2(1, 0));
    expect_near(Vector3(0, 3, 4).limit_length(), Vector3(0, 0.6f, 0.8f), 1e-7f);
    EXPECT_TRUE(Vector3().limit_length(2.0f) == Vector3());
}

TEST(StandinMath, FinitenessAndNormalization) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_TRUE(Vector3(1, 2, 3).is_finite());
    EXPECT_FALSE(Vector3(1, nan, 3).is_finite());
    EXPECT_FALSE(Vector3(1, 2, -inf).is_finite());
    EXPECT_FALSE(Vector2(inf, 0).is_finite());
    EXPECT_FALSE(Quaternion(0, 0, 0, nan).is_finite());
    EXPECT_FALSE(Transform3D(Basis(), Vector3(nan, 0, 0)).is_finite());
    EXPECT_FALSE(Transform3D(Basis(1, 0, 0, 0, inf, 0, 0, 0, 1), Vector3()).is_finite());
    EXPECT_TRUE(Vector3().normalized() == Vector3());
    EXPECT_TRUE(Vector2().normalized() == Vector2());
    EXPECT_TRUE(Vector3(0, -2, 0).normalized() == Vector3(0, -1, 0));
}
