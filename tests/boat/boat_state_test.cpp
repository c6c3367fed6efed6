// The boat's script methods away from the physics step: defaults, setters, health and boost.
#include "boat_fixture.hpp"

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/variant/packed_float32_array.hpp>
#include <godot_cpp/variant/packed_vector4_array.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector4.hpp>
#include <standin/callable_lambda.hpp>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace godot;
using brinewake_test::BoatTest;
using brinewake_test::Controls;
using brinewake_test::INF;
using brinewake_test::INFf;
using brinewake_test::NaN;
using brinewake_test::NaNf;
using brinewake_test::packet_controls;

namespace {

const double HALF_PI = 1.5707963267948966;

struct Reading {
    const char *method;
    Variant expected;
};

TEST_F(BoatTest, FreshBoatReportsItsDefaults) {
    Boat *boat = add_boat();
    ASSERT_NE(boat, nullptr);
    const std::vector<Reading> readings = {
        {"get_health", 50.0},           {"get_max_health", 50.0},
        {"get_respawn_remaining", 0.0}, {"get_speed_boost_remaining", 0.0},
        {"get_wave_time", 0.0},         {"get_wind", Vector2(0.0f, 0.0f)},
        {"get_spawn_yaw", 0.0},         {"get_selected_weapon", 1},
        {"get_hull_scale", 0.66},
    };
    for (const Reading &r : readings) {
        const Variant value = boat->call(r.method);
        EXPECT_TRUE(value == r.expected) << r.method << " gave " << String(value).utf8().get_data();
    }
    // The scene placed this boat at (0, 0.7, 12): the class default spawn pose, seen on a boat of its own.
    Node *plain =
        Object::cast_to<Node>(ClassDBSingleton::get_singleton()->instantiate("Boat").operator Object *());
    ASSERT_NE(plain, nullptr);
    scene->tree().get_root()->add_child(plain);
    EXPECT_EQ(Vector3(plain->call("get_spawn_position")), Vector3(0.0f, 0.7f, 12.0f));
    EXPECT_EQ(double(plain->call("get_spawn_yaw")), 0.0);
    const Controls controls = packet_controls(plain);
    EXPECT_EQ(controls.throttle, 0.0f);
    EXPECT_EQ(controls.steering, 0.0f);

    RigidBody3D *body = boat;
    EXPECT_FLOAT_EQ(body->get_mass(), 129.3732f);
    EXPECT_FALSE(body->is_able_to_sleep());
    EXPECT_FLOAT_EQ(body->get_linear_damp(), 0.08f);
    EXPECT_FLOAT_EQ(body->get_angular_damp(), 1.8f);
    EXPECT_EQ(body->get_center_of_mass_mode(), RigidBody3D::CENTER_OF_MASS_MODE_CUSTOM);
    EXPECT_EQ(body->get_center_of_mass(), Vector3(0.0f, -0.2112f, 0.0f));
    EXPECT_TRUE(body->is_using_continuous_collision_detection());
    EXPECT_FLOAT_EQ(body->get_gravity_scale(), 1.0f);
    EXPECT_FALSE(body->is_freeze_enabled());
    EXPECT_EQ(body->get_collision_layer(), 1u);
    EXPECT_EQ(body->get_collision_mask(), 1u);
}

struct SetterCase {
    const char *setter;
    Variant argument;
    const char *getter;
    Variant expected; // after the call, starting from the value set by `prepare`
};

TEST_F(BoatTest, SettersStoreValidValuesAndIgnoreOrNeutraliseTheRest) {
    const std::vector<SetterCase> cases = {
        {"set_wind", Vector2(3.0f, 4.0f), "get_wind", Vector2(1.2f, 1.6f)},
        {"set_wind", Vector2(1.0f, 1.0f), "get_wind", Vector2(1.0f, 1.0f)},
        {"set_wind", Vector2(0.0f, 0.0f), "get_wind", Vector2(0.0f, 0.0f)},
        {"set_wind", Vector2(NaNf, 1.0f), "get_wind", Vector2(0.0f, 0.0f)},
        {"set_wind", Vector2(0.5f, INFf), "get_wind", Vector2(0.0f, 0.0f)},
        // A length beyond the float range still keeps its direction.
        {"set_wind", Vector2(3e19f, 4e19f), "get_wind", Vector2(1.2f, 1.6f)},
        {"set_wave_time", 0.0, "get_wave_time", 0.0},
        {"set_wave_time", 12.5, "get_wave_time", 12.5},
        {"set_wave_time", -1.0, "get_wave_time", 7.0},
        {"set_wave_time", NaN, "get_wave_time", 7.0},
        {"set_wave_time", INF, "get_wave_time", 7.0},
        {"set_wave_time", 1e308, "get_wave_time", 7.0}, // the waves' arguments would overflow
        {"set_spawn_position", Vector3(4.0f, 1.0f, -2.0f), "get_spawn_position", Vector3(4.0f, 1.0f, -2.0f)},
        {"set_spawn_position", Vector3(INFf, 0.0f, 0.0f), "get_spawn_position", Vector3(1.0f, 2.0f, 3.0f)},
        {"set_spawn_position", Vector3(0.0f, NaNf, 0.0f), "get_spawn_position", Vector3(1.0f, 2.0f, 3.0f)},
        {"set_spawn_yaw", 7.5, "get_spawn_yaw", 7.5}, // not wrapped
        {"set_spawn_yaw", -0.25, "get_spawn_yaw", -0.25},
        {"set_spawn_yaw", NaN, "get_spawn_yaw", 0.5},
        {"set_spawn_yaw", -INF, "get_spawn_yaw", 0.5},
    };
    for (const SetterCase &c : cases) {
        SCOPED_TRACE(std::string(c.setter) + "(" + String(c.argument).utf8().get_data() + ")");
        Boat *boat = add_boat();
        ASSERT_NE(boat, nullptr);
        boat->call("set_wind", Vector2(0.3f, -0.4f));
        boat->call("set_wave_time", 7.0);
        boat->call("set_spawn_position", Vector3(1.0f, 2.0f, 3.0f));
        boat->call("set_spawn_yaw", 0.5);
        const Transform3D pose = boat->get_global_transform();
        boat->call(c.setter, c.argument);
        const Variant value = boat->call(c.getter);
        EXPECT_TRUE(value == c.expected) << String(value).utf8().get_data();
        EXPECT_EQ(boat->get_global_transform(), pose) << "no setter moves the boat";
    }
}

struct ControlsCase {
    double throttle, steering;
    bool destroyed;
    float expected_throttle, expected_steering;
};

TEST_F(BoatTest, ControlsAreClampedAndZeroOnADestroyedBoat) {
    const std::vector<ControlsCase> cases = {
        {0.25, -0.5, false, 0.25f, -0.5f}, {5.0, -5.0, false, 1.0f, -1.0f}, {NaN, 0.5, false, 0.0f, 0.5f},
        {0.5, INF, false, 0.5f, 0.0f},     {-INF, NaN, false, 0.0f, 0.0f},  {1.0, 1.0, true, 0.0f, 0.0f},
        {-0.5, 0.3, true, 0.0f, 0.0f},
    };
    for (const ControlsCase &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.throttle << ", " << c.steering << (c.destroyed ? " destroyed" : ""));
        Boat *boat = add_boat();
        ASSERT_NE(boat, nullptr);
        boat->call("set_controls", 0.7, 0.7);
        if (c.destroyed) {
            boat->call("apply_damage", 100.0);
        }
        boat->call("set_controls", c.throttle, c.steering);
        const Controls controls = packet_controls(boat);
        EXPECT_EQ(controls.throttle, c.expected_throttle);
        EXPECT_EQ(controls.steering, c.expected_steering);
    }
}

