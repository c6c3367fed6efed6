// Projectile flight in the stand-in world: the sea, obstacles and boats, the earliest contact, owner grace
// and lifetime, as a script sees them through the node's signals.
#include "combat_fixture.hpp"

#include "combat/firing.hpp"
#include "combat/flight.hpp"
#include "rules/wave_field.hpp"

#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/transform3d.hpp>

#include <cmath>
#include <vector>

using namespace godot;
using brinewake_test::CombatTest;
using brinewake_test::Event;
using namespace brinewake_test::surface;

namespace {

// The points a projectile of p_kind with id p_id fired now by p_boat passes at the end of each of the next
// p_frames frames of p_delta seconds, with no contact on the way.
std::vector<Vector3> predicted_path(Boat *p_boat, int p_kind, int64_t p_id, int p_frames, double p_delta) {
    const brinewake::WeaponSpec &spec = brinewake::spec(static_cast<brinewake::WeaponKind>(p_kind));
    brinewake::Projectile projectile;
    projectile.kind = p_kind;
    projectile.position = brinewake::to_vec3d(p_boat->get_muzzle_position());
    projectile.velocity = brinewake::launch_velocity(
        spec, brinewake::firing_forward(p_boat->get_global_basis()),
        brinewake::spread_offsets(p_id, spec.spread), p_boat->get_linear_velocity());
    std::vector<Vector3> path{brinewake::to_vector3(projectile.position)};
    for (int i = 0; i < p_frames; ++i) {
        brinewake::integrate_projectile(projectile, spec, p_delta);
        path.push_back(brinewake::to_vector3(projectile.position));
    }
    return path;
}

// Where a boat must stand (frozen, level, heading -Z) for its hit centre to be at p_center.
Vector3 origin_for_center(const Vector3 &p_center) {
    return p_center - Vector3(0.0f, brinewake::HIT_CENTER_HEIGHT, 0.0f);
}

TEST_F(CombatTest, RocketsAndJetsOverOpenWaterEndInTheSeaOrTheAir) {
    struct Case {
        const char *name;
        int kind;
    };
    for (const Case c : {Case{"rocket", 0}, Case{"water cannon", 1}}) {
        SCOPED_TRACE(c.name);
        log.clear();
        Boat *boat = add_boat(Vector3(float(40 * c.kind), 0.3f, 0.0f));
        boat->call("add_ammo", 0, 1);
        press(boat, c.kind);
        scene->step();
        boat->call("set_trigger", false);
        scene->step(200);
        ASSERT_EQ(log.count("projectile_impact"), 1u);
        const Event impact = log.of("projectile_impact")[0];
        const Vector3 position = impact[2];
        if (int64_t(impact[4]) == SURFACE_WATER) {
            EXPECT_EQ(Vector3(impact[3]), Vector3(0, 1, 0));
            EXPECT_EQ(position.y, float(brinewake::wave_height(position.x, position.z, 0.0)))
                << "on the surface";
        } else {
            EXPECT_EQ(int64_t(impact[4]), SURFACE_AIR);
            EXPECT_EQ(c.kind, 0) << "only a rocket stays up for its whole life";
        }
        if (c.kind == 1) {
            EXPECT_EQ(int64_t(impact[4]), SURFACE_WATER) << "a jet meets the sea well within its 1.5 s";
        }
    }
}

TEST_F(CombatTest, ARocketStrikesABoatItPassesWithinTheProximityRadius) {
    for (const float miss_distance : {1.1f, 1.3f}) {
        SCOPED_TRACE(miss_distance);
        brinewake_test::MatchScene own;
        Boat *shooter = Object::cast_to<Boat>(own.add_boat(Vector3(0, 5, 0)));
        shooter->set_freeze_enabled(true);
        shooter->call("add_ammo", 0, 1);
        const std::vector<Vector3> path =
            predicted_path(shooter, 0, 1, 30, brinewake_test::MatchScene::PHYSICS_STEP);
        // Beside the middle of the 12th segment, square to the flight (which keeps to the x = 0 plane).
        const Vector3 middle = (path[11] + path[12]) * 0.5f;
        Boat *target =
            Object::cast_to<Boat>(own.add_boat(origin_for_center(middle + Vector3(miss_distance, 0, 0))));
        target->set_freeze_enabled(true);
        brinewake_test::EventLog events;
        events.watch_node(own.weapon_system_with_boats());
        press(shooter, 0);
        own.step(20);
        const std::vector<Event> hits = events.of("boat_hit");
        if (miss_distance < 1.2f) {
            ASSERT_EQ(hits.size(), 1u);
            EXPECT_EQ(Object::cast_to<Boat>(hits[0][0]), target);
            EXPECT_EQ(double(hits[0][2]), 25.0) << "the struck boat takes the full damage";
            EXPECT_EQ(int64_t(events.of("projectile_impact")[0][4]), SURFACE_BOAT);
        } else {
            EXPECT_TRUE(hits.empty());
        }
    }
}

TEST_F(CombatTest, AJetStrikesAtTheEntryOfTheHullBox) {
    Boat *shooter = add_boat(Vector3(0, 5, 0));
    const std::vector<Vector3> path =
        predicted_path(shooter, 1, 1, 30, brinewake_test::MatchScene::PHYSICS_STEP);
    // A boat whose stern face the jet crosses about 5 m ahead, passing 0.7 m to the left of its origin and
    // 0.3 m above it: inside the hull box, outside the 1.2 x 0.5 m body the world ray sees.
    const Vector3 at = path[10];
    const float z = at.z - 1.4631f - 0.1f;
    Boat *target = add_boat(Vector3(at.x + 0.7f, at.y - 0.3f, z));
    Boat *neighbour = add_boat(Vector3(at.x + 1.7f, at.y - 0.3f, z));
    press(shooter, 1);
    scene->step();
    shooter->call("set_trigger", false);
    scene->step(60);
    ASSERT_EQ(log.count("boat_hit"), 1u);
    const Event hit = log.of("boat_hit")[0];
    EXPECT_EQ(Object::cast_to<Boat>(hit[0]), target) << "a jet has no blast: the boat beside is untouched";
    EXPECT_EQ(double(hit[2]), 0.5);
    EXPECT_EQ(Object::cast_to<Boat>(hit[4]), shooter);
    const Event impact = log.of("projectile_impact")[0];
    EXPECT_EQ(int64_t(impact[4]), SURFACE_BOAT);
    const Vector3 local = target->get_global_transform().affine_inverse().xform(Vector3(impact[2]));
    EXPECT_NEAR(local.z, 1.4631f, 1e-4) << "enters through the stern face of the box";
    EXPECT_NEAR(local.x, -0.7f, 0.05f);
    (void)neighbour;
}

TEST_F(CombatTest, TheFiringBoatIsSparedOnlyDuringTheGraceTime) {
    // A rocket leaves the muzzle within 1.2 m of its own boat's hit centre: only the grace time spares it.
    Boat *rocketeer = add_boat(Vector3(0, 5, 0));
    rocketeer->call("add_ammo", 0, 1);
    press(rocketeer, 0);
    scene->step(20);
    EXPECT_EQ(log.count("boat_hit"), 0u);

    // A jet whose boat moves backwards faster than the muzzle speed drifts back through its own hull box:
    // it strikes the boat in the first frame that starts at an age of 0.12 s or more (the 9th).
    log.clear();
    Boat *gunner = add_boat(Vector3(40, 5, 0));
    gunner->set_linear_velocity(Vector3(0, 0, 40));
    press(gunner, 1);
    scene->step();
    gunner->call("set_trigger", false);
    int frame = 1;
    while (log.count("projectile_impact") == 0 && frame < 30) {
        scene->step();
        ++frame;
    }
    ASSERT_EQ(log.count("boat_hit"), 1u);
    EXPECT_EQ(frame, 9);
    const Event hit = log.of("boat_hit")[0];
    EXPECT_EQ(Object::cast_to<Boat>(hit[0]), gunner);
    EXPECT_EQ(Object::cast_to<Boat>(hit[4]), gunner) << "its own attacker";
}

TEST_F(CombatTest, DestroyedAndUnregisteredBoatsAreNeverStruckByTheBoatTest) {
    for (const bool destroyed : {true, false}) {
        SCOPED_TRACE(destroyed ? "destroyed" : "unregistered");
        brinewake_test::MatchScene own;
        Boat *shooter = Object::cast_to<Boat>(own.add_boat(Vector3(0, 5, 0)));
        shooter->set_freeze_enabled(true);
        shooter->call("add_ammo", 0, 1);
        const std::vector<Vector3> path =
            predicted_path(shooter, 0, 1, 30, brinewake_test::MatchScene::PHYSICS_STEP);
        Boat *target = Object::cast_to<Boat>(own.add_boat(origin_for_center(path[12] + Vector3(1.0f, 0, 0))));
        target->set_freeze_enabled(true);
        Node3D *combat = own.weapon_system();
        combat->call("register_boat", shooter);
        if (destroyed) {
            combat->call("register_boat", target);
            target->call("apply_damage", 100.0);
        }
        brinewake_test::EventLog events;
        events.watch_node(combat);
        press(shooter, 0);
        own.step(20);
        EXPECT_TRUE(events.of("boat_hit").empty());
        EXPECT_TRUE(events.of("projectile_impact").empty()) << "the rocket flew on";
    }
}

// A rocket from a frozen boat moving so fast that one frame's segment is about 10 m long, so that several
// contacts lie on the same segment and only their order along it decides.
TEST_F(CombatTest, TheEarliestContactAlongTheSegmentWins) {
    struct Case {
        const char *name;
        Vector3 boat_velocity;
        float target_z;   // where a target boat stands ahead (0: none)
        Vector3 obstacle; // centre of a 4 x 1 x 0.5 m wall (or slab, for the dive)
        Vector3 obstacle_size;
        int surface;
    };
    const Case cases[] = {
        {"boat before the wall", Vector3(0, 0, -600), -4.0f, Vector3(0, 5.6f, -8), Vector3(4, 2, 0.5f),
         SURFACE_BOAT},
        {"wall before the boat", Vector3(0, 0, -600), -8.0f, Vector3(0, 5.6f, -3), Vector3(4, 2, 0.5f),
         SURFACE_SOLID},
        {"sea before a sunken slab", Vector3(0, -600, 0), 0.0f, Vector3(0, -3, -1), Vector3(4, 1, 4),
         SURFACE_WATER},
        {"slab before the sea", Vector3(0, -600, 0), 0.0f, Vector3(0, 2, -1), Vector3(4, 1, 4),
         SURFACE_SOLID},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        brinewake_test::MatchScene own;
        const float height = c.boat_velocity.y < 0.0f ? 3.0f : 5.0f;
        Boat *shooter = Object::cast_to<Boat>(own.add_boat(Vector3(0, height, 0)));
        shooter->set_freeze_enabled(true);
        shooter->set_linear_velocity(c.boat_velocity);
        shooter->call("add_ammo", 0, 1);
        Boat *target = nullptr;
        if (c.target_z != 0.0f) {
            target = Object::cast_to<Boat>(own.add_boat(Vector3(0.5f, 5.3f, c.target_z)));
            target->set_freeze_enabled(true);
        }
        own.add_obstacle(c.obstacle, c.obstacle_size);
        brinewake_test::EventLog events;
        events.watch_node(own.weapon_system_with_boats());
        press(shooter, 0);
        own.step();
        ASSERT_EQ(events.count("projectile_impact"), 1u) << "struck within the first segment";
        EXPECT_EQ(int64_t(events.of("projectile_impact")[0][4]), c.surface);
        if (target != nullptr) {
            const std::vector<Event> hits = events.of("boat_hit");
            const bool struck = !hits.empty() && Object::cast_to<Boat>(hits[0][0]) == target;
            EXPECT_EQ(struck, c.surface == SURFACE_BOAT);
        }
    }
}

TEST_F(CombatTest, AProjectileIsRemovedInTheStepItsAgeReachesTheLifetime) {
    // Half-second frames make the ages exact: 0.5, 1.0, ... 3.0.
    scene->tree().set_physics_step(0.5);
    Boat *boat = add_boat(Vector3(0, 5, 0));
    boat->call("add_ammo", 0, 1);
    const std::vector<Vector3> path = predicted_path(boat, 0, 1, 6, 0.5);
    press(boat, 0);
    scene->step(5);
    EXPECT_EQ(log.count("projectile_impact"), 0u);
    scene->step();
    ASSERT_EQ(log.count("projectile_impact"), 1u);
    const Event impact = log.of("projectile_impact")[0];
    EXPECT_EQ(int64_t(impact[4]), SURFACE_AIR);
    EXPECT_EQ(Vector3(impact[2]), path[6]) << "expires where its last step ended";
    EXPECT_EQ(Vector3(impact[3]), Vector3(0, 1, 0));
}

TEST_F(CombatTest, ImpactsAreResolvedInOrderAfterTheListHoldsOnlySurvivors) {
    Boat *a = add_boat(Vector3(0, 5, 0));
    Boat *b = add_boat(Vector3(10, 5, 0));
    Boat *c = add_boat(Vector3(20, 5, 0));
    // Walls just ahead of a's and b's muzzles: their rockets end in the frame they are fired.
    scene->add_obstacle(Vector3(0, 5.5f, -1.3f), Vector3(2, 2, 0.4f));
    scene->add_obstacle(Vector3(10, 5.5f, -1.3f), Vector3(2, 2, 0.4f));
    std::vector<int64_t> counts_seen;
    Node3D *combat = node();
    log.on("projectile_impact",
           [&](const Event &) { counts_seen.push_back(combat->call("get_projectile_count")); });
    for (Boat *boat : {a, b, c}) {
        boat->call("add_ammo", 0, 1);
        press(boat, 0);
    }
    scene->step();
    const std::vector<Event> impacts = log.of("projectile_impact");
    ASSERT_EQ(impacts.size(), 2u);
    EXPECT_EQ(int64_t(impacts[0][0]), 1);
    EXPECT_EQ(int64_t(impacts[1][0]), 2);
    EXPECT_EQ(int64_t(impacts[0][4]), SURFACE_SOLID);
    EXPECT_EQ(counts_seen, (std::vector<int64_t>{1, 1})) << "c's rocket flies on";
}

} // namespace
