// Firing through the script view: presses, cooldowns, automatic fire, ammunition, the launch itself.
#include "combat_fixture.hpp"

#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/transform3d.hpp>

#include <cmath>
#include <vector>

using namespace godot;
using brinewake_test::CombatTest;
using brinewake_test::Event;

namespace {

// Frames (counted from 0) in which weapon_fired was emitted, over p_frames frames.
std::vector<int> firing_frames(brinewake_test::MatchScene &p_scene, brinewake_test::EventLog &p_log,
                               int p_frames) {
    std::vector<int> frames;
    for (int frame = 0; frame < p_frames; ++frame) {
        const size_t before = p_log.count("weapon_fired");
        p_scene.step();
        if (p_log.count("weapon_fired") > before) {
            frames.push_back(frame);
        }
    }
    return frames;
}

TEST_F(CombatTest, OnePressFiresOneRocketAndHoldingFiresNoMore) {
    Boat *boat = add_boat(Vector3(0, 5, 0));
    boat->call("add_ammo", 0, 3);
    press(boat, 0);
    scene->step();
    ASSERT_EQ(log.count("weapon_fired"), 1u);
    EXPECT_EQ(int64_t(boat->call("get_ammo", 0)), 2);
    EXPECT_EQ(boat->get_weapons().refire_cooldown[0], 0.3);
    scene->step(60);
    EXPECT_EQ(log.count("weapon_fired"), 1u) << "a semi-automatic weapon needs a new press";
    EXPECT_EQ(log.count("weapon_empty"), 0u);
}

TEST_F(CombatTest, APressOnAnEmptyWeaponIsReportedOnce) {
    Boat *boat = add_boat(Vector3(0, 5, 0));
    press(boat, 0);
    scene->step(30);
    ASSERT_EQ(log.count("weapon_empty"), 1u);
    const Event empty = log.of("weapon_empty")[0];
    EXPECT_EQ(Object::cast_to<Boat>(empty[0]), boat);
    EXPECT_EQ(int64_t(empty[1]), 0);
    EXPECT_EQ(log.count("weapon_fired"), 0u);
}

TEST_F(CombatTest, APressDuringTheCooldownWaitsWhileHeld) {
    Boat *boat = add_boat(Vector3(0, 5, 0));
    boat->call("add_ammo", 0, 3);
    press(boat, 0);
    scene->step();
    boat->call("set_trigger", false);
    scene->step(4);
    boat->call("set_trigger", true);
    // 0.3 s of 1/60 s frames: the cooldown has run out 18 frames after the shot, 13 from here.
    EXPECT_EQ(firing_frames(*scene, log, 30), std::vector<int>{13});

    // Pressed and released within the cooldown: the press is dropped.
    boat->call("set_trigger", false);
    boat->call("set_trigger", true);
    boat->call("set_trigger", false);
    EXPECT_EQ(firing_frames(*scene, log, 30), std::vector<int>{}) << "a released press is not served";
}

TEST_F(CombatTest, AHeldWaterCannonFiresEveryThirdFrameUntilDrySilently) {
    Boat *boat = add_boat(Vector3(0, 5, 0));
    press(boat, 1);
    const std::vector<int> frames = firing_frames(*scene, log, 200);
    ASSERT_EQ(frames.size(), 60u) << "60 rounds, no regeneration while the trigger is held";
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i], int(3 * i));
    }
    EXPECT_EQ(int64_t(boat->call("get_ammo", 1)), 0);
    EXPECT_EQ(log.count("weapon_empty"), 0u);
}

// The launch velocity of a water-cannon shot from a level boat at rest facing -Z, from the published
// spread offsets of its id.
Vector3 expected_jet(double p_yaw_offset, double p_pitch_offset) {
    const double elevation = p_pitch_offset + 0.035;
    return Vector3(float(std::sin(p_yaw_offset) * std::cos(elevation) * 32.0),
                   float(std::sin(elevation) * 32.0),
                   float(-std::cos(p_yaw_offset) * std::cos(elevation) * 32.0));
}

TEST_F(CombatTest, TheLaunchFollowsTheMuzzleTheSpreadAndTheBoatVelocity) {
    Boat *boat = add_boat(Vector3(0, 5, 0));
    press(boat, 1);
    const Vector3 muzzle = boat->call("get_muzzle_position");
    scene->step(7);
    const std::vector<Event> shots = log.of("weapon_fired");
    ASSERT_EQ(shots.size(), 3u);
    const Vector3 expected[] = {expected_jet(-0.0202889, 0.0185863), expected_jet(0.0014867, -0.0169403)};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(int64_t(shots[i][2]), i + 1);
        EXPECT_EQ(Vector3(shots[i][3]), muzzle) << "launched from the muzzle";
    }
    for (int i = 0; i < 2; ++i) {
        const Vector3 velocity = shots[i][4];
        EXPECT_NEAR(velocity.x, expected[i].x, 2e-4) << "id " << i + 1;
        EXPECT_NEAR(velocity.y, expected[i].y, 2e-4) << "id " << i + 1;
        EXPECT_NEAR(velocity.z, expected[i].z, 2e-4) << "id " << i + 1;
    }

    struct Case {
        const char *name;
        double pitch; // rad, nose up
        Vector3 boat_velocity;
        Vector3 expected;
    };
    const Case cases[] = {
        {"at rest", 0.0, Vector3(), Vector3(0.0f, 1.25471f, -15.95073f)},
        {"moving ahead", 0.0, Vector3(0, 0, -5), Vector3(0.0f, 1.25471f, -20.95073f)},
        {"pitched 30 degrees nose up", M_PI / 6.0, Vector3(), Vector3(0.0f, 1.25471f, -15.95073f)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        brinewake_test::MatchScene own;
        Boat *shooter = Object::cast_to<Boat>(own.add_boat(Vector3(0, 5, 0)));
        shooter->set_freeze_enabled(true);
        shooter->set_global_transform(Transform3D(Basis(Vector3(1, 0, 0), float(c.pitch)), Vector3(0, 5, 0)));
        shooter->set_linear_velocity(c.boat_velocity);
        shooter->call("add_ammo", 0, 1);
        Node3D *combat = own.weapon_system_with_boats();
        brinewake_test::EventLog shots_log;
        shots_log.watch_node(combat);
        press(shooter, 0);
        const Vector3 muzzle_now = shooter->call("get_muzzle_position");
        own.step();
        ASSERT_EQ(shots_log.count("weapon_fired"), 1u);
        const Event shot = shots_log.of("weapon_fired")[0];
        EXPECT_EQ(Vector3(shot[3]), muzzle_now);
        const Vector3 velocity = shot[4];
        EXPECT_NEAR(velocity.x, c.expected.x, 1e-4);
        EXPECT_NEAR(velocity.y, c.expected.y, 1e-4);
        EXPECT_NEAR(velocity.z, c.expected.z, 1e-4);
    }
}

TEST_F(CombatTest, DestroyedBoatsNeitherFireNorRegenerate) {
    Boat *boat = add_boat(Vector3(0, 5, 0));
    press(boat, 1);
    scene->step(30);
    const size_t fired = log.count("weapon_fired");
    boat->call("apply_damage", 100.0);
    boat->call("set_trigger", true);
    const int64_t ammo = boat->call("get_ammo", 1);
    scene->step(120);
    EXPECT_EQ(log.count("weapon_fired"), fired);
    EXPECT_EQ(int64_t(boat->call("get_ammo", 1)), ammo);
}

} // namespace
