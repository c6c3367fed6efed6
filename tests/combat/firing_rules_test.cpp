// Firing rules: the per-frame decision, the shot's bookkeeping, the heading, the spread spiral and the
// launch velocity, checked against worked values and direct double-precision formulas.
#include "combat/firing.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using brinewake::FireDecision;
using brinewake::MODEL_ROCKET;
using brinewake::spec;
using brinewake::WATER_CANNON;
using brinewake::WeaponInventory;
using godot::Basis;
using godot::Vector3;

namespace {

constexpr double FRAME = 1.0 / 60.0; // s
constexpr double NAN_D = std::numeric_limits<double>::quiet_NaN();
constexpr float NAN_F = std::numeric_limits<float>::quiet_NaN();
constexpr float INF_F = std::numeric_limits<float>::infinity();

const char *name_of(FireDecision p_decision) {
    switch (p_decision) {
    case FireDecision::HOLD:
        return "HOLD";
    case FireDecision::EMPTY:
        return "EMPTY";
    case FireDecision::FIRE:
        return "FIRE";
    }
    return "?";
}

// --- Decision -------------------------------------------------------------------------------------

struct DecisionCase {
    std::string name;
    int32_t kind;
    bool held, pending;
    int32_t ammo;
    double cooldown; // s
    FireDecision expected;
    bool pending_after;
};

TEST(FiringDecision, TriggerCooldownAndAmmunitionTable) {
    const std::vector<DecisionCase> cases = {
        {"press, cooled, stocked", MODEL_ROCKET, true, true, 3, 0.0, FireDecision::FIRE, false},
        {"press during cooldown stays pending", MODEL_ROCKET, true, true, 3, 0.1, FireDecision::HOLD, true},
        {"press just above the tolerance waits", MODEL_ROCKET, true, true, 3, 2e-9, FireDecision::HOLD, true},
        {"cooldown at the tolerance counts as elapsed", MODEL_ROCKET, true, true, 3, 1e-9, FireDecision::FIRE,
         false},
        {"negative remainder counts as elapsed", WATER_CANNON, true, true, 5, -1e-3, FireDecision::FIRE,
         false},
        {"press on empty reports it and is used up", MODEL_ROCKET, true, true, 0, 0.0, FireDecision::EMPTY,
         false},
        {"press on empty during cooldown waits", MODEL_ROCKET, true, true, 0, 0.2, FireDecision::HOLD, true},
        {"press on empty automatic reports it", WATER_CANNON, true, true, 0, 0.0, FireDecision::EMPTY, false},
        {"semi-automatic held does not refire", MODEL_ROCKET, true, false, 3, 0.0, FireDecision::HOLD, false},
        {"automatic held, cooled, stocked", WATER_CANNON, true, false, 5, 0.0, FireDecision::FIRE, false},
        {"automatic held during cooldown", WATER_CANNON, true, false, 5, 0.03, FireDecision::HOLD, false},
        {"automatic held runs dry silently", WATER_CANNON, true, false, 0, 0.0, FireDecision::HOLD, false},
        {"automatic released", WATER_CANNON, false, false, 5, 0.0, FireDecision::HOLD, false},
        {"NaN cooldown never blocks a press", MODEL_ROCKET, true, true, 3, NAN_D, FireDecision::FIRE, false},
    };
    for (const DecisionCase &c : cases) {
        WeaponInventory w;
        w.selected_weapon = c.kind;
        w.trigger_held = c.held;
        w.trigger_pending = c.pending;
        w.ammo[c.kind] = c.ammo;
        w.refire_cooldown[c.kind] = c.cooldown;
        const FireDecision got = brinewake::decide_fire(w, c.kind);
        EXPECT_EQ(got, c.expected) << c.name << ": got " << name_of(got);
        EXPECT_EQ(w.trigger_pending, c.pending_after) << c.name;
        // Deciding spends nothing and touches no timer.
        EXPECT_EQ(w.ammo[c.kind], c.ammo) << c.name;
        EXPECT_EQ(w.trigger_held, c.held) << c.name;
        if (!std::isnan(c.cooldown)) {
            EXPECT_EQ(w.refire_cooldown[c.kind], c.cooldown) << c.name;
        }
    }
}

TEST(FiringDecision, ASpentShotSetsItsWeaponsCooldownAndClock) {
    for (int32_t kind : {int32_t(MODEL_ROCKET), int32_t(WATER_CANNON)}) {
        WeaponInventory w;
        w.ammo[kind] = 4;
        w.time_since_shot[kind] = 7.0;
        const int32_t other = 1 - kind;
        const int32_t other_ammo = w.ammo[other];
        brinewake::spend_shot(w, kind);
        EXPECT_EQ(w.ammo[kind], 3) << kind;
        EXPECT_EQ(w.refire_cooldown[kind], spec(static_cast<brinewake::WeaponKind>(kind)).refire_interval);
        EXPECT_EQ(w.time_since_shot[kind], 0.0) << kind;
        EXPECT_EQ(w.ammo[other], other_ammo) << "the other weapon is untouched";
        EXPECT_EQ(w.refire_cooldown[other], 0.0);
    }
}

// Drives the inventory frame by frame exactly as the firing step does: timers first, then the decision,
// then the shot's bookkeeping.
struct FrameDriver {
    WeaponInventory w;
    int shots = 0;
    int empties = 0;

