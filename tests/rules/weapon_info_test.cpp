// The weapon info dictionary: keys in order, value types and values, and the error for unknown kinds.
#include "weapon_system/weapon_info.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <standin/error_capture.hpp>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using godot::Dictionary;
using godot::String;
using godot::Variant;

namespace {

struct Entry {
    const char *key;
    Variant value;
};

std::string text(const Variant &p_value) {
    return std::string(String(p_value).utf8().get_data());
}

void expect_info(int32_t p_kind, const std::vector<Entry> &p_expected) {
    SCOPED_TRACE(p_kind);
    standin::ErrorCapture capture;
    const Dictionary info = brinewake::get_weapon_info(p_kind);
    EXPECT_TRUE(capture.errors().empty());
    const godot::Array keys = info.keys();
    ASSERT_EQ(keys.size(), int64_t(p_expected.size()));
    for (size_t i = 0; i < p_expected.size(); i++) {
        const Entry &e = p_expected[i];
        SCOPED_TRACE(e.key);
        EXPECT_EQ(text(keys[int64_t(i)]), e.key); // insertion order
        const Variant &value = info[e.key];
        ASSERT_EQ(value.get_type(), e.value.get_type());
        switch (e.value.get_type()) {
        case Variant::STRING:
            EXPECT_EQ(text(value), text(e.value));
            break;
        case Variant::INT:
            EXPECT_EQ(int64_t(value), int64_t(e.value));
            break;
        case Variant::FLOAT:
            EXPECT_EQ(double(value), double(e.value)); // the catalogue's doubles, unchanged
            break;
        case Variant::BOOL:
            EXPECT_EQ(bool(value), bool(e.value));
            break;
        default:
            ADD_FAILURE() << "unexpected type";
        }
    }
}

} // namespace

TEST(WeaponInfo, ModelRocket) {
    expect_info(0, {{"id", String("model_rocket")},
                    {"name", String("Model rockets")},
                    {"max_ammo", int64_t(6)},
                    {"starting_ammo", int64_t(0)},
                    {"pickup_amount", int64_t(3)},
                    {"regen_per_second", 0.0},
                    {"refire_interval", 0.3},
                    {"automatic", false},
                    {"damage", 25.0},
                    {"blast_radius", 2.6},
                    {"impact_impulse", 0.0},
                    {"burn_time", 0.7},
                    {"lifetime", 3.0}});
}

TEST(WeaponInfo, WaterCannon) {
    expect_info(1, {{"id", String("water_cannon")},
                    {"name", String("Water cannon")},
                    {"max_ammo", int64_t(60)},
                    {"starting_ammo", int64_t(60)},
                    {"pickup_amount", int64_t(0)},
                    {"regen_per_second", 20.0},
                    {"refire_interval", 0.05},
                    {"automatic", true},
                    {"damage", 0.5},
                    {"blast_radius", 0.0},
                    {"impact_impulse", 10.0},
                    {"burn_time", 0.0},
                    {"lifetime", 1.5}});
}

TEST(WeaponInfo, UnknownKindsReportAnErrorAndReturnAnEmptyDictionary) {
    for (int32_t kind : {2, -1, 100, 101, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(kind);
        standin::ErrorCapture capture;
        const Dictionary info = brinewake::get_weapon_info(kind);
        EXPECT_EQ(info.size(), 0);
        ASSERT_EQ(capture.errors().size(), 1u);
        const standin::ErrorRecord &e = capture.errors()[0];
        EXPECT_EQ(e.function, "get_weapon_info");
        EXPECT_EQ(e.error, "Condition \"!brinewake::valid_weapon(kind)\" is true. Returning: d");
        EXPECT_EQ(e.message, "Unknown weapon kind");
        EXPECT_FALSE(e.is_warning);
    }
}
