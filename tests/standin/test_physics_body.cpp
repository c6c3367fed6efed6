// Rigid bodies: mass properties from shapes, one integration step against the engine's formula,
// rotation about the centre of mass, forces that last one step, freezing and impulses.
#include <godot_cpp/classes/box_shape3d.hpp>
#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/physics_direct_body_state3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/sphere_shape3d.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <standin/error_capture.hpp>
#include <standin/scene_tree.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

using namespace godot;

namespace {

class ScriptedBody : public RigidBody3D {
    GDCLASS(ScriptedBody, RigidBody3D)

public:
    std::function<void(PhysicsDirectBodyState3D *)> on_integrate_forces;
    int integrate_calls = 0;

    void _integrate_forces(PhysicsDirectBodyState3D *p_state) override {
        integrate_calls++;
        if (on_integrate_forces) {
            on_integrate_forces(p_state);
        }
    }

protected:
    static void _bind_methods() {}
};

// A shape child: a box of full size `size`, or a sphere when radius > 0.
struct ShapeSetup {
    Vector3 size;
    float radius = 0;
    Vector3 offset;
};

ShapeSetup box(const Vector3 &p_size, const Vector3 &p_offset = Vector3()) {
    return ShapeSetup{p_size, 0, p_offset};
}
ShapeSetup ball(float p_radius) {
    return ShapeSetup{Vector3(), p_radius, Vector3()};
}

void add_shape(RigidBody3D *p_body, const ShapeSetup &p_setup) {
    CollisionShape3D *holder = memnew(CollisionShape3D);
    if (p_setup.radius > 0) {
        Ref<SphereShape3D> sphere;
        sphere.instantiate();
        sphere->set_radius(p_setup.radius);
        holder->set_shape(sphere);
    } else {
        Ref<BoxShape3D> box;
        box.instantiate();
        box->set_size(p_setup.size);
        holder->set_shape(box);
    }
    holder->set_position(p_setup.offset);
    p_body->add_child(holder);
}

// Row-major 3x3 in double, for expectations computed apart from the stand-in's arithmetic.
struct M3 {
    double m[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    static M3 diag(double p_x, double p_y, double p_z) {
        M3 r;
        r.m[0][0] = p_x;
        r.m[1][1] = p_y;
        r.m[2][2] = p_z;
        return r;
    }
    static M3 from(const Basis &p_b) {
        M3 r;
        for (int i = 0; i < 3; i++) {
            for (int j = 0; j < 3; j++) {
                r.m[i][j] = p_b[i][j];
            }
        }
        return r;
    }
    M3 operator*(const M3 &p_o) const {
        M3 r;
        for (int i = 0; i < 3; i++) {
            for (int j = 0; j < 3; j++) {
                for (int k = 0; k < 3; k++) {
                    r.m[i][j] += m[i][k] * p_o.m[k][j];
                }
            }
        }
        return r;
    }
    M3 transposed() const {
        M3 r;
        for (int i = 0; i < 3; i++) {
            for (int j = 0; j < 3; j++) {
                r.m[i][j] = m[j][i];
            }
        }
        return r;
    }
    M3 inverse() const {
        const double a = m[0][0], b = m[0][1], c = m[0][2], d = m[1][0], e = m[1][1], f = m[1][2],
                     g = m[2][0], h = m[2][1], i = m[2][2];
        const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
        M3 r;
        r.m[0][0] = (e * i - f * h) / det;
        r.m[0][1] = (c * h - b * i) / det;
        r.m[0][2] = (b * f - c * e) / det;
        r.m[1][0] = (f * g - d * i) / det;
        r.m[1][1] = (a * i - c * g) / det;
        r.m[1][2] = (c * d - a * f) / det;
        r.m[2][0] = (d * h - e * g) / det;
        r.m[2][1] = (b * g - a * h) / det;
        r.m[2][2] = (a * e - b * d) / det;
        return r;
    }
    Vector3 xform(const Vector3 &p_v) const {
        double out[3];
        for (int i = 0; i < 3; i++) {
            out[i] = m[i][0] * p_v.x + m[i][1] * p_v.y + m[i][2] * p_v.z;
        }
        return Vector3(float(out[0]), float(out[1]), float(out[2]));
    }
};

void expect_near(const Vector3 &p_actual, const Vector3 &p_expected, float p_tolerance, const char *p_what) {
    EXPECT_NEAR(p_actual.x, p_expected.x, p_tolerance) << p_what << ".x";
    EXPECT_NEAR(p_actual.y, p_expected.y, p_tolerance) << p_what << ".y";
    EXPECT_NEAR(p_actual.z, p_expected.z, p_tolerance) << p_what << ".z";
}

void expect_near(const Basis &p_actual, const M3 &p_expected, float p_tolerance, const char *p_what) {
    for (int i = 0; i < 3; i++) {
        for (int j = 0; j < 3; j++) {
            EXPECT_NEAR(p_actual[i][j], p_expected.m[i][j], p_tolerance)
                << p_what << "[" << i << "][" << j << "]";
        }
    }
}

// Solid box of full size s and mass m: m/12 (s_y² + s_z²) about x, and so on.
M3 box_inertia(double p_mass, const Vector3 &p_size) {
    const double x = p_size.x * p_size.x, y = p_size.y * p_size.y, z = p_size.z * p_size.z;
    return M3::diag(p_mass / 12 * (y + z), p_mass / 12 * (x + z), p_mass / 12 * (x + y));
}

class PhysicsBodyTest : public ::testing::Test {
protected:
    ScriptedBody *add_body(const std::vector<ShapeSetup> &p_shapes = {}) {
        ScriptedBody *body = memnew(ScriptedBody);
        for (const ShapeSetup &shape : p_shapes) {
            add_shape(body, shape);
        }
        tree.get_root()->add_child(body);
        return body;
    }
    standin::SceneTree tree;
};

} // namespace

TEST_F(PhysicsBodyTest, DefaultsAndRefusedSettingsMatchTheEngine) {
    ScriptedBody *body = add_body();
    EXPECT_EQ(body->get_mass(), 1.0f);
    EXPECT_EQ(body->get_gravity_scale(), 1.0f);
    EXPECT_EQ(body->get_linear_damp(), 0.0f);
    EXPECT_EQ(body->get_angular_damp(), 0.0f);
    EXPECT_EQ(body->get_linear_damp_mode(), RigidBody3D::DAMP_MODE_COMBINE);
    EXPECT_EQ(body->get_center_of_mass_mode(), RigidBody3D::CENTER_OF_MASS_MODE_AUTO);
    EXPECT_EQ(body->get_collision_layer(), 1u);
    EXPECT_EQ(body->get_collision_mask(), 1u);
    EXPECT_TRUE(body->is_able_to_sleep());
    EXPECT_FALSE(body->is_freeze_enabled());
    EXPECT_EQ(Ref<BoxShape3D>(memnew(BoxShape3D))->get_size(), Vector3(1, 1, 1));
    EXPECT_EQ(Ref<SphereShape3D>(memnew(SphereShape3D))->get_radius(), 0.5f);
    PhysicsDirectBodyState3D *state = standin::direct_body_state(body);
    EXPECT_FLOAT_EQ(state->get_total_linear_damp(), 0.1f);
    EXPECT_FLOAT_EQ(state->get_total_angular_damp(), 0.1f);
    EXPECT_EQ(state->get_total_gravity(), Vector3(0, -9.8f, 0));

    struct Case {
        const char *name;
        std::function<void()> set;
    };
    const Case refused[] = {
        {"mass 0", [&] { body->set_mass(0); }},
        {"negative mass", [&] { body->set_mass(-2); }},
        {"negative linear damp", [&] { body->set_linear_damp(-1); }},
        {"negative angular damp", [&] { body->set_angular_damp(-1); }},
        {"centre of mass in auto mode", [&] { body->set_center_of_mass(Vector3(0, -1, 0)); }},
    };
    for (const Case &c : refused) {
        SCOPED_TRACE(c.name);
        standin::ErrorCapture capture;
        c.set();
        EXPECT_EQ(capture.errors().size(), 1u);
    }
    EXPECT_EQ(body->get_mass(), 1.0f);
    EXPECT_EQ(body->get_linear_damp(), 0.0f);
    EXPECT_EQ(body->get_angular_damp(), 0.0f);
    EXPECT_EQ(body->get_center_of_mass(), Vector3());

    body->set_center_of_mass_mode(RigidBody3D::CENTER_OF_MASS_MODE_CUSTOM);
    body->set_center_of_mass(Vector3(0, -1, 0));
    EXPECT_EQ(body->get_center_of_mass(), Vector3(0, -1, 0));
    EXPECT_EQ(state->get_center_of_mass_local(), Vector3(0, -1, 0));
    body->set_center_of_mass_mode(RigidBody3D::CENTER_OF_MASS_MODE_AUTO);
    EXPECT_EQ(body->get_center_of_mass(), Vector3()) << "auto mode resets the stored centre";
}

TEST_F(PhysicsBodyTest, InertiaAndCentreOfMassComeFromTheShapes) {
    struct Case {
        const char *name;
        float mass;
        std::vector<ShapeSetup> shapes;
        bool custom_center;
        Vector3 center;
        Vector3 expected_center;
        M3 expected_inertia;
    };
    const Vector3 unit(1, 1, 1);
    const Case cases[] = {
        {"box", 3, {box(Vector3(2, 1, 4))}, false, {}, {}, box_inertia(3, Vector3(2, 1, 4))},
        {"sphere: 2/5 m r²", 2, {ball(0.5f)}, false, {}, {}, M3::diag(0.2, 0.2, 0.2)},
        {"no shapes: unit inertia", 5, {}, false, {}, {}, M3::diag(1, 1, 1)},
        // Two unit boxes of 1 kg each at x = ±1: the parallel-axis terms add 2 about y and z.
        {"parallel axis",
         2,
         {box(unit, Vector3(-1, 0, 0)), box(unit, Vector3(1, 0, 0))},
         false,
         {},
         {},
         M3::diag(1.0 / 3, 1.0 / 3 + 2, 1.0 / 3 + 2)},
        // Mass shared by volume: 1 kg in the unit box, 8 kg in the box of edge 2.
        {"mass by volume",
         9,
         {box(unit, Vector3(-1, 0, 0)), box(Vector3(2, 2, 2), Vector3(1, 0, 0))},
         false,
         {},
         Vector3(7.0f / 9, 0, 0),
         M3::diag(1.0 / 6 + 64.0 / 12,
                  1.0 / 6 + 64.0 / 12 + (16.0 / 9) * (16.0 / 9) + 8 * (2.0 / 9) * (2.0 / 9),
                  1.0 / 6 + 64.0 / 12 + (16.0 / 9) * (16.0 / 9) + 8 * (2.0 / 9) * (2.0 / 9))},
        // A custom centre below the box: its inertia is taken about that centre.
        {"custom centre",
         1,
         {box(unit)},
         true,
         Vector3(0, -1, 0),
         Vector3(0, -1, 0),
         M3::diag(1.0 / 6 + 1, 1.0 / 6, 1.0 / 6 + 1)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedBody *body = add_body(c.shapes);
        body->set_mass(c.mass);
        if (c.custom_center) {
            body->set_center_of_mass_mode(RigidBody3D::CENTER_OF_MASS_MODE_CUSTOM);
            body->set_center_of_mass(c.center);
        }
        // A turned body: the world tensor is R·I⁻¹·Rᵀ.
        const Basis turn(Vector3(1, 2, 3).normalized(), 0.8f);
        body->set_global_transform(Transform3D(turn, Vector3(4, 5, 6)));
        PhysicsDirectBodyState3D *state = standin::direct_body_state(body);
        expect_near(state->get_center_of_mass_local(), c.expected_center, 1e-6f, "local centre");
        expect_near(state->get_center_of_mass(), turn.xform(c.expected_center), 1e-6f,
                    "global centre offset");
        EXPECT_FLOAT_EQ(state->get_inverse_mass(), 1.0f / c.mass);
        const M3 rotation = M3::from(turn);
        const M3 expected = rotation * c.expected_inertia.inverse() * rotation.transposed();
        expect_near(state->get_inverse_inertia_tensor(), expected, 2e-5f, "inverse inertia");
        memdelete(body);
    }
}

TEST_F(PhysicsBodyTest, OneStepFollowsTheEngineFormula) {
    struct Case {
        const char *name;
        float mass, linear_damp, angular_damp, gravity_scale;
        Vector3 velocity, angular_velocity, force, torque;
        double step;
    };
    const Case cases[] = {
        {"gravity only", 2, 0, 0, 1, Vector3(1, 2, 3), Vector3(), Vector3(), Vector3(), 1.0 / 60},
        {"damping, force and torque", 3, 0.5f, 0.2f, 0.5f, Vector3(1, -2, 0.5f), Vector3(0.3f, -0.2f, 0.1f),
         Vector3(4, 5, -6), Vector3(0.2f, 0.1f, -0.3f), 1.0 / 60},
        {"damping beyond one step stops the body first", 1, 100, 200, 0, Vector3(5, 5, 5), Vector3(1, 1, 1),
         Vector3(1, 0, 0), Vector3(0, 0, 1), 1.0 / 30},
    };
    const Vector3 box_size(2, 1, 4);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        tree.set_physics_step(c.step);
        ScriptedBody *body = add_body({box(box_size)});
        body->set_mass(c.mass);
        body->set_linear_damp(c.linear_damp);
        body->set_angular_damp(c.angular_damp);
        body->set_gravity_scale(c.gravity_scale);
        const Transform3D start(Basis(Vector3(0, 1, 0), 0.6f), Vector3(1, 2, 3));
        body->set_global_transform(start);
        body->set_linear_velocity(c.velocity);
        body->set_angular_velocity(c.angular_velocity);
        body->on_integrate_forces = [&](PhysicsDirectBodyState3D *p_state) {
            p_state->apply_central_force(c.force);
            p_state->apply_torque(c.torque);
        };
        tree.physics_frame();

        const double dt = c.step;
        const double damp = std::max(0.0, 1 - dt * (c.linear_damp + 0.1));
        const double angular_damp = std::max(0.0, 1 - dt * (c.angular_damp + 0.1));
        const Vector3 gravity(0, -9.8f * c.gravity_scale, 0);
        const Vector3 velocity = c.velocity * float(damp) + (gravity + c.force / c.mass) * float(dt);
        const M3 rotation = M3::from(start.basis);
        const M3 inverse_inertia = rotation * box_inertia(c.mass, box_size).inverse() * rotation.transposed();
        const Vector3 angular_velocity =
            c.angular_velocity * float(angular_damp) + inverse_inertia.xform(c.torque) * float(dt);
        expect_near(body->get_linear_velocity(), velocity, 1e-5f, "velocity");
        expect_near(body->get_angular_velocity(), angular_velocity, 1e-5f, "angular velocity");
        expect_near(body->get_global_position(), start.origin + velocity * float(dt), 1e-5f, "position");
        const float turn = angular_velocity.length() * float(dt);
        const Basis expected_basis =
            turn > 0 ? Basis(angular_velocity.normalized(), turn) * start.basis : start.basis;
        expect_near(body->get_global_basis(), M3::from(expected_basis), 1e-5f, "basis");
        memdelete(body);
    }
}

TEST_F(PhysicsBodyTest, RotationKeepsTheCentreOfMassInPlace) {
    struct Case {
        const char *name;
        std::vector<ShapeSetup> shapes;
        bool custom_center;
        Vector3 center_local;
    };
    const Case cases[] = {
        {"custom centre", {box(Vector3(1, 0.5f, 2))}, true, Vector3(0.3f, -0.5f, 0.2f)},
        {"centre of an offset shape",
         {box(Vector3(1, 1, 1), Vector3(0.5f, 0, -0.25f))},
         false,
         Vector3(0.5f, 0, -0.25f)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedBody *body = add_body(c.shapes);
        if (c.custom_center) {
            body->set_center_of_mass_mode(RigidBody3D::CENTER_OF_MASS_MODE_CUSTOM);
            body->set_center_of_mass(c.center_local);
        }
        body->set_gravity_scale(0);
        body->set_global_transform(Transform3D(Basis(Vector3(1, 0, 0), 0.3f), Vector3(2, 1, -1)));
        body->set_angular_velocity(Vector3(1, 2, -0.5f));
        const Vector3 center = body->get_global_transform().xform(c.center_local);
        const Basis start_basis = body->get_global_basis();
        tree.run_physics_frames(30);
        expect_near(body->get_global_transform().xform(c.center_local), center, 1e-5f, "centre of mass");
        EXPECT_GT((body->get_global_basis().get_column(0) - start_basis.get_column(0)).length(), 0.1f)
            << "the body has turned";
        memdelete(body);
    }
}

TEST_F(PhysicsBodyTest, AppliedForcesActForOneStepOnly) {
    struct Case {
        const char *name;
        std::function<void(ScriptedBody *)> push; // applies (6, 0, 0) N before the first step
    };
    const Case cases[] = {
        {"through the state in _integrate_forces",
         [](ScriptedBody *p_body) {
             p_body->on_integrate_forces = [p_body](PhysicsDirectBodyState3D *p_state) {
                 if (p_body->integrate_calls == 1) {
                     p_state->apply_central_force(Vector3(6, 0, 0));
                 }
             };
         }},
        {"through the state outside a tick",
         [](ScriptedBody *p_body) {
             standin::direct_body_state(p_body)->apply_force(Vector3(6, 0, 0), Vector3());
         }},
        {"through the node", [](ScriptedBody *p_body) { p_body->apply_central_force(Vector3(6, 0, 0)); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedBody *body = add_body();
        body->set_mass(2);
        body->set_gravity_scale(0);
        body->set_linear_damp_mode(RigidBody3D::DAMP_MODE_REPLACE);
        c.push(body);
        tree.physics_frame();
        EXPECT_FLOAT_EQ(body->get_linear_velocity().x, 3.0f / 60);
        tree.physics_frame();
        EXPECT_FLOAT_EQ(body->get_linear_velocity().x, 3.0f / 60) << "the force is gone in the next step";
        memdelete(body);
    }
}

TEST_F(PhysicsBodyTest, FrozenBodiesAreNeitherIntegratedNorCalled) {
    ScriptedBody *body = add_body({box(Vector3(1, 1, 1))});
    const Transform3D pose(Basis(Vector3(0, 0, 1), 0.5f), Vector3(1, 5, 2));
    body->set_global_transform(pose);
    body->set_freeze_enabled(true);
    body->set_linear_velocity(Vector3(1, 2, 3));
    body->apply_impulse(Vector3(10, 0, 0), Vector3(0, 1, 0));
    tree.run_physics_frames(5);
    EXPECT_EQ(body->integrate_calls, 0);
    EXPECT_EQ(body->get_global_transform(), pose);
    EXPECT_EQ(body->get_linear_velocity(), Vector3(1, 2, 3)) << "the node keeps what was set";
    EXPECT_EQ(standin::direct_body_state(body)->get_inverse_mass(), 0.0f);

    body->set_freeze_enabled(false);
    tree.physics_frame();
    EXPECT_EQ(body->integrate_calls, 1);
    EXPECT_NE(body->get_global_position(), pose.origin) << "the velocity set while frozen carries on";
}

TEST_F(PhysicsBodyTest, ImpulsesChangeVelocitiesAboutTheCentreOfMass) {
    struct Case {
        const char *name;
        Vector3 center_local;
        Vector3 impulse, position;
        bool torque_impulse;
    };
    const Case cases[] = {
        {"central", Vector3(), Vector3(3, -1, 2), Vector3(), false},
        {"at an offset", Vector3(), Vector3(0, 0, 4), Vector3(1, 0.5f, 0), false},
        // The arm runs from basis·centre, not from the local centre.
        {"offset centre on a turned body", Vector3(0, -0.5f, 0.3f), Vector3(2, 1, 0), Vector3(0.2f, 1, -1),
         false},
        {"torque impulse", Vector3(0, -0.5f, 0.3f), Vector3(0.5f, 0.25f, -1), Vector3(), true},
    };
    const Vector3 box_size(1.2f, 0.5f, 2.4f);
    const float mass = 4;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedBody *body = add_body({box(box_size)});
        body->set_mass(mass);
        body->set_center_of_mass_mode(RigidBody3D::CENTER_OF_MASS_MODE_CUSTOM);
        body->set_center_of_mass(c.center_local);
        const Basis turn(Vector3(0, 1, 0), 1.2f);
        body->set_global_transform(Transform3D(turn, Vector3(3, 0, 1)));
        body->set_linear_velocity(Vector3(1, 0, 0));
        if (c.torque_impulse) {
            body->apply_torque_impulse(c.impulse);
        } else {
            body->apply_impulse(c.impulse, c.position);
        }
        PhysicsDirectBodyState3D *state = standin::direct_body_state(body);
        const M3 rotation = M3::from(turn);
        const M3 tensor_local = box_inertia(mass, box_size);
        // The box's own inertia moved to the centre by the parallel-axis rule.
        const Vector3 r = -c.center_local;
        const double rr = r.dot(r);
        M3 about_center = tensor_local;
        for (int i = 0; i < 3; i++) {
            for (int j = 0; j < 3; j++) {
                about_center.m[i][j] += mass * ((i == j ? rr : 0.0) - double(r[i]) * double(r[j]));
            }
        }
        const M3 inverse_inertia = rotation * about_center.inverse() * rotation.transposed();
        const Vector3 arm = c.position - turn.xform(c.center_local);
        const Vector3 expected_spin =
            inverse_inertia.xform(c.torque_impulse ? c.impulse : arm.cross(c.impulse));
        const Vector3 expected_velocity =
            Vector3(1, 0, 0) + (c.torque_impulse ? Vector3() : c.impulse / mass);
        expect_near(state->get_linear_velocity(), expected_velocity, 1e-6f, "velocity");
        expect_near(state->get_angular_velocity(), expected_spin, 1e-5f, "angular velocity");
        memdelete(body);
    }
}
