// Shared by the network suites: packet bytes, byte patching and a scene of boats made by class name.
#pragma once

#include "bit_hash.hpp"
#include "linked_extension.hpp"
#include "match_scene.hpp"

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <standin/callable_lambda.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace brinewake_test {

using Bytes = std::vector<uint8_t>;

// A fresh boat at the world origin with identity transform, as it goes on the wire.
inline const Bytes FRESH_BOAT_PACKET = {
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // position
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // rotation x, y, z
    0x00, 0x00, 0x80, 0x3F,                                                 // rotation w = 1
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // linear velocity
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // angular velocity
    0x00, 0x00, 0x48, 0x42,                                                 // health = 50
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                         // respawn, boost
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                         // throttle, steering
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                         // wind x, y
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                         // wave time (float64)
    0x01, 0x02,                                                             // weapon 1, two entries
    0x00, 0x00, 0x00, 0x00,                                                 // rockets 0
    0x3C, 0x00, 0x00, 0x00,                                                 // cannon 60
};

// Byte offsets of the float32 fields, and of the one float64 field.
inline constexpr size_t FLOAT_FIELD_OFFSETS[] = {0,  4,  8,  12, 16, 20, 24, 28, 32, 36,
                                                 40, 44, 48, 52, 56, 60, 64, 68, 72, 76};
inline constexpr size_t WAVE_TIME_OFFSET = 80;
inline constexpr size_t WEAPON_OFFSET = 88;
inline constexpr size_t ENTRY_COUNT_OFFSET = 89;

inline void put_u32_le(Bytes &r_bytes, size_t p_offset, uint32_t p_value) {
    for (int i = 0; i < 4; ++i) {
        r_bytes.at(p_offset + size_t(i)) = uint8_t(p_value >> (8 * i));
    }
}
inline void put_f32_le(Bytes &r_bytes, size_t p_offset, float p_value) {
    uint32_t bits;
    std::memcpy(&bits, &p_value, sizeof(bits));
    put_u32_le(r_bytes, p_offset, bits);
}
inline void put_f64_le(Bytes &r_bytes, size_t p_offset, double p_value) {
    uint64_t bits;
    std::memcpy(&bits, &p_value, sizeof(bits));
    for (int i = 0; i < 8; ++i) {
        r_bytes.at(p_offset + size_t(i)) = uint8_t(bits >> (8 * i));
    }
}

inline godot::PackedByteArray to_packed(const Bytes &p_bytes) {
    godot::PackedByteArray packed;
    packed.resize(int64_t(p_bytes.size()));
    if (!p_bytes.empty()) {
        std::memcpy(packed.ptrw(), p_bytes.data(), p_bytes.size());
    }
    return packed;
}
inline Bytes from_packed(const godot::PackedByteArray &p_packed) {
    const int64_t size = p_packed.size();
    return size > 0 ? Bytes(p_packed.ptr(), p_packed.ptr() + size) : Bytes();
}

// An engine object created by class name, as a script creates it.
inline godot::Variant instantiate(const char *p_class) {
    return godot::ClassDBSingleton::get_singleton()->instantiate(p_class);
}

// A scene of boats of the linked extension.
class NetworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        use_linked_extension();
        scene = std::make_unique<MatchScene>();
    }
    void TearDown() override { scene.reset(); }

    godot::RigidBody3D *add_boat(const godot::Vector3 &p_spawn = godot::Vector3(0.0f, 0.7f, 12.0f)) {
        godot::RigidBody3D *boat = scene->add_boat(p_spawn);
        EXPECT_NE(boat, nullptr);
        return boat;
    }
    // A remote copy: frozen, so that the physics does not move it.
    godot::RigidBody3D *add_remote_boat(const godot::Vector3 &p_spawn = godot::Vector3(0.0f, 0.7f, 12.0f)) {
        godot::RigidBody3D *boat = add_boat(p_spawn);
        if (boat != nullptr) {
            boat->call("set_freeze_enabled", true);
        }
        return boat;
    }

    std::unique_ptr<MatchScene> scene;
};

} // namespace brinewake_test
