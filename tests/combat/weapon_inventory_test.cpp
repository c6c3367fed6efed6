// The inventory's timers and regeneration, worked step by step as the firing step drives them.
#include "combat/weapon_inventory.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using brinewake::WeaponInventory;

namespace {

constexpr double FRAME = 1.0 / 60.0;

// Cannon at 50, trigger released, 0.6 s since its last shot: one unit every third frame, 60 after 30.
TEST(WeaponInventoryTimers, CannonRegeneratesOneUnitEveryThirdFrameUpToItsCap) {
    WeaponInventory inventory;
    inventory.ammo[1] = 50;
    inventory.time_since_shot[1] = 0.6;
    std::vector<int> ammo_after_frame;
    for (int frame = 0; frame < 33; ++frame) {
        inventory.advance_timers(FRAME);
        ammo_after_frame.push_back(inventory.ammo[1]);
        EXPECT_GE(inventory.regen_progress[1], 0.0);
        EXPECT_LT(inventory.regen_progress[1], 1.0);
    }
    for (int frame = 0; frame < 33; ++frame) {
        const int expected = frame < 30 ? 50 + (frame + 1) / 3 : 60;
        EXPECT_EQ(ammo_after_frame[size_t(frame)], expected) << "after frame " << frame + 1;
    }
    EXPECT_EQ(inventory.regen_progress[1], 0.0) << "a full weapon gathers nothing";
    EXPECT_EQ(inventory.ammo[0], 0) << "rockets never regenerate";
    EXPECT_EQ(inventory.regen_progress[0], 0.0);
}

struct TimerCase {
    std::string name;
    std::function<void(WeaponInventory &)> setup;
    int frames;
    int rockets, cannon;               // expected ammunition afterwards
    double since_rocket, since_cannon; // expected time since shot afterwards
};

TEST(WeaponInventoryTimers, TriggerHoldCountsAsUseOfTheSelectedWeaponOnly) {
    const double start = 1e9 + 10 * FRAME;
    const std::vector<TimerCase> cases = {
        {"held on the cannon: no regeneration, its clock stays at 0",
         [](WeaponInventory &w) {
             w.ammo[1] = 40;
             w.trigger_held = true;
         },
         10, 0, 40, start, 0.0},
        {"held on rockets: the cannon still regenerates",
         [](WeaponInventory &w) {
             w.ammo[1] = 40;
             w.selected_weapon = 0;
             w.trigger_held = true;
         },
         9, 0, 43, 0.0, 1e9 + 9 * FRAME},
        {"released after holding: regeneration waits the 0.6 s delay",
         [](WeaponInventory &w) {
             w.ammo[1] = 40;
             w.time_since_shot[1] = 0.0;
         },
         30, 0, 40, 1e9 + 30 * FRAME, 30 * FRAME},
        {"after the delay it regenerates again",
         [](WeaponInventory &w) {
             w.ammo[1] = 40;
             w.time_since_shot[1] = 0.0;
         },
         45, 0, 43, 1e9 + 45 * FRAME, 45 * FRAME},
    };
    for (const TimerCase &c : cases) {
        SCOPED_TRACE(c.name);
        WeaponInventory inventory;
        c.setup(inventory);
        for (int frame = 0; frame < c.frames; ++frame) {
            inventory.advance_timers(FRAME);
        }
        EXPECT_EQ(inventory.ammo[0], c.rockets);
        EXPECT_EQ(inventory.ammo[1], c.cannon);
        EXPECT_NEAR(inventory.time_since_shot[0], c.since_rocket, 1e-5);
        EXPECT_NEAR(inventory.time_since_shot[1], c.since_cannon, 1e-5);
    }
}

TEST(WeaponInventoryTimers, CooldownsRunDownToZeroAndBadStepsChangeNothing) {
    WeaponInventory inventory;
    inventory.refire_cooldown[0] = 0.3;
    inventory.refire_cooldown[1] = 0.01;
    inventory.advance_timers(FRAME);
    EXPECT_DOUBLE_EQ(inventory.refire_cooldown[0], 0.3 - FRAME);
    EXPECT_EQ(inventory.refire_cooldown[1], 0.0);

    // A long step fills the cannon without overflowing the unit count; the fraction is kept.
    inventory.ammo[1] = 0;
    inventory.advance_timers(1e12 + 0.5 / 20.0);
    EXPECT_EQ(inventory.ammo[1], 60);
    EXPECT_NEAR(inventory.regen_progress[1], 0.5, 0.01) << "the cap does not drop the fraction";

    // A step so long that the gathered amount overflows fills the weapon and leaves no NaN behind.
    inventory.ammo[1] = 10;
    inventory.advance_timers(1e308);
    EXPECT_EQ(inventory.ammo[1], 60);
    EXPECT_EQ(inventory.regen_progress[1], 0.0);
    inventory.ammo[1] = 10;
    inventory.advance_timers(FRAME);
    EXPECT_EQ(inventory.ammo[1], 10) << "the next step must see a sound fraction";

    for (const double bad : {-FRAME, std::nan(""), std::numeric_limits<double>::infinity()}) {
        SCOPED_TRACE(bad);
        WeaponInventory before;
        before.ammo[1] = 30;
        before.refire_cooldown[0] = 0.2;
        WeaponInventory after = before;
        after.advance_timers(bad);
        EXPECT_EQ(after.ammo[1], 30);
        EXPECT_EQ(after.refire_cooldown[0], 0.2);
        EXPECT_EQ(after.time_since_shot[1], 1e9);
        EXPECT_EQ(after.regen_progress[1], 0.0);
    }
}

} // namespace
