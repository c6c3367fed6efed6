#include "rules/weapon_catalog.hpp"

namespace brinewake {

// The table is indexed by kind, so the enumerators must be its indices.
static_assert(MODEL_ROCKET == 0 && WATER_CANNON == 1, "weapon kinds index the catalogue");
static_assert(WEAPON_COUNT == sizeof(WEAPON_SPECS) / sizeof(WEAPON_SPECS[0]), "one record per weapon kind");
static_assert(valid_weapon(WEAPON_COUNT - 1) && !valid_weapon(WEAPON_COUNT) && !valid_weapon(-1),
              "valid_weapon matches the table");

} // namespace brinewake
