// Impact resolution as scripts see it: damage and blast falloff, signal order, self-damage, pushes.
#include "combat_fixture.hpp"

#include "combat/flight.hpp"

#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/variant/transform3d.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace godot;
using brinewake_test::CombatTest;
using brinewake_test::Event;
using namespace brinewake_test::surface;

namespace {

// The rocket blast's share for a boat whose hit centre is at p_center: 1 - distance / 2.6, the distance
// measured in single precision.
double rocket_falloff(const Vector3 &p_center, const Vector3 &p_position) {
    const float dx = p_center.x - p_position.x;
    const float dy = p_center.y - p_position.y;
    const float dz = p_center.z - p_position.z;
    const double distance = double(std::sqrt(dx * dx + dy * dy + dz * dz));
    return std::min(1.0, std::max(0.0, 1.0 - distance / 2.6));
}

Vector3 center_of(const Boat *p_boat) {
    return brinewake::hit_center(p_boat->get_global_transform());
}

// A boat at (x, 3, 0) whose rocket dives into the sea right below its muzzle in the frame it is fired.
Boat *add_diver(Boat *p_boat) {
    p_boat->set_linear_velocity(Vector3(0, -600, 0));
    p_boat->call("add_ammo", 0, 6);
    return p_boat;
}

class ImpactTest : public CombatTest {
protected:
    // Fires the diver's rocket and returns the impact it made (in the same frame).
    Event dive(Boat *p_diver) {
        press(p_diver, 0);
        scene->step();
        p_diver->call("set_trigger", false);
        EXPECT_EQ(log.count("projectile_impact"), 1u);
        return log.of("projectile_impact").at(0);
    }
};

TEST_F(ImpactTest, ARocketDivingIntoTheSeaDamagesBoatsByFalloffInRegistrationOrder) {
    Boat *diver = add_diver(add_boat(Vector3(0, 3, 0)));
    // Where the rocket meets the sea (the geometry does not depend on other boats).
    Vector3 contact;
    {
        brinewake_test::MatchScene probe;
        Boat *twin = Object::cast_to<Boat>(probe.add_boat(Vector3(0, 3, 0)));
        twin->set_freeze_enabled(true);
        add_diver(twin);
        brinewake_test::EventLog events;
        events.watch_node(probe.weapon_system_with_boats());
        press(twin, 0);
        probe.step();
        ASSERT_EQ(events.count("projectile_impact"), 1u);
        contact = events.of("projectile_impact")[0][2];
    }
    // 1.3 m (half the radius), 2.0 m, and 2.7 m (beyond the radius: untouched) from the contact.
    Boat *near = add_boat(Vector3(contact.x + 1.3f, contact.y - 0.15f, contact.z));
    Boat *far = add_boat(Vector3(contact.x, contact.y - 0.15f, contact.z - 2.0f));
    Boat *edge = add_boat(Vector3(contact.x - 2.7f, contact.y - 0.15f, contact.z));

    const Event impact = dive(diver);
    EXPECT_EQ(int64_t(impact[4]), SURFACE_WATER);
    EXPECT_EQ(Vector3(impact[3]), Vector3(0, 1, 0));
    EXPECT_EQ(Vector3(impact[2]), contact);
    const std::vector<Event> hits = log.of("boat_hit");
    ASSERT_EQ(hits.size(), 2u) << "the diver is 3.3 m away, the third boat beyond the radius";
    EXPECT_EQ(Object::cast_to<Boat>(hits[0][0]), near);
    EXPECT_EQ(Object::cast_to<Boat>(hits[1][0]), far);
    EXPECT_DOUBLE_EQ(double(hits[0][2]), 25.0 * rocket_falloff(center_of(near), contact));
    EXPECT_NEAR(double(hits[0][2]), 12.5, 1e-4);
    EXPECT_DOUBLE_EQ(double(hits[1][2]), 25.0 * rocket_falloff(center_of(far), contact));
    for (const Event &hit : hits) {
        EXPECT_EQ(int64_t(hit[1]), 0);
        EXPECT_EQ(Vector3(hit[3]), contact);
        EXPECT_EQ(Object::cast_to<Boat>(hit[4]), diver);
    }
    EXPECT_EQ(double(near->call("get_health")), 50.0 - double(hits[0][2]));
    EXPECT_EQ(double(edge->call("get_health")), 50.0);
    EXPECT_EQ(brinewake_test::signal_names(log.all()),
              (std::vector<std::string>{"weapon_fired", "boat_hit", "boat_hit", "projectile_impact"}));
}

TEST_F(ImpactTest, ABlastPushesAFreeBoatAwayAndUpwards) {
    Boat *diver = add_diver(add_boat(Vector3(0, 3, 0)));
    Boat *floating = add_free_boat(Vector3(1.5f, 0.0f, -1.0f));
    const Vector3 before = floating->get_linear_velocity();
    dive(diver);
    ASSERT_EQ(log.count("boat_hit"), 1u);
    const Vector3 after = floating->get_linear_velocity();
    EXPECT_GT(after.x - before.x, 0.5f) << "away from the blast (about 420 / 129 m/s at full falloff)";
}

TEST_F(ImpactTest, ADirectHitTakesTheFullDamageAndADyingBoatReportsFirst) {
    struct Case {
        const char *name;
        double health;
        std::vector<std::string> order;
    };
    const Case cases[] = {
        {"healthy", 50.0, {"weapon_fired", "boat_hit", "projectile_impact"}},
        {"dying", 20.0, {"weapon_fired", "destroyed", "boat_hit", "projectile_impact"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        brinewake_test::MatchScene own;
        brinewake_test::EventLog events;
        Boat *shooter = Object::cast_to<Boat>(own.add_boat(Vector3(0, 5, 0)));
        Boat *target = Object::cast_to<Boat>(own.add_boat(Vector3(0.5f, 5.3f, -5.0f)));
        for (Boat *boat : {shooter, target}) {
            boat->set_freeze_enabled(true);
            events.watch_boat(boat);
        }
        target->call("apply_damage", 50.0 - c.health);
        shooter->set_linear_velocity(Vector3(0, 0, -600)); // reaches the target in the first frame
        shooter->call("add_ammo", 0, 1);
        events.watch_node(own.weapon_system_with_boats());
        press(shooter, 0);
        own.step();
        EXPECT_EQ(brinewake_test::signal_names(events.all()), c.order);
        const std::vector<Event> hits = events.of("boat_hit");
        ASSERT_EQ(hits.size(), 1u);
        EXPECT_EQ(Object::cast_to<Boat>(hits[0][0]), target);
        EXPECT_EQ(double(hits[0][2]), 25.0);
        EXPECT_EQ(int64_t(events.of("projectile_impact")[0][4]), SURFACE_BOAT);
        EXPECT_EQ(double(target->call("get_health")), std::max(c.health - 25.0, 0.0));
    }
}

TEST_F(ImpactTest, ARocketOnAWallJustAheadHurtsItsOwnBoat) {
    Boat *boat = add_boat(Vector3(0, 5, 0));
    scene->add_obstacle(Vector3(0, 5.5f, -1.3f), Vector3(2, 2, 0.4f));
    boat->call("add_ammo", 0, 1);
    press(boat, 0);
    scene->step();
    ASSERT_EQ(log.count("boat_hit"), 1u);
    const Event hit = log.of("boat_hit")[0];
    EXPECT_EQ(Object::cast_to<Boat>(hit[0]), boat);
    EXPECT_EQ(Object::cast_to<Boat>(hit[4]), boat) << "its own attacker";
    const Vector3 contact = log.of("projectile_impact")[0][2];
    EXPECT_DOUBLE_EQ(double(hit[2]), 25.0 * rocket_falloff(center_of(boat), contact));
}

TEST_F(ImpactTest, ARocketExpiringInTheAirStillBlastsBoatsNearby) {
    scene->tree().set_physics_step(0.5);
    Boat *shooter = add_boat(Vector3(0, 5, 0));
    shooter->call("add_ammo", 0, 1);
    // Where the rocket ends its life (found on a twin scene), and a boat 2 m beside that point.
    Vector3 end;
    {
        brinewake_test::MatchScene probe;
        probe.tree().set_physics_step(0.5);
        Boat *twin = Object::cast_to<Boat>(probe.add_boat(Vector3(0, 5, 0)));
        twin->set_freeze_enabled(true);
        twin->call("add_ammo", 0, 1);
        brinewake_test::EventLog events;
        events.watch_node(probe.weapon_system_with_boats());
        press(twin, 0);
        probe.step(6);
        ASSERT_EQ(events.count("projectile_impact"), 1u);
        end = events.of("projectile_impact")[0][2];
    }
    Boat *bystander = add_boat(Vector3(end.x + 2.0f, end.y - 0.15f, end.z));
    press(shooter, 0);
    scene->step(6);
    ASSERT_EQ(log.count("projectile_impact"), 1u);
    EXPECT_EQ(int64_t(log.of("projectile_impact")[0][4]), SURFACE_AIR);
    ASSERT_EQ(log.count("boat_hit"), 1u);
    EXPECT_EQ(Object::cast_to<Boat>(log.of("boat_hit")[0][0]), bystander);
    EXPECT_DOUBLE_EQ(double(log.of("boat_hit")[0][2]), 25.0 * rocket_falloff(center_of(bystander), end));
}

TEST_F(ImpactTest, AStruckFreeBodyIsPushedAlongTheFlightAndAStaticOneIsNot) {
    struct Case {
        const char *name;
        int kind;
        float mass; // kg, so that the push is 1 m/s
    };
    for (const Case &c : {Case{"rocket", 0, 210.0f}, Case{"water cannon", 1, 10.0f}}) {
        SCOPED_TRACE(c.name);
        brinewake_test::MatchScene own;
        Boat *shooter = Object::cast_to<Boat>(own.add_boat(Vector3(0, 5, 0)));
        shooter->set_freeze_enabled(true);
        shooter->call("add_ammo", 0, 1);
        RigidBody3D *crate = own.add_free_body(Vector3(0, 5.5f, -3.0f), Vector3(2, 2, 1), c.mass);
        brinewake_test::EventLog events;
        events.watch_node(own.weapon_system_with_boats());
        press(shooter, c.kind);
        Vector3 before;
        for (int frame = 0; frame < 30 && events.count("projectile_impact") == 0; ++frame) {
            before = crate->get_linear_velocity();
            own.step();
        }
        ASSERT_EQ(events.count("projectile_impact"), 1u);
        EXPECT_EQ(int64_t(events.of("projectile_impact")[0][4]), SURFACE_SOLID);
        // The push (1 m/s, mostly along -Z) then one step of damping (0.1 per second).
        const float pushed = crate->get_linear_velocity().z - before.z;
        EXPECT_NEAR(pushed, -0.998f, 0.01f);
    }
    // A static wall takes the hit and goes nowhere (nothing to push, nothing reported but the impact).
    Boat *boat = add_boat(Vector3(0, 5, 0));
    StaticBody3D *wall = scene->add_obstacle(Vector3(0, 5.5f, -1.3f), Vector3(2, 2, 0.4f));
    press(boat, 1);
    scene->step();
    EXPECT_EQ(log.count("projectile_impact"), 1u);
    EXPECT_EQ(wall->get_global_transform().origin, Vector3(0, 5.5f, -1.3f));
}

} // namespace