TEST_F(BoatTest, MuzzleFollowsTheNodesGlobalPose) {
    struct Case {
        Vector3 origin;
        double yaw;
        Vector3 expected;
    };
    const std::vector<Case> cases = {
        {Vector3(0.0f, 0.0f, 0.0f), 0.0, Vector3(0.0f, 0.5676f, -0.9471f)},
        {Vector3(1.0f, 2.0f, 3.0f), 0.0, Vector3(1.0f, 2.5676f, 2.0529f)},
        // Yaw pi/2 turns the bow to world -X.
        {Vector3(1.0f, 2.0f, 3.0f), HALF_PI, Vector3(1.0f - 0.9471f, 2.5676f, 3.0f)},
    };
    for (const Case &c : cases) {
        Boat *boat = add_boat();
        ASSERT_NE(boat, nullptr);
        boat->set_global_transform(
            Transform3D(Basis(Vector3(0.0f, 1.0f, 0.0f), static_cast<real_t>(c.yaw)), c.origin));
        const Vector3 muzzle = boat->call("get_muzzle_position");
        EXPECT_NEAR(muzzle.x, c.expected.x, 1e-5);
        EXPECT_NEAR(muzzle.y, c.expected.y, 1e-5);
        EXPECT_NEAR(muzzle.z, c.expected.z, 1e-5);
    }
}

