// A boat's two-weapon inventory: ammunition, selection, trigger and per-weapon timers.
//
// Plain data and rules, no engine objects: the Boat node owns one and forwards its script
// methods here, and the weapon system's firing step reads and writes the fields directly.
#pragma once

#include "rules/weapon_catalog.hpp"

#include <cstdint>

namespace brinewake {

struct WeaponInventory {
    // Time values in seconds; arrays indexed by WeaponKind.
    int32_t ammo[WEAPON_COUNT] = {0, 60};              // each in [0, max_ammo]; starting_ammo of each kind
    double refire_cooldown[WEAPON_COUNT] = {0.0, 0.0}; // the weapon may fire at 1e-9 or less
    double time_since_shot[WEAPON_COUNT] = {1e9, 1e9}; // since it last fired or had its trigger held
    double regen_progress[WEAPON_COUNT] = {0.0, 0.0};  // fraction of one unit gathered, in [0, 1)
    int32_t selected_weapon = WATER_CANNON;            // always a valid kind
    bool trigger_held = false;
    bool trigger_pending = false; // a fresh press the firing step has not served yet

    // Press or release. A destroyed boat (p_alive false) keeps its trigger released.
    void set_trigger(bool p_pressed, bool p_alive);
    // Releases the trigger and drops a pending press (destruction).
    void release_trigger();
    // False for an invalid kind. Works without ammunition and on a destroyed boat.
    bool select_weapon(int32_t p_kind);
    // 0 for an invalid kind.
    int32_t get_ammo(int32_t p_kind) const;
    // Adds up to max_ammo; returns what was added. May switch away from an empty, non-regenerating weapon.
    int32_t add_ammo(int32_t p_kind, int32_t p_amount);
    // Switches to the other kind if it has ammunition or regenerates; returns the selection afterwards.
    // With two kinds every direction names the same candidate.
    int32_t cycle_weapon(int32_t p_direction);
    // Back to the starting inventory; a held trigger stays held.
    void reset();
    // Cooldowns, time since shot and regeneration by one firing step of p_dt seconds.
    void advance_timers(double p_dt);
    // Received state: a valid p_weapon is selected, the first p_ammo_count (at most 2) counts are taken
    // clamped to [0, max_ammo].
    void apply_received(int32_t p_weapon, const int32_t *p_ammo, int32_t p_ammo_count);

private:
    void change_selection(int32_t p_kind);
};

// True when the kind regains ammunition over time (and so stays selectable while empty).
bool weapon_regenerates(int32_t p_kind);

} // namespace brinewake
