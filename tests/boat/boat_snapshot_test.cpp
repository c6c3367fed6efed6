// Received boat state applied through apply_snapshot, the path shared by the network state and packet.
#include "boat_fixture.hpp"

#include <standin/callable_lambda.hpp>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace godot;
using brinewake_test::BoatTest;
using brinewake_test::Controls;
using brinewake_test::INF;
using brinewake_test::NaN;
using brinewake_test::NaNf;
using brinewake_test::packet_controls;

namespace {

const Vector3 START(2.0f, 0.3f, -1.0f);
const Vector3 START_VELOCITY(1.0f, 0.0f, 0.0f);
const Transform3D RECEIVED_POSE(Basis(Vector3(0.0f, 1.0f, 0.0f), 1.0f), Vector3(10.0f, 1.0f, 10.0f));
const Vector3 RECEIVED_VELOCITY(0.0f, 0.5f, -3.0f);

struct Received {
    Transform3D transform = RECEIVED_POSE;
    Vector3 velocity = RECEIVED_VELOCITY;
    double health = 30.0;
    double respawn = 0.0;
    double boost = 0.0;
    int32_t weapon = 1;
    std::vector<int32_t> ammo = {2, 40};
    int32_t ammo_count = 2;
};

struct Expected {
    double health;
    double respawn = 0.0;
    double boost = 0.0;
    int selected = 1;
    int rockets = 2, cannon = 40;
    bool moved = false;
    Vector3 velocity = RECEIVED_VELOCITY;
    int destroyed = 0, respawned = 0;
};

struct SnapshotCase {
    std::string name;
    double start_health; // 0: destroyed before the snapshot
    Received in;
    Expected out;
};

Received with(void (*p_change)(Received &)) {
    Received r;
    p_change(r);
    return r;
}

TEST_F(BoatTest, SnapshotsClampTheStateAndMoveTheBoatOnlyAcrossDestructionOrRespawn) {
    const std::vector<SnapshotCase> cases = {
        {"alive boat takes everything but the pose",
         10.0,
         with([](Received &r) {
             r.boost = 3.5;
             r.respawn = 1.25;
             r.weapon = 0;
             r.ammo = {4, 20};
         }),
         {30.0, 1.25, 3.5, 0, 4, 20}},
        {"health above the maximum", 50.0, with([](Received &r) { r.health = 80.0; }), {50.0}},
        {"infinite health is full health", 50.0, with([](Received &r) { r.health = INF; }), {50.0}},
        {"negative health destroys",
         50.0,
         with([](Received &r) {
             r.health = -3.0;
             r.respawn = 4.0;
         }),
         {0.0, 4.0, 0.0, 1, 2, 40, true, RECEIVED_VELOCITY, 1, 0}},
        {"a destroyed boat receiving health respawns",
         0.0,
         Received{},
         {30.0, 0.0, 0.0, 1, 2, 40, true, RECEIVED_VELOCITY, 0, 1}},
        {"a destroyed boat stays destroyed", 0.0, with([](Received &r) { r.health = 0.0; }), {0.0}},
        {"weapon 7 keeps the selection", 50.0, with([](Received &r) { r.weapon = 7; }), {30.0}},
        {"weapon -1 keeps the selection",
         50.0,
         with([](Received &r) {
             r.weapon = -1;
             r.health = 50.0;
         }),
         {50.0}},
        {"ammunition clamped to the catalogue",
         50.0,
         with([](Received &r) {
             r.ammo = {9, 70};
         }),
         {30.0, 0.0, 0.0, 1, 6, 60}},
        {"negative ammunition",
         50.0,
         with([](Received &r) {
             r.ammo = {-4, -1};
         }),
         {30.0, 0.0, 0.0, 1, 0, 0}},
        {"one count updates only rockets",
         50.0,
         with([](Received &r) {
             r.ammo = {3};
             r.ammo_count = 1;
         }),
         {30.0, 0.0, 0.0, 1, 3, 60}},
        {"no counts keep the ammunition",
         50.0,
         with([](Received &r) {
             r.ammo = {};
             r.ammo_count = 0;
         }),
         {30.0, 0.0, 0.0, 1, 0, 60}},
        // Non-finite values that only a dictionary can carry.
        {"NaN health keeps the living boat's health",
         20.0,
         with([](Received &r) { r.health = NaN; }),
         {20.0}},
        {"NaN health keeps a destroyed boat destroyed",
         0.0,
         with([](Received &r) {
             r.health = NaN;
             r.respawn = 2.0;
         }),
         {0.0, 2.0}},
        {"non-finite and negative timers become 0",
         50.0,
         with([](Received &r) {
             r.respawn = INF;
             r.boost = INF;
         }),
         {30.0, 0.0, 0.0}},
        {"NaN and negative timers become 0",
         50.0,
         with([](Received &r) {
             r.respawn = -2.0;
             r.boost = NaN;
         }),
         {30.0, 0.0, 0.0}},
        {"a non-finite velocity is not applied",
         50.0,
         with([](Received &r) { r.velocity = Vector3(0.0f, NaNf, 1.0f); }),
         {30.0, 0.0, 0.0, 1, 2, 40, false, START_VELOCITY}},
        {"a non-finite pose is not applied, the destruction is",
         50.0,
         with([](Received &r) {
             r.health = 0.0;
             r.transform.origin.x = NaNf;
         }),
         {0.0, 0.0, 0.0, 1, 2, 40, false, RECEIVED_VELOCITY, 1, 0}},
        {"a non-finite basis is not applied, the respawn is",
         0.0,
         with([](Received &r) { r.transform.basis.rows[1].y = std::numeric_limits<float>::infinity(); }),
         {30.0, 0.0, 0.0, 1, 2, 40, false, RECEIVED_VELOCITY, 0, 1}},
    };
    for (const SnapshotCase &c : cases) {
        SCOPED_TRACE(c.name);
        Boat *boat = add_boat(START);
        ASSERT_NE(boat, nullptr);
        boat->set_collision_layer(6);
        boat->set_collision_mask(3);
        if (c.start_health < 50.0) {
            boat->call("apply_damage", 50.0 - c.start_health);
        }
        boat->set_linear_velocity(START_VELOCITY);
        int destroyed = 0;
        int respawned = 0;
        boat->connect("destroyed", standin::callable_lambda([&](const Variant **, int64_t) { ++destroyed; }));
        boat->connect("respawned", standin::callable_lambda([&](const Variant **, int64_t) { ++respawned; }));

        boat->apply_snapshot(c.in.transform, c.in.velocity, c.in.health, c.in.respawn, c.in.boost,
                             c.in.weapon, c.in.ammo.data(), c.in.ammo_count);

        EXPECT_EQ(double(boat->call("get_health")), c.out.health);
        EXPECT_EQ(double(boat->call("get_respawn_remaining")), c.out.respawn);
        EXPECT_EQ(double(boat->call("get_speed_boost_remaining")), c.out.boost);
        EXPECT_EQ(int(boat->call("get_selected_weapon")), c.out.selected);
        EXPECT_EQ(int(boat->call("get_ammo", 0)), c.out.rockets);
        EXPECT_EQ(int(boat->call("get_ammo", 1)), c.out.cannon);
        EXPECT_EQ(boat->get_linear_velocity(), c.out.velocity);
        const Transform3D pose = boat->get_global_transform();
        if (c.out.moved) {
            EXPECT_TRUE(pose.is_equal_approx(c.in.transform));
        } else {
            EXPECT_EQ(pose.origin, START);
        }
        EXPECT_EQ(destroyed, c.out.destroyed);
        EXPECT_EQ(respawned, c.out.respawned);
        const bool alive = c.out.health > 0.0;
        EXPECT_EQ(boat->get_collision_layer(), alive ? 6u : 0u);
        EXPECT_EQ(boat->get_collision_mask(), alive ? 3u : 0u);
        EXPECT_FALSE(std::isnan(double(boat->call("get_health"))));
    }
}

TEST_F(BoatTest, SnapshotsLeaveControlsTriggerAndAPendingResetAlone) {
    Boat *boat = add_boat(START);
    ASSERT_NE(boat, nullptr);
    const Vector3 spawn(-6.0f, 0.2f, 4.0f);
    boat->call("set_spawn_position", spawn);
    boat->call("set_controls", 0.5, -0.25);
    boat->call("set_trigger", true);
    boat->call("reset_boat");
    const int32_t ammo[2] = {1, 1};
    boat->apply_snapshot(RECEIVED_POSE, Vector3(), 20.0, 0.0, 0.0, 0, ammo, 2);

    const Controls controls = packet_controls(boat);
    EXPECT_EQ(controls.throttle, 0.5f);
    EXPECT_EQ(controls.steering, -0.25f);
    EXPECT_TRUE(boat->get_weapons().trigger_held);
    EXPECT_FALSE(boat->get_weapons().trigger_pending) << "the received change of weapon drops the press";
    scene->step();
    EXPECT_LT(boat->get_global_transform().origin.distance_to(spawn), 0.01f) << "the reset still happens";

    // A received selection equal to the current one keeps a pending press.
    boat->call("set_trigger", false);
    boat->call("set_trigger", true);
    boat->apply_snapshot(RECEIVED_POSE, Vector3(), 20.0, 0.0, 0.0, 0, ammo, 2);
    EXPECT_TRUE(boat->get_weapons().trigger_pending);
}

} // namespace
