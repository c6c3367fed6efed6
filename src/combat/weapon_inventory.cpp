#include "combat/weapon_inventory.hpp"

#include <algorithm>
#include <cmath>

namespace brinewake {

namespace {

const WeaponSpec &kind_spec(int32_t p_kind) {
    return spec(static_cast<WeaponKind>(p_kind));
}

} // namespace

bool weapon_regenerates(int32_t p_kind) {
    return valid_weapon(p_kind) && kind_spec(p_kind).regen_per_second > 0.0;
}

void WeaponInventory::change_selection(int32_t p_kind) {
    if (p_kind != selected_weapon) {
        trigger_pending = false; // a press belongs to the weapon it was made on
    }
    selected_weapon = p_kind;
}

void WeaponInventory::set_trigger(bool p_pressed, bool p_alive) {
    const bool held = p_pressed && p_alive;
    if (!held) {
        trigger_pending = false;
        trigger_held = false;
    } else if (!trigger_held) {
        trigger_pending = true;
        trigger_held = true;
    }
}

void WeaponInventory::release_trigger() {
    trigger_held = false;
    trigger_pending = false;
}

bool WeaponInventory::select_weapon(int32_t p_kind) {
    if (!valid_weapon(p_kind)) {
        return false;
    }
    change_selection(p_kind);
    return true;
}

int32_t WeaponInventory::get_ammo(int32_t p_kind) const {
    return valid_weapon(p_kind) ? ammo[p_kind] : 0;
}

int32_t WeaponInventory::add_ammo(int32_t p_kind, int32_t p_amount) {
    if (!valid_weapon(p_kind) || p_amount <= 0) {
        return 0;
    }
    const int32_t added = std::min(p_amount, kind_spec(p_kind).max_ammo - ammo[p_kind]);
    if (added <= 0) {
        return 0;
    }
    ammo[p_kind] += added;
    if (ammo[selected_weapon] <= 0 && !weapon_regenerates(selected_weapon)) {
        change_selection(p_kind);
    }
    return added;
}

int32_t WeaponInventory::cycle_weapon(int32_t /*p_direction*/) {
    const int32_t candidate = (selected_weapon + 1) % WEAPON_COUNT;
    if (ammo[candidate] > 0 || weapon_regenerates(candidate)) {
        change_selection(candidate);
    }
    return selected_weapon;
}

void WeaponInventory::reset() {
    for (int32_t k = 0; k < WEAPON_COUNT; ++k) {
        refire_cooldown[k] = 0.0;
        regen_progress[k] = 0.0;
    }
    trigger_pending = false;
    for (int32_t k = 0; k < WEAPON_COUNT; ++k) {
        ammo[k] = kind_spec(k).starting_ammo;
    }
    selected_weapon = WATER_CANNON;
    for (int32_t k = 0; k < WEAPON_COUNT; ++k) {
        time_since_shot[k] = 1e9;
    }
}

void WeaponInventory::advance_timers(double p_dt) {
    // A negative or non-finite step would run timers backwards, take ammunition away or leave NaN behind.
    if (!std::isfinite(p_dt) || p_dt < 0.0) {
        return;
    }
    for (int32_t k = 0; k < WEAPON_COUNT; ++k) {
        const WeaponSpec &s = kind_spec(k);
        refire_cooldown[k] = std::max(refire_cooldown[k] - p_dt, 0.0);
        if (k == selected_weapon && trigger_held) {
            time_since_shot[k] = 0.0; // holding the trigger counts as use, even when empty
        } else {
            time_since_shot[k] += p_dt;
        }
        if (s.regen_per_second > 0.0 && time_since_shot[k] >= s.regen_delay && ammo[k] < s.max_ammo) {
            const double p = regen_progress[k] + p_dt * s.regen_per_second;
            // Whole units in double: a long step must not overflow the integer conversion.
            const double whole = std::trunc(p);
            const double room = double(s.max_ammo - ammo[k]);
            ammo[k] += static_cast<int32_t>(std::min(whole, room));
            // The fraction stays even when the cap cut the addition; a step so long that p overflowed
            // has filled the weapon and leaves no fraction (inf - inf would be NaN).
            regen_progress[k] = std::isfinite(p) ? p - whole : 0.0;
        } else {
            regen_progress[k] = 0.0;
        }
    }
}

void WeaponInventory::apply_received(int32_t p_weapon, const int32_t *p_ammo, int32_t p_ammo_count) {
    if (valid_weapon(p_weapon)) {
        change_selection(p_weapon);
    }
    if (p_ammo == nullptr) {
        return;
    }
    const int32_t count = std::min(p_ammo_count, WEAPON_COUNT);
    for (int32_t k = 0; k < count; ++k) {
        ammo[k] = std::clamp(p_ammo[k], 0, kind_spec(k).max_ammo);
    }
}

} // namespace brinewake
