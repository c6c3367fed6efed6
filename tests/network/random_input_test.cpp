// A bounded run of hostile packets and state dictionaries from a fixed seed: nothing may crash,
// nothing undefined may happen (the sanitizer build runs this too) and no boat may take up a
// non-finite or out-of-range value.
#include "network_inputs.hpp"
#include "network_support.hpp"
#include "replica_inputs.hpp"

#include "combat_state.hpp"

#include "net/boat_packet.hpp"

#include <godot_cpp/variant/basis.hpp>

#include <cmath>

using namespace godot;
using namespace brinewake_test;

namespace {

constexpr int INPUTS = 20000;
constexpr int MATCH_STATES = 5000; // each with up to four physics frames

void expect_sound_packet(const PackedByteArray &p_bytes, const brinewake::BoatPacket &p_packet) {
    ASSERT_GE(p_bytes.size(), 90);
    EXPECT_EQ(p_bytes.size(), 90 + 4 * int64_t(p_bytes[89]));
    EXPECT_TRUE(p_packet.transform.is_finite());
    const Basis product = p_packet.transform.basis * p_packet.transform.basis.transposed();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            EXPECT_NEAR(product.rows[i][j], i == j ? 1.0f : 0.0f, 1e-5f);
        }
    }
    EXPECT_TRUE(p_packet.linear_velocity.is_finite());
    EXPECT_TRUE(p_packet.angular_velocity.is_finite());
    EXPECT_TRUE(std::isfinite(p_packet.health) && std::isfinite(p_packet.respawn_remaining) &&
                std::isfinite(p_packet.speed_boost_remaining) && std::isfinite(p_packet.wave_time));
    EXPECT_TRUE(p_packet.throttle >= -1.0 && p_packet.throttle <= 1.0);
    EXPECT_TRUE(p_packet.steering >= -1.0 && p_packet.steering <= 1.0);
    EXPECT_LE(p_packet.wind.length(), 2.0f + 1e-6f);
    EXPECT_TRUE(p_packet.ammo_count >= 0 && p_packet.ammo_count <= 2);
    EXPECT_TRUE(p_packet.weapon >= 0 && p_packet.weapon <= 255);
}

} // namespace

TEST_F(NetworkTest, RandomPacketsAreRefusedOrSound) {
    RigidBody3D *remote = add_remote_boat();
    ASSERT_NE(remote, nullptr);
    Variant motion_holder = instantiate("BoatMotion");
    Object *motion = motion_holder;
    ASSERT_NE(motion, nullptr);
    SeededBytes source(0x5EEDB0A7ull);
    int accepted = 0;
    for (int i = 0; i < INPUTS; ++i) {
        const PackedByteArray packet =
            next_packet(source, FRESH_BOAT_PACKET.data(), FRESH_BOAT_PACKET.size());
        brinewake::BoatPacket decoded;
        const bool ok = brinewake::decode_boat_packet(packet, decoded);
        if (ok) {
            ++accepted;
            expect_sound_packet(packet, decoded);
        }
        EXPECT_EQ(bool(remote->call("apply_network_packet", packet)), ok);
        const std::string problem = boat_problem(remote);
        ASSERT_TRUE(problem.empty()) << "input " << i << ": " << problem;

        EXPECT_EQ(bool(motion->call("set_from_packet", packet)), ok);
        motion->call("step", next_double(source), next_double(source), next_double(source));
        if (HasFailure()) {
            FAIL() << "input " << i;
        }
    }
    // The run must reach past the length check often enough to mean something.
    EXPECT_GT(accepted, INPUTS / 4);
}

TEST_F(NetworkTest, RandomStateDictionariesKeepTheBoatSound) {
    RigidBody3D *remote = add_remote_boat();
    ASSERT_NE(remote, nullptr);
    SeededBytes source(0xD1C7510Aull);
    for (int i = 0; i < INPUTS; ++i) {
        const Dictionary state = next_state(source);
        remote->call("apply_network_state", state);
        const std::string problem = boat_problem(remote);
        ASSERT_TRUE(problem.empty()) << "input " << i << ": " << problem;
    }
}

TEST(ReplicaPacketInput, RandomPacketsAreRefusedOrDecodedExactly) {
    SeededBytes source(0x2E711CA5ull);
    Array shots;
    Array items;
    int accepted = 0;
    int with_records = 0;
    for (int i = 0; i < INPUTS; ++i) {
        const PackedByteArray packet = next_replica_packet(source);
        const Array before_shots = shots;
        const Array before_items = items;
        const bool ok = brinewake::decode_replica_packet(packet, shots, items);
        const int64_t size = packet.size();
        const std::string problem = replica_decode_problem(size > 0 ? packet.ptr() : nullptr, size_t(size),
                                                           ok, shots, items, before_shots, before_items);
        ASSERT_TRUE(problem.empty()) << "input " << i << ": " << problem;
        if (ok) {
            ++accepted;
            with_records += shots.size() + items.size() > 0 ? 1 : 0;
        }
    }
    // The run must get whole records past the decoder often enough to mean something.
    EXPECT_GT(accepted, INPUTS / 10);
    EXPECT_GT(with_records, INPUTS / 20);
}

// Restored states of any shape, each followed by a few frames of flight among boats: what a restore
// keeps is finite and sendable, and nothing that flies afterwards puts a non-finite value into a boat
// or a pickup.
TEST_F(NetworkTest, RandomMatchStatesKeepTheCombatNodeSound) {
    add_remote_boat(Vector3(0.0f, 0.7f, 0.0f));
    add_boat(Vector3(3.0f, 0.7f, -2.0f));
    Node3D *combat = scene->weapon_system_with_boats();
    ASSERT_NE(combat, nullptr);
    SeededBytes source(0x3A7C057Aull);
    int kept = 0;
    for (int i = 0; i < MATCH_STATES; ++i) {
        combat->call("restore_match_state", next_match_state(source));
        kept += int(combat->call("get_projectile_count")) + int(Array(combat->call("get_pickups")).size());
        std::string problem = combat_problem(combat);
        ASSERT_TRUE(problem.empty()) << "input " << i << " as restored: " << problem;
        scene->step(1 + source.next() % 4);
        problem = pickup_problem(combat);
        for (size_t b = 0; b < scene->boat_count() && problem.empty(); ++b) {
            problem = struck_boat_problem(scene->boat(b));
            scene->boat(b)->call("reset_boat");
        }
        ASSERT_TRUE(problem.empty()) << "input " << i << " after flight: " << problem;
    }
    // Enough of the states must survive the restore to fly.
    EXPECT_GT(kept, MATCH_STATES);
}