TEST_F(BoatTest, WaveMethodsExposeTheSeaAtTheBoatsClock) {
    Boat *boat = add_boat();
    Boat *other = add_boat();
    ASSERT_NE(boat, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_NEAR(double(boat->call("wave_height", 0.0, 0.0)), 0.1142794, 1e-7);
    boat->call("set_wave_time", 3.0);
    EXPECT_NEAR(double(boat->call("wave_height", 10.0, -5.0)), -0.2500120, 1e-7);
    other->call("set_wave_time", 3.0);
    for (const double x : {-40.0, 0.5, 17.25}) {
        EXPECT_EQ(double(boat->call("wave_height", x, 2.0 * x)),
                  double(other->call("wave_height", x, 2.0 * x)));
    }

    const PackedVector4Array parameters = boat->call("get_wave_parameters");
    const PackedFloat32Array phases = boat->call("get_wave_phases");
    ASSERT_EQ(parameters.size(), 3);
    ASSERT_EQ(phases.size(), 3);
    const Vector4 expected[3] = {Vector4(0.18f, 0.35f, 0.12f, 1.25f), Vector4(0.09f, -0.18f, 0.53f, 1.65f),
                                 Vector4(0.045f, 0.82f, -0.31f, 2.2f)};
    const float expected_phases[3] = {0.0f, 1.2f, 2.4f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(parameters[i], expected[i]) << i;
        EXPECT_EQ(phases[i], expected_phases[i]) << i;
    }
}

// One script call of a health or boost sequence and what the boat reports afterwards.
struct LifeStep {
    const char *method;
    Variant argument; // nil: no argument
    Variant result;   // nil: the method returns nothing
    double health;
    int destroyed; // `destroyed` emissions so far
};

struct LifeSequence {
    const char *name;
    std::vector<LifeStep> steps;
};

TEST_F(BoatTest, HealthAndBoostSequences) {
    const Variant none;
    const std::vector<LifeSequence> sequences = {
        {"damage and healing",
         {
             {"apply_damage", 10.0, none, 40.0, 0},
             {"apply_damage", 0.0, none, 40.0, 0},
             {"apply_damage", -5.0, none, 40.0, 0},
             {"apply_damage", NaN, none, 40.0, 0},
             {"apply_damage", INF, none, 40.0, 0},
             {"restore_health", 5.0, 5.0, 45.0, 0},
             {"restore_health", 30.0, 5.0, 50.0, 0},
             {"restore_health", 30.0, 0.0, 50.0, 0},
             {"restore_health", NaN, 0.0, 50.0, 0},
             {"restore_health", -1.0, 0.0, 50.0, 0},
             {"apply_damage", 10.0, none, 40.0, 0},
             {"apply_damage", 60.0, none, 0.0, 1},
             {"apply_damage", 5.0, none, 0.0, 1},
             {"restore_health", 30.0, 0.0, 0.0, 1},
             {"activate_speed_boost", none, false, 0.0, 1},
             {"reset_boat", none, none, 0.0, 1},
         }},
        {"damage of exactly the remaining health destroys",
         {
             {"apply_damage", 49.5, none, 0.5, 0},
             {"apply_damage", 0.5, none, 0.0, 1},
         }},
        {"reset restores health at once",
         {
             {"apply_damage", 38.0, none, 12.0, 0},
             {"activate_speed_boost", none, true, 12.0, 0},
             {"reset_boat", none, none, 50.0, 0},
             {"get_speed_boost_remaining", none, 0.0, 50.0, 0},
         }},
        {"a running boost is not restarted",
         {
             {"activate_speed_boost", none, true, 50.0, 0},
             {"get_speed_boost_remaining", none, 8.0, 50.0, 0},
             {"activate_speed_boost", none, false, 50.0, 0},
             {"get_speed_boost_remaining", none, 8.0, 50.0, 0},
         }},
    };
    for (const LifeSequence &sequence : sequences) {
        SCOPED_TRACE(sequence.name);
        Boat *boat = add_boat();
        ASSERT_NE(boat, nullptr);
        int destroyed = 0;
        boat->connect("destroyed", standin::callable_lambda([&](const Variant **, int64_t) { ++destroyed; }));
        for (size_t i = 0; i < sequence.steps.size(); ++i) {
            const LifeStep &step = sequence.steps[i];
            SCOPED_TRACE(testing::Message() << "step " << i << ": " << step.method);
            const Variant result = step.argument.get_type() == Variant::NIL
                                       ? boat->call(step.method)
                                       : boat->call(step.method, step.argument);
            EXPECT_TRUE(result == step.result) << String(result).utf8().get_data();
            EXPECT_EQ(double(boat->call("get_health")), step.health);
            EXPECT_EQ(destroyed, step.destroyed);
        }
    }
}

TEST_F(BoatTest, DestructionClearsBoostControlsAndTriggerAndSwitchesCollisionsOff) {
    Boat *boat = add_boat(Vector3(2.0f, 0.5f, -3.0f), 0.75);
    ASSERT_NE(boat, nullptr);
    boat->set_collision_layer(6);
    boat->set_collision_mask(3);
    boat->call("activate_speed_boost");
    boat->call("set_controls", 1.0, -1.0);
    boat->call("set_trigger", true);
    const Transform3D pose = boat->get_global_transform();

    boat->call("apply_damage", 50.0);
    EXPECT_EQ(double(boat->call("get_respawn_remaining")), 5.0);
    EXPECT_EQ(double(boat->call("get_speed_boost_remaining")), 0.0);
    const Controls controls = packet_controls(boat);
    EXPECT_EQ(controls.throttle, 0.0f);
    EXPECT_EQ(controls.steering, 0.0f);
    EXPECT_FALSE(boat->get_weapons().trigger_held);
    EXPECT_FALSE(boat->get_weapons().trigger_pending);
    EXPECT_EQ(boat->get_collision_layer(), 0u);
    EXPECT_EQ(boat->get_collision_mask(), 0u);
    EXPECT_EQ(int(boat->call("get_ammo", 1)), 60) << "ammunition survives destruction";
    EXPECT_EQ(boat->get_global_transform(), pose) << "destruction itself does not move the boat";
}

} // namespace
