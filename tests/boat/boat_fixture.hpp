// Shared by the boat suites: a scene with boats of the linked extension, and readers for what a
// script sees of them.
#pragma once

#include <limits>

#include "boat/boat.hpp"
#include "linked_extension.hpp"
#include "match_scene.hpp"

#include <godot_cpp/variant/packed_byte_array.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace brinewake_test {

// Non-finite inputs, as scripts and peers can send them.
inline const double NaN = std::numeric_limits<double>::quiet_NaN();
inline const double INF = std::numeric_limits<double>::infinity();
inline const float NaNf = std::numeric_limits<float>::quiet_NaN();
inline const float INFf = std::numeric_limits<float>::infinity();

// Physics step length as the engine hands it to the boat: single precision, widened.
inline const double STEP = double(static_cast<float>(MatchScene::PHYSICS_STEP));

class BoatTest : public ::testing::Test {
protected:
    void SetUp() override {
        use_linked_extension();
        scene = std::make_unique<MatchScene>();
    }
    void TearDown() override { scene.reset(); }

    // A boat created by class name, with its C++ object for what scripts cannot reach.
    Boat *add_boat(const godot::Vector3 &p_spawn = godot::Vector3(0.0f, 0.7f, 12.0f), double p_yaw = 0.0) {
        godot::RigidBody3D *body = scene->add_boat(p_spawn, p_yaw);
        return body == nullptr ? nullptr : godot::Object::cast_to<Boat>(body);
    }

    std::unique_ptr<MatchScene> scene;
};

// Throttle and steering as the boat's network packet carries them (float32 at bytes 64 and 68).
struct Controls {
    float throttle;
    float steering;
};
inline Controls packet_controls(godot::Object *p_boat) {
    const godot::PackedByteArray packet = p_boat->call("get_network_packet");
    Controls controls{NAN, NAN};
    if (packet.size() >= 72) {
        std::memcpy(&controls.throttle, packet.ptr() + 64, sizeof(float));
        std::memcpy(&controls.steering, packet.ptr() + 68, sizeof(float));
    }
    return controls;
}

// The hull's bow direction in world space (local -Z).
inline godot::Vector3 bow_direction(const godot::Node3D *p_node) {
    return -p_node->get_global_transform().basis.get_column(2);
}

} // namespace brinewake_test