    FireDecision frame(double p_dt = FRAME) {
        const int32_t kind = w.selected_weapon;
        w.advance_timers(p_dt);
        const FireDecision decision = brinewake::decide_fire(w, kind);
        if (decision == FireDecision::FIRE) {
            brinewake::spend_shot(w, kind);
            ++shots;
        } else if (decision == FireDecision::EMPTY) {
            ++empties;
        }
        return decision;
    }
};

TEST(FiringSequence, OneRocketPressFiresOnceHoweverLongItIsHeld) {
    FrameDriver d;
    d.w.selected_weapon = MODEL_ROCKET;
    d.w.ammo[MODEL_ROCKET] = 3;
    d.w.set_trigger(true, true);
    EXPECT_EQ(d.frame(), FireDecision::FIRE);
    EXPECT_EQ(d.w.ammo[MODEL_ROCKET], 2);
    EXPECT_EQ(d.w.refire_cooldown[MODEL_ROCKET], 0.3);
    for (int i = 0; i < 60; ++i) {
        d.frame();
    }
    EXPECT_EQ(d.shots, 1);
    EXPECT_EQ(d.w.ammo[MODEL_ROCKET], 2);
}

TEST(FiringSequence, EmptyRocketPressReportsOnceWhileHeld) {
    FrameDriver d;
    d.w.selected_weapon = MODEL_ROCKET;
    d.w.ammo[MODEL_ROCKET] = 0;
    d.w.set_trigger(true, true);
    for (int i = 0; i < 30; ++i) {
        d.frame();
    }
    EXPECT_EQ(d.empties, 1);
    EXPECT_EQ(d.shots, 0);
    EXPECT_EQ(d.w.refire_cooldown[MODEL_ROCKET], 0.0) << "no cooldown without a shot";
}

TEST(FiringSequence, PressDuringCooldownFiresInTheFirstFrameAfterItUnlessReleased) {
    // Rocket fired at frame 1: 0.3 s of cooldown is 18 frames at 60 Hz, so frame 19 is the first free one.
    for (const bool release : {false, true}) {
        FrameDriver d;
        d.w.selected_weapon = MODEL_ROCKET;
        d.w.ammo[MODEL_ROCKET] = 3;
        d.w.set_trigger(true, true);
        ASSERT_EQ(d.frame(), FireDecision::FIRE);
        d.w.set_trigger(false, true);
        d.frame();
        d.w.set_trigger(true, true); // fresh press at frame 3, inside the cooldown
        int fired_at = 0;
        for (int frame = 3; frame <= 40 && fired_at == 0; ++frame) {
            if (release && frame == 10) {
                d.w.set_trigger(false, true);
            }
            if (d.frame() == FireDecision::FIRE) {
                fired_at = frame;
            }
        }
        if (release) {
            EXPECT_EQ(fired_at, 0) << "a press released within the cooldown is dropped";
        } else {
            EXPECT_EQ(fired_at, 19);
        }
    }
}

TEST(FiringSequence, HeldCannonFiresEveryThirdFrameAndStopsSilentlyWhenDry) {
    FrameDriver d;
    d.w.selected_weapon = WATER_CANNON;
    d.w.ammo[WATER_CANNON] = 60;
    d.w.set_trigger(true, true);
    std::vector<int> fired_frames;
    for (int frame = 1; frame <= 240; ++frame) {
        if (d.frame() == FireDecision::FIRE) {
            fired_frames.push_back(frame);
        }
    }
    ASSERT_EQ(fired_frames.size(), 60u);
    for (size_t i = 0; i < fired_frames.size(); ++i) {
        EXPECT_EQ(fired_frames[i], int(1 + 3 * i)) << "shot " << i;
    }
    EXPECT_EQ(d.w.ammo[WATER_CANNON], 0);
    EXPECT_EQ(d.empties, 0) << "an automatic weapon runs dry without a report";
}

// --- Heading ------------------------------------------------------------------------------------

TEST(FiringForward, HeadingIsHorizontalWhateverThePitchAndRoll) {
    const float deg = float(M_PI / 180.0);
    struct Case {
        const char *name;
        Basis basis;
        Vector3 expected;
    };
    const float s30 = std::sin(30 * deg), c30 = std::cos(30 * deg);
    const Case cases[] = {
        {"level", Basis(), Vector3(0, 0, -1)},
        {"pitched 30 nose-up", Basis(Vector3(1, 0, 0), 30 * deg), Vector3(0, 0, -1)},
        {"pitched 80 nose-down", Basis(Vector3(1, 0, 0), -80 * deg), Vector3(0, 0, -1)},
        {"rolled 45", Basis(Vector3(0, 0, 1), 45 * deg), Vector3(0, 0, -1)},
        {"yawed 30 left", Basis(Vector3(0, 1, 0), 30 * deg), Vector3(-s30, 0, -c30)},
        {"yawed 90 right", Basis(Vector3(0, 1, 0), -90 * deg), Vector3(1, 0, 0)},
        {"yawed 30 left and pitched 40",
         Basis(Vector3(0, 1, 0), 30 * deg) * Basis(Vector3(1, 0, 0), 40 * deg), Vector3(-s30, 0, -c30)},
        {"bow straight up", Basis(Vector3(1, 0, 0), 90 * deg), Vector3(0, 0, -1)},
        {"nearly vertical bow (flat length^2 2e-8)",
         Basis(Vector3(1, 0, 0), Vector3(0, 0, 1), Vector3(1e-4f, -1, 1e-4f)), Vector3(0, 0, -1)},
        {"short but usable Z axis", Basis(Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0.003f, 0, 0.004f)),
         Vector3(-0.6f, 0, -0.8f)},
    };
    for (const Case &c : cases) {
        const Vector3 f = brinewake::firing_forward(c.basis);
        EXPECT_EQ(f.y, 0.0f) << c.name;
        EXPECT_NEAR(f.x, c.expected.x, 1e-6) << c.name;
        EXPECT_NEAR(f.z, c.expected.z, 1e-6) << c.name;
        EXPECT_NEAR(std::sqrt(double(f.x) * f.x + double(f.z) * f.z), 1.0, 1e-6) << c.name;
    }
}

