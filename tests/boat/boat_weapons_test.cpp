// The weapon inventory through the boat's script methods.
#include "boat_fixture.hpp"

#include <godot_cpp/variant/array.hpp>

#include <functional>
#include <string>
#include <vector>

using namespace godot;
using brinewake::WeaponInventory;
using brinewake_test::BoatTest;

namespace {

template <typename... Values> Array args(const Values &...p_values) {
    Array list;
    (list.push_back(Variant(p_values)), ...);
    return list;
}

struct InventoryCase {
    std::string name;
    std::function<void(WeaponInventory &)> setup;
    const char *method;
    Array arguments;
    Variant result;
    int selected, rockets, cannon;
    bool pending;
};

TEST_F(BoatTest, WeaponMethodsFollowTheInventoryRules) {
    const auto none = [](WeaponInventory &) {};
    const auto pending_press = [](WeaponInventory &w) {
        w.trigger_held = true;
        w.trigger_pending = true;
    };
    const std::vector<InventoryCase> cases = {
        {"fresh selection", none, "get_selected_weapon", args(), 1, 1, 0, 60, false},
        {"fresh rockets", none, "get_ammo", args(0), 0, 1, 0, 60, false},
        {"fresh cannon", none, "get_ammo", args(1), 60, 1, 0, 60, false},
        {"ammo of kind 2", none, "get_ammo", args(2), 0, 1, 0, 60, false},
        {"ammo of kind -1", none, "get_ammo", args(-1), 0, 1, 0, 60, false},
        {"rockets selectable while empty", none, "select_weapon", args(0), true, 0, 0, 60, false},
        {"kind 2 refused", none, "select_weapon", args(2), false, 1, 0, 60, false},
        {"kind -1 refused", none, "select_weapon", args(-1), false, 1, 0, 60, false},
        {"a change of weapon drops a pending press", pending_press, "select_weapon", args(0), true, 0, 0, 60,
         false},
        {"re-selecting keeps a pending press", pending_press, "select_weapon", args(1), true, 1, 0, 60, true},
        {"rockets added", none, "add_ammo", args(0, 3), 3, 1, 3, 60, false},
        {"rockets capped at 6", [](WeaponInventory &w) { w.ammo[0] = 3; }, "add_ammo", args(0, 10), 3, 1, 6,
         60, false},
        {"full rockets take nothing", [](WeaponInventory &w) { w.ammo[0] = 6; }, "add_ammo", args(0, 1), 0, 1,
         6, 60, false},
        {"zero amount", [](WeaponInventory &w) { w.ammo[1] = 10; }, "add_ammo", args(1, 0), 0, 1, 0, 10,
         false},
        {"negative amount", none, "add_ammo", args(0, -2), 0, 1, 0, 60, false},
        {"invalid kinds take nothing", none, "add_ammo", args(2, 3), 0, 1, 0, 60, false},
        {"negative kind takes nothing", none, "add_ammo", args(-1, 3), 0, 1, 0, 60, false},
        {"empty rockets switch to added cannon ammunition",
         [](WeaponInventory &w) {
             w.selected_weapon = 0;
             w.ammo[1] = 40;
             w.trigger_held = true;
             w.trigger_pending = true;
         },
         "add_ammo", args(1, 5), 5, 1, 0, 45, false},
        {"an empty cannon stays selected: it regenerates", [](WeaponInventory &w) { w.ammo[1] = 0; },
         "add_ammo", args(0, 3), 3, 1, 3, 0, false},
        {"rockets with ammunition stay selected",
         [](WeaponInventory &w) {
             w.selected_weapon = 0;
             w.ammo[0] = 2;
             w.ammo[1] = 40;
         },
         "add_ammo", args(1, 5), 5, 0, 2, 45, false},
        {"cycle from the cannon without rockets", none, "cycle_weapon", args(), 1, 1, 0, 60, false},
        {"cycle from the cannon to rockets",
         [](WeaponInventory &w) {
             w.ammo[0] = 2;
             w.trigger_held = true;
             w.trigger_pending = true;
         },
         "cycle_weapon", args(), 0, 0, 2, 60, false},
        {"cycle direction -1 acts as 1", [](WeaponInventory &w) { w.ammo[0] = 2; }, "cycle_weapon", args(-1),
         0, 0, 2, 60, false},
        {"cycle from rockets to an empty cannon",
         [](WeaponInventory &w) {
             w.selected_weapon = 0;
             w.ammo[1] = 0;
         },
         "cycle_weapon", args(1), 1, 1, 0, 0, false},
        {"reset keeps a held trigger but drops the press",
         [](WeaponInventory &w) {
             w.selected_weapon = 0;
             w.ammo[0] = 4;
             w.ammo[1] = 7;
             w.refire_cooldown[0] = 0.3;
             w.regen_progress[1] = 0.5;
             w.time_since_shot[1] = 0.0;
             w.trigger_held = true;
             w.trigger_pending = true;
         },
         "reset_weapons", args(), Variant(), 1, 0, 60, false},
    };
    for (const InventoryCase &c : cases) {
        SCOPED_TRACE(c.name);
        Boat *boat = add_boat();
        ASSERT_NE(boat, nullptr);
        c.setup(boat->get_weapons());
        const bool held_before = boat->get_weapons().trigger_held;
        const Variant result = boat->callv(c.method, c.arguments);
        EXPECT_TRUE(result == c.result) << String(result).utf8().get_data();
        const WeaponInventory &w = boat->get_weapons();
        EXPECT_EQ(int(boat->call("get_selected_weapon")), c.selected);
        EXPECT_EQ(int(boat->call("get_ammo", 0)), c.rockets);
        EXPECT_EQ(int(boat->call("get_ammo", 1)), c.cannon);
        EXPECT_EQ(w.trigger_pending, c.pending);
        EXPECT_EQ(w.trigger_held, held_before) << "only set_trigger and destruction move the trigger";
        if (std::string(c.method) == "reset_weapons") {
            for (int k = 0; k < 2; ++k) {
                EXPECT_EQ(w.refire_cooldown[k], 0.0);
                EXPECT_EQ(w.regen_progress[k], 0.0);
                EXPECT_EQ(w.time_since_shot[k], 1e9);
            }
        }
    }
}

TEST_F(BoatTest, TriggerMarksOneFreshPressAndStaysReleasedOnADestroyedBoat) {
    Boat *boat = add_boat();
    ASSERT_NE(boat, nullptr);
    const WeaponInventory &w = boat->get_weapons();

    boat->call("set_trigger", true);
    EXPECT_TRUE(w.trigger_held);
    EXPECT_TRUE(w.trigger_pending);
    boat->get_weapons().trigger_pending = false; // served by the firing step
    boat->call("set_trigger", true);
    EXPECT_TRUE(w.trigger_held);
    EXPECT_FALSE(w.trigger_pending) << "holding on is not a new press";
    boat->call("set_trigger", false);
    EXPECT_FALSE(w.trigger_held);
    EXPECT_FALSE(w.trigger_pending);

    boat->call("set_trigger", true);
    boat->call("apply_damage", 50.0);
    EXPECT_FALSE(w.trigger_held) << "destruction releases the trigger";
    EXPECT_FALSE(w.trigger_pending);
    boat->call("set_trigger", true);
    EXPECT_FALSE(w.trigger_held);
    EXPECT_FALSE(w.trigger_pending);
    EXPECT_TRUE(bool(boat->call("select_weapon", 0))) << "selection works while destroyed";
    EXPECT_EQ(int(boat->call("get_selected_weapon")), 0);
}

} // namespace
