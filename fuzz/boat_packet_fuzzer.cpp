// Arbitrary bytes as a boat packet: the strict decoder, then a frozen boat and a predictor.
// Aborts when a decoded packet is unsound or a boat takes up a non-finite or out-of-range value.
#include "fuzz_support.hpp"
#include "network_inputs.hpp"

#include "match_scene.hpp"
#include "net/boat_packet.hpp"

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using brinewake_fuzz::require;

struct World {
    brinewake_test::MatchScene scene;
    godot::RigidBody3D *remote = nullptr;
    godot::Variant motion_holder;
    godot::Object *motion = nullptr;

    World() {
        remote = scene.add_boat();
        require(remote != nullptr, "no boat");
        remote->call("set_freeze_enabled", true);
        motion_holder = godot::ClassDBSingleton::get_singleton()->instantiate("BoatMotion");
        motion = motion_holder;
        require(motion != nullptr, "no predictor");
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *p_data, size_t p_size) {
    World &w = brinewake_fuzz::shared_world<World>();

    brinewake::BoatPacket packet;
    const bool accepted = brinewake::decode_boat_packet(p_data, p_size, packet);
    if (accepted) {
        require(p_size >= 90 && p_size == 90 + 4 * size_t(p_data[89]), "length");
        require(packet.transform.is_finite(), "transform");
        const godot::Basis product = packet.transform.basis * packet.transform.basis.transposed();
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                require(std::fabs(product.rows[i][j] - (i == j ? 1.0f : 0.0f)) < 1e-5f, "orthonormal");
            }
        }
        require(packet.linear_velocity.is_finite() && packet.angular_velocity.is_finite(), "velocity");
        require(std::isfinite(packet.health) && std::isfinite(packet.respawn_remaining) &&
                    std::isfinite(packet.speed_boost_remaining) && std::isfinite(packet.wave_time),
                "scalars");
        require(packet.throttle >= -1.0 && packet.throttle <= 1.0, "throttle");
        require(packet.steering >= -1.0 && packet.steering <= 1.0, "steering");
        require(packet.wind.length() <= 2.0f + 1e-6f, "wind");
        require(packet.ammo_count >= 0 && packet.ammo_count <= 2, "ammo count");
    }

    godot::PackedByteArray bytes;
    bytes.resize(int64_t(p_size));
    if (p_size > 0) {
        std::memcpy(bytes.ptrw(), p_data, p_size);
    }
    const bool applied = w.remote->call("apply_network_packet", bytes);
    require(applied == accepted, "apply and decode disagree");
    brinewake_fuzz::require_sound(brinewake_test::boat_problem(w.remote), "boat");
    const bool seeded = w.motion->call("set_from_packet", bytes);
    require(seeded == accepted, "predictor and decode disagree");
    w.motion->call("step", 0.5, -0.5, 1.0 / 60.0);
    return 0;
}