TEST(FiringForward, NonFiniteBasisGivesNoHeading) {
    const Basis cases[] = {
        Basis(NAN_F, NAN_F, NAN_F, NAN_F, NAN_F, NAN_F, NAN_F, NAN_F, NAN_F),
        Basis(Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(NAN_F, 0, 1)),
        Basis(Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, INF_F)),
        Basis(Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(INF_F, 0, -INF_F)),
    };
    for (const Basis &basis : cases) {
        EXPECT_EQ(brinewake::firing_forward(basis), Vector3()) << basis.get_column(2).x;
    }
}

// --- Spread -------------------------------------------------------------------------------------

TEST(FiringSpread, CannonWorkedValues) {
    const double spread = spec(WATER_CANNON).spread;
    struct Case {
        int64_t id;
        double yaw, pitch; // worked values, 7 significant digits
    };
    const Case cases[] = {{1, -0.0202889, 0.0185863}, {2, 0.0014867, -0.0169403}};
    for (const Case &c : cases) {
        const brinewake::SpreadOffsets o = brinewake::spread_offsets(c.id, spread);
        EXPECT_NEAR(o.yaw, c.yaw, 5e-8) << c.id;
        EXPECT_NEAR(o.pitch, c.pitch, 5e-8) << c.id;
    }
    const brinewake::SpreadOffsets first = brinewake::spread_offsets(1, spread);
    EXPECT_NEAR(std::hypot(first.yaw, first.pitch) / spread, 0.786151, 5e-7) << "radius of id 1";
    EXPECT_NEAR(std::atan2(first.pitch, first.yaw), 2.399963, 5e-7) << "angle of id 1";
}

