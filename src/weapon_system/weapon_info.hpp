// The script-facing description of one weapon of the catalogue.
#pragma once

#include <godot_cpp/variant/dictionary.hpp>

#include <cstdint>

namespace brinewake {

// The 13 public fields of the weapon's catalogue record, in a fixed key order; an empty dictionary and
// an engine error for a kind that is not a weapon.
godot::Dictionary get_weapon_info(int32_t kind);

} // namespace brinewake
