// The weapon catalogue: kind validation, field types and the records' identities.
#include "rules/weapon_catalog.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <type_traits>

using brinewake::spec;
using brinewake::valid_weapon;
using brinewake::WeaponSpec;

TEST(WeaponCatalog, ValidKindsAreExactlyZeroAndOne) {
    struct Case {
        int kind;
        bool valid;
    };
    const Case cases[] = {
        {0, true},    {1, true},        {2, false},       {-1, false},          {100, false},
        {101, false}, {INT_MIN, false}, {INT_MAX, false}, {INT_MIN + 1, false}, {-2, false}};
    for (const Case &c : cases) {
        EXPECT_EQ(valid_weapon(c.kind), c.valid) << c.kind;
    }
}

TEST(WeaponCatalog, RecordsAreIndexedByKind) {
    EXPECT_EQ(brinewake::WEAPON_COUNT, 2);
    EXPECT_STREQ(spec(brinewake::MODEL_ROCKET).id, "model_rocket");
    EXPECT_STREQ(spec(brinewake::MODEL_ROCKET).name, "Model rockets");
    EXPECT_STREQ(spec(brinewake::WATER_CANNON).id, "water_cannon");
    EXPECT_STREQ(spec(brinewake::WATER_CANNON).name, "Water cannon");
    EXPECT_EQ(&spec(brinewake::WATER_CANNON), &brinewake::WEAPON_SPECS[1]);
    // Pickup kinds must not collide with weapon kinds.
    EXPECT_FALSE(valid_weapon(brinewake::PICKUP_HEALTH));
    EXPECT_FALSE(valid_weapon(brinewake::PICKUP_SPEED));
    EXPECT_NE(brinewake::PICKUP_HEALTH, brinewake::PICKUP_SPEED);
}

TEST(WeaponCatalog, FieldTypesAndExactLiterals) {
    static_assert(std::is_same_v<std::underlying_type_t<brinewake::WeaponKind>, int32_t>);
    static_assert(std::is_same_v<decltype(WeaponSpec::max_ammo), int32_t>);
    static_assert(std::is_same_v<decltype(WeaponSpec::starting_ammo), int32_t>);
    static_assert(std::is_same_v<decltype(WeaponSpec::pickup_amount), int32_t>);
    static_assert(std::is_same_v<decltype(WeaponSpec::automatic), bool>);
    static_assert(std::is_same_v<decltype(WeaponSpec::launch_pitch), double>);
    static_assert(std::is_same_v<decltype(WeaponSpec::spread), double>);
    // Decimal literals, not fractions of pi and not single-precision values.
    EXPECT_EQ(spec(brinewake::MODEL_ROCKET).launch_pitch, 0.0785);
    EXPECT_NE(spec(brinewake::MODEL_ROCKET).launch_pitch, double(0.0785f));
    EXPECT_EQ(spec(brinewake::WATER_CANNON).regen_delay, 0.6);
    EXPECT_EQ(spec(brinewake::WATER_CANNON).spread, 0.035);
}