TEST(FiringSpread, SunflowerSpiralBitForBitAcrossIds) {
    const double spread = spec(WATER_CANNON).spread;
    // The product is rounded to double before the exact remainder; the angle is not reduced first.
    for (int64_t id : {int64_t(1), int64_t(3), int64_t(17), int64_t(1000), int64_t(123456789),
                       int64_t(1) << 40, (int64_t(1) << 53) - 1}) {
        const double n = double(id);
        const double r = std::sqrt(std::fmod(n * 0.6180339887498949, 1.0));
        const double theta = 2.399963229728653 * n;
        const brinewake::SpreadOffsets o = brinewake::spread_offsets(id, spread);
        EXPECT_EQ(o.yaw, spread * r * std::cos(theta)) << id;
        EXPECT_EQ(o.pitch, spread * r * std::sin(theta)) << id;
        EXPECT_LE(std::hypot(o.yaw, o.pitch), spread * (1 + 1e-12)) << id;
    }
}

TEST(FiringSpread, NoSpreadLeavesStraight) {
    for (double spread : {spec(MODEL_ROCKET).spread, 0.0, -0.035}) {
        for (int64_t id : {int64_t(1), int64_t(2), int64_t(77)}) {
            const brinewake::SpreadOffsets o = brinewake::spread_offsets(id, spread);
            EXPECT_EQ(o.yaw, 0.0) << spread << " " << id;
            EXPECT_EQ(o.pitch, 0.0) << spread << " " << id;
        }
    }
}

// --- Launch velocity ----------------------------------------------------------------------------

TEST(FiringLaunch, RocketFromRestAndFromAMovingBoat) {
    const brinewake::WeaponSpec &rocket = spec(MODEL_ROCKET);
    const double e = 0.0785, speed = 16.0;
    struct Case {
        Vector3 boat_velocity;
        double x, y, z; // worked values (5 decimals)
        double exact_y, exact_z;
    };
    const Case cases[] = {
        {Vector3(), 0.0, 1.25471, -15.95073, std::sin(e) * speed, -std::cos(e) * speed},
        {Vector3(0, 0, -5), 0.0, 1.25471, -20.95073, std::sin(e) * speed, -std::cos(e) * speed - 5.0},
        {Vector3(2, -1, 0.5f), 2.0, 0.25471, -15.45073, std::sin(e) * speed - 1.0,
         -std::cos(e) * speed + 0.5},
    };
    for (const Case &c : cases) {
        const brinewake::Vec3d v = brinewake::launch_velocity(rocket, Vector3(0, 0, -1),
                                                              brinewake::SpreadOffsets{}, c.boat_velocity);
        EXPECT_EQ(v.x, c.x) << c.boat_velocity.z;
        EXPECT_NEAR(v.y, c.y, 5e-6) << c.boat_velocity.z;
        EXPECT_NEAR(v.z, c.z, 5e-6) << c.boat_velocity.z;
        EXPECT_EQ(v.y, c.exact_y);
        EXPECT_EQ(v.z, c.exact_z);
    }
}

