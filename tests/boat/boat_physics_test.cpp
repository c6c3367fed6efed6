// The boat in the stand-in's physics world, stepped at 60 frames per second: floating, driving,
// destruction, respawn and reset.
#include "boat_fixture.hpp"

#include <standin/callable_lambda.hpp>

#include <cmath>
#include <vector>

using namespace godot;
using brinewake_test::BoatTest;
using brinewake_test::bow_direction;
using brinewake_test::STEP;

namespace {

const double HALF_PI = 1.5707963267948966;
constexpr double GRAVITY = 9.8; // m/s^2, the world default

Vector3 origin_of(const Node3D *p_node) {
    return p_node->get_global_transform().origin;
}

// Velocity after one frame that started at rest with no force but gravity.
void expect_gravity_only(const RigidBody3D *p_body) {
    const Vector3 v = p_body->get_linear_velocity();
    EXPECT_NEAR(v.x, 0.0, 1e-6);
    EXPECT_NEAR(v.y, -GRAVITY * STEP, 1e-4);
    EXPECT_NEAR(v.z, 0.0, 1e-6);
    EXPECT_EQ(p_body->get_angular_velocity(), Vector3());
}

TEST_F(BoatTest, FloatsAndSettlesWithItsOriginJustAboveTheSurface) {
    Boat *boat = add_boat(Vector3(0.0f, 0.7f, 0.0f));
    ASSERT_NE(boat, nullptr);
    scene->step(4 * 60);
    double lowest = 1e9, highest = -1e9, fastest = 0.0;
    for (int frame = 0; frame < 6 * 60; ++frame) {
        scene->step();
        const Vector3 origin = origin_of(boat);
        const double above = origin.y - double(boat->call("wave_height", origin.x, origin.z));
        lowest = std::min(lowest, above);
        highest = std::max(highest, above);
        fastest = std::max(fastest, double(boat->get_linear_velocity().length()));
    }
    // Four points of buoyancy carry the weight at about 0.15 m depth: the origin rides ~0.11 m above the sea.
    EXPECT_GT(lowest, 0.05);
    EXPECT_LT(highest, 0.2);
    EXPECT_LT(fastest, 0.6) << "bobbing with the waves, not drifting away";
    const Vector3 origin = origin_of(boat);
    EXPECT_LT(Vector2(origin.x, origin.z).length(), 1.0f) << "no thrust, no wind: it stays put";
    EXPECT_GT(boat->get_global_transform().basis.get_column(1).y, 0.98f) << "upright";
}

TEST_F(BoatTest, ThrottleDrivesTheBoatTowardsItsBow) {
    struct Case {
        double yaw;
        Vector3 bow;
    };
    const std::vector<Case> cases = {
        {0.0, Vector3(0.0f, 0.0f, -1.0f)},
        {HALF_PI, Vector3(-1.0f, 0.0f, 0.0f)},
        {-HALF_PI, Vector3(1.0f, 0.0f, 0.0f)},
    };
    float lane = 0.0f; // boats far apart
    for (const Case &c : cases) {
        SCOPED_TRACE(c.yaw);
        lane += 200.0f;
        Boat *boat = add_boat(Vector3(lane, 0.3f, 0.0f), c.yaw);
        ASSERT_NE(boat, nullptr);
        scene->step(60);
        const Vector3 start = origin_of(boat);
        boat->call("set_controls", 1.0, 0.0);
        scene->step(5 * 60);
        const Vector3 travel = origin_of(boat) - start;
        const float along = travel.dot(c.bow);
        EXPECT_GT(along, 30.0f);
        EXPECT_LT((travel - c.bow * along).length(), 0.1f * along);
        EXPECT_GT(bow_direction(boat).dot(c.bow), 0.99f) << "the heading holds";

        boat->call("set_controls", -1.0, 0.0);
        scene->step(8 * 60);
        EXPECT_LT(boat->get_linear_velocity().dot(bow_direction(boat)), -1.0f) << "reverse throttle backs up";
    }
}

TEST_F(BoatTest, SteeringTurnsTheBowToTheHullsRightOrLeft) {
    struct Case {
        double steering;
        float right_of_bow; // expected sign of the turn: +1 right (world +X from -Z), -1 left
    };
    float lane = 0.0f;
    for (const Case &c : {Case{1.0, 1.0f}, Case{-1.0, -1.0f}, Case{0.0, 0.0f}}) {
        SCOPED_TRACE(c.steering);
        lane += 100.0f;
        Boat *boat = add_boat(Vector3(lane, 0.3f, 0.0f));
        ASSERT_NE(boat, nullptr);
        scene->step(60);
        boat->call("set_controls", 1.0, c.steering);
        scene->step(90);
        const float sideways = bow_direction(boat).x;
        if (c.right_of_bow == 0.0f) {
            EXPECT_LT(std::fabs(sideways), 0.05f);
        } else {
            EXPECT_GT(sideways * c.right_of_bow, 0.3f);
            EXPECT_LT(boat->get_angular_velocity().y * c.right_of_bow, 0.0f) << "a turn about world +Y";
        }
    }
}

TEST_F(BoatTest, SpeedBoostRaisesTheSpeedForEightSeconds) {
    Boat *plain = add_boat(Vector3(0.0f, 0.3f, 0.0f));
    Boat *boosted = add_boat(Vector3(50.0f, 0.3f, 0.0f));
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(boosted, nullptr);
    scene->step(60);
    for (Boat *boat : {plain, boosted}) {
        boat->call("set_controls", 1.0, 0.0);
    }
    EXPECT_TRUE(bool(boosted->call("activate_speed_boost")));
    scene->step(479);
    EXPECT_GT(double(boosted->call("get_speed_boost_remaining")), 0.0);
    EXPECT_FALSE(bool(boosted->call("activate_speed_boost")));
    EXPECT_GT(boosted->get_linear_velocity().length(), 1.2f * plain->get_linear_velocity().length());
    scene->step();
    EXPECT_EQ(double(boosted->call("get_speed_boost_remaining")), 0.0);
    EXPECT_TRUE(bool(boosted->call("activate_speed_boost"))) << "available again once run out";
}

// The step counts the boost down before the hull model sees it.
TEST_F(BoatTest, BoostRunningOutInAStepGivesThatStepNoBoost) {
    const auto forward_speed_after_one_step = [](double p_boost) {
        brinewake_test::MatchScene one;
        Boat *boat = Object::cast_to<Boat>(one.add_boat(Vector3(0.0f, -0.5f, 0.0f)));
        boat->call("set_controls", 1.0, 0.0);
        boat->apply_snapshot(boat->get_global_transform(), Vector3(), 50.0, 0.0, p_boost, 1, nullptr, 0);
        one.step();
        return double(boat->get_linear_velocity().z);
    };
    const double without = forward_speed_after_one_step(0.0);
    EXPECT_LT(without, 0.0);
    EXPECT_EQ(forward_speed_after_one_step(0.01), without);
    EXPECT_LT(forward_speed_after_one_step(STEP + 1e-6), without - 0.1);
}

TEST_F(BoatTest, DestroyedBoatIsHeldThenRespawnsAtItsSpawnPose) {
    Boat *boat = add_boat(Vector3(0.0f, 0.3f, 0.0f));
    ASSERT_NE(boat, nullptr);
    boat->set_collision_layer(6);
    boat->set_collision_mask(3);
    int respawned = 0;
    int destroyed = 0;
    boat->connect("respawned", standin::callable_lambda([&](const Variant **, int64_t) { ++respawned; }));
    boat->connect("destroyed", standin::callable_lambda([&](const Variant **, int64_t) { ++destroyed; }));
    boat->call("set_spawn_position", Vector3(5.0f, 0.2f, -4.0f));
    boat->call("set_spawn_yaw", HALF_PI);
    boat->call("set_controls", 1.0, 0.5);
    double wave_time = 0.0;
    for (int frame = 0; frame < 120; ++frame) {
        scene->step();
        wave_time += STEP;
    }
    boat->get_weapons().ammo[1] = 12;
    boat->call("select_weapon", 0);

    boat->call("apply_damage", 50.0);
    ASSERT_EQ(destroyed, 1);
    const Transform3D death = boat->get_global_transform();
    for (int frame = 1; frame < 300; ++frame) {
        scene->step();
        wave_time += STEP;
        ASSERT_EQ(double(boat->call("get_health")), 0.0) << "frame " << frame;
        EXPECT_EQ(respawned, 0);
        // Each step puts it back at the death pose; only that frame's gravity moves it after the step.
        EXPECT_LT(origin_of(boat).distance_to(death.origin), 0.01f) << "frame " << frame;
        EXPECT_TRUE(boat->get_global_transform().basis.is_equal_approx(death.basis));
        expect_gravity_only(boat);
    }
    EXPECT_EQ(boat->get_collision_layer(), 0u);
    EXPECT_EQ(boat->get_collision_mask(), 0u);
    EXPECT_NEAR(double(boat->call("get_respawn_remaining")), STEP, 1e-6);

    scene->step(); // the countdown reaches 0 in the 300th step
    wave_time += STEP;
    EXPECT_EQ(respawned, 1);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(double(boat->call("get_health")), 50.0);
    EXPECT_EQ(double(boat->call("get_respawn_remaining")), 0.0);
    EXPECT_LT(origin_of(boat).distance_to(Vector3(5.0f, 0.2f, -4.0f)), 0.01f);
    EXPECT_TRUE(bow_direction(boat).is_equal_approx(Vector3(-1.0f, 0.0f, 0.0f)));
    expect_gravity_only(boat); // placed, not driven, in the respawn step
    EXPECT_EQ(boat->get_collision_layer(), 6u);
    EXPECT_EQ(boat->get_collision_mask(), 3u);
    EXPECT_EQ(int(boat->call("get_selected_weapon")), 1);
    EXPECT_EQ(int(boat->call("get_ammo", 0)), 0);
    EXPECT_EQ(int(boat->call("get_ammo", 1)), 60);
    EXPECT_EQ(double(boat->call("get_wave_time")), wave_time) << "the clock ran through every step";

    scene->step(60);
    EXPECT_EQ(respawned, 1);
    EXPECT_EQ(destroyed, 1);
}

TEST_F(BoatTest, RespawnWhenTheCountdownIsWithinOneHundredMillionthOfASecond) {
    struct Case {
        double left_after_step;
        bool respawns;
    };
    for (const Case &c : {Case{5e-9, true}, Case{2e-8, false}, Case{0.0, true}}) {
        SCOPED_TRACE(c.left_after_step);
        Boat *boat = add_boat(Vector3(0.0f, 0.3f, 0.0f));
        ASSERT_NE(boat, nullptr);
        boat->call("apply_damage", 50.0);
        boat->apply_snapshot(boat->get_global_transform(), Vector3(), 0.0, STEP + c.left_after_step, 0.0, 1,
                             nullptr, 0);
        scene->step();
        EXPECT_EQ(double(boat->call("get_health")), c.respawns ? 50.0 : 0.0);
    }
}

TEST_F(BoatTest, AHandlerMayFreeTheBoatInItsOwnRespawnStep) {
    Boat *boat = add_boat(Vector3(0.0f, 0.3f, 0.0f));
    Boat *other = add_boat(Vector3(5.0f, 0.3f, 0.0f));
    const uint64_t id = boat->get_instance_id();
    boat->connect("respawned", standin::callable_lambda([id](const Variant **, int64_t) {
                      if (Object *freed = ObjectDB::get_instance(id)) {
                          memdelete(freed);
                      }
                  }));
    boat->call("apply_damage", 50.0);
    scene->step(int(Boat::RESPAWN_DELAY / STEP) + 2);
    EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
    EXPECT_EQ(double(other->call("get_health")), 50.0) << "the rest of the scene runs on";
}

TEST_F(BoatTest, ResetPlacesTheBoatAtTheNextStepWithoutForces) {
    Boat *boat = add_boat(Vector3(0.0f, 0.3f, 0.0f));
    ASSERT_NE(boat, nullptr);
    boat->call("set_controls", 1.0, 1.0);
    scene->step(120);
    boat->call("apply_damage", 38.0);
    const Vector3 spawn(3.0f, -0.3f, 1.0f); // under water: buoyancy would act at once
    boat->call("set_spawn_position", spawn);
    boat->call("set_spawn_yaw", 0.4);
    const Vector3 before = origin_of(boat);

    boat->call("reset_boat");
    EXPECT_EQ(double(boat->call("get_health")), 50.0);
    EXPECT_EQ(origin_of(boat), before) << "placed by the physics step, not by the call";

    scene->step();
    EXPECT_LT(origin_of(boat).distance_to(spawn), 0.01f);
    const Vector3 expected_bow = Basis(Vector3(0.0f, 1.0f, 0.0f), 0.4f).xform(Vector3(0.0f, 0.0f, -1.0f));
    EXPECT_TRUE(bow_direction(boat).is_equal_approx(expected_bow));
    expect_gravity_only(boat);

    scene->step();
    EXPECT_GT(boat->get_linear_velocity().y, 0.0f) << "forces act again from the following step";
    EXPECT_GT(boat->get_linear_velocity().dot(expected_bow), 0.0f) << "the throttle drives it again";
}

TEST_F(BoatTest, AYawBeyondTheFloatRangeStillGivesAnUprightSpawnPose) {
    Boat *boat = add_boat(Vector3(0.0f, 0.3f, 0.0f));
    ASSERT_NE(boat, nullptr);
    boat->call("set_spawn_yaw", 1e39); // finite, so accepted, but infinite once narrowed
    boat->call("reset_boat");
    scene->step();
    const Transform3D pose = boat->get_global_transform();
    EXPECT_TRUE(pose.is_finite());
    EXPECT_NEAR(double(pose.basis.get_column(1).y), 1.0, 1e-6) << "a rotation about +Y only";
}

} // namespace
