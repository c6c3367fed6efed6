#include "weapon_system/weapon_info.hpp"

#include "rules/weapon_catalog.hpp"

#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/variant.hpp>

using godot::Dictionary;
using godot::String;

namespace brinewake {

// The parameter is named `kind` so that the engine's condition text reads "!brinewake::valid_weapon(kind)".
Dictionary get_weapon_info(int32_t kind) {
    Dictionary d;
    ERR_FAIL_COND_V_MSG(!brinewake::valid_weapon(kind), d, "Unknown weapon kind");
    const WeaponSpec &s = spec(static_cast<WeaponKind>(kind));
    d["id"] = String(s.id); // Latin-1, as the catalogue's C strings are
    d["name"] = String(s.name);
    d["max_ammo"] = s.max_ammo;
    d["starting_ammo"] = s.starting_ammo;
    d["pickup_amount"] = s.pickup_amount;
    d["regen_per_second"] = s.regen_per_second;
    d["refire_interval"] = s.refire_interval;
    d["automatic"] = s.automatic;
    d["damage"] = s.damage;
    d["blast_radius"] = s.blast_radius;
    d["impact_impulse"] = s.impact_impulse;
    d["burn_time"] = s.burn_time;
    d["lifetime"] = s.lifetime;
    return d;
}

} // namespace brinewake