TEST(FiringLaunch, PitchedBoatLaunchesAtTheLevelElevation) {
    const brinewake::WeaponSpec &rocket = spec(MODEL_ROCKET);
    const Basis level;
    const Basis pitched(Vector3(1, 0, 0), float(M_PI / 6.0));
    const brinewake::Vec3d a = brinewake::launch_velocity(rocket, brinewake::firing_forward(level),
                                                          brinewake::SpreadOffsets{}, Vector3());
    const brinewake::Vec3d b = brinewake::launch_velocity(rocket, brinewake::firing_forward(pitched),
                                                          brinewake::SpreadOffsets{}, Vector3());
    EXPECT_EQ(b.x, a.x);
    EXPECT_EQ(b.y, a.y);
    EXPECT_EQ(b.z, a.z);
    EXPECT_NEAR(std::atan2(b.y, std::hypot(b.x, b.z)), rocket.launch_pitch, 1e-12);
}

TEST(FiringLaunch, CannonShotTurnsByYawRisesByPitchAndKeepsMuzzleSpeed) {
    const brinewake::WeaponSpec &cannon = spec(WATER_CANNON);
    const Vector3 boat_velocity(1.5f, 0.25f, -3);
    const float deg = float(M_PI / 180.0);
    const Vector3 headings[] = {Vector3(0, 0, -1),
                                brinewake::firing_forward(Basis(Vector3(0, 1, 0), 70 * deg))};
    for (const Vector3 &f : headings) {
        for (int64_t id : {int64_t(1), int64_t(2), int64_t(3), int64_t(40)}) {
            const brinewake::SpreadOffsets o = brinewake::spread_offsets(id, cannon.spread);
            const brinewake::Vec3d v = brinewake::launch_velocity(cannon, f, o, boat_velocity);
            const double rx = v.x - double(boat_velocity.x);
            const double ry = v.y - double(boat_velocity.y);
            const double rz = v.z - double(boat_velocity.z);
            // Relative to the boat: muzzle speed (times the single-precision heading's length),
            // elevation = launch pitch + pitch offset, heading turned towards its right by the yaw offset.
            const double e = 0.035 + o.pitch;
            const double flat_sq = double(f.x) * f.x + double(f.z) * f.z;
            const double expected_speed =
                32.0 * std::sqrt(flat_sq * std::cos(e) * std::cos(e) + std::sin(e) * std::sin(e));
            EXPECT_NEAR(std::sqrt(rx * rx + ry * ry + rz * rz), expected_speed, 1e-9) << id;
            EXPECT_NEAR(std::asin(ry / 32.0), e, 1e-12) << id;
            const double heading = std::atan2(double(-f.x), double(-f.z)); // to the left of -Z
            const double turned = std::atan2(-rx, -rz);
            EXPECT_NEAR(std::remainder(turned - (heading - o.yaw), 2 * M_PI), 0.0, 1e-9) << id;
        }
    }
    // Id 1 from a level boat at rest deviates to the left (-X) and upwards.
    const brinewake::Vec3d v1 = brinewake::launch_velocity(
        cannon, Vector3(0, 0, -1), brinewake::spread_offsets(1, cannon.spread), Vector3());
    EXPECT_LT(v1.x, 0.0);
    EXPECT_GT(v1.y, std::sin(0.035) * 32.0);
}

TEST(FiringLaunch, NoHeadingLeavesOnlyTheVerticalComponentAndTheBoatVelocity) {
    const brinewake::WeaponSpec &rocket = spec(MODEL_ROCKET);
    const Vector3 boat_velocity(3, -0.5f, 4);
    const brinewake::Vec3d v =
        brinewake::launch_velocity(rocket, Vector3(), brinewake::SpreadOffsets{}, boat_velocity);
    EXPECT_EQ(v.x, 3.0);
    EXPECT_EQ(v.y, std::sin(0.0785) * 16.0 - 0.5);
    EXPECT_EQ(v.z, 4.0);
}

} // namespace
