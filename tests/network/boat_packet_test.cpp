// The boat packet: its bytes, the strict decoder and applying packets to remote boats.
#include "network_support.hpp"

#include "net/boat_packet.hpp"

#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/quaternion.hpp>
#include <godot_cpp/variant/transform3d.hpp>

#include <cfloat>
#include <cmath>
#include <limits>

using namespace godot;
using namespace brinewake;
using namespace brinewake_test;

namespace {

bool decode(const Bytes &p_bytes, BoatPacket &r_packet) {
    return decode_boat_packet(p_bytes.data(), p_bytes.size(), r_packet);
}

// A packet with c ammunition entries (1, 2, 3, ...) and the count byte set to p_count_byte.
Bytes packet_with_entries(int p_entries, int p_count_byte) {
    Bytes bytes(FRESH_BOAT_PACKET.begin(), FRESH_BOAT_PACKET.begin() + 90);
    bytes[ENTRY_COUNT_OFFSET] = uint8_t(p_count_byte);
    for (int i = 0; i < p_entries; ++i) {
        bytes.resize(bytes.size() + 4);
        put_u32_le(bytes, 90 + size_t(4 * i), uint32_t(i + 1));
    }
    return bytes;
}

void expect_orthonormal(const Basis &p_basis) {
    const Basis product = p_basis * p_basis.transposed();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            EXPECT_NEAR(product.rows[i][j], i == j ? 1.0f : 0.0f, 1e-6f) << "element " << i << j;
        }
    }
    EXPECT_NEAR(p_basis.determinant(), 1.0f, 1e-6f);
}

void expect_basis_near(const Basis &p_actual, const Basis &p_expected, float p_tolerance) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            EXPECT_NEAR(p_actual.rows[i][j], p_expected.rows[i][j], p_tolerance) << "element " << i << j;
        }
    }
}

} // namespace

TEST(BoatPacketCodec, FreshBoatDecodesToItsState) {
    BoatPacket packet;
    ASSERT_TRUE(decode(FRESH_BOAT_PACKET, packet));
    EXPECT_EQ(packet.transform, Transform3D());
    EXPECT_EQ(packet.health, 50.0);
    EXPECT_EQ(packet.weapon, 1);
    EXPECT_EQ(packet.ammo_count, 2);
    EXPECT_EQ(packet.ammo[0], 0);
    EXPECT_EQ(packet.ammo[1], 60);
    // The same bytes through the engine's byte array.
    BoatPacket from_array;
    EXPECT_TRUE(decode_boat_packet(to_packed(FRESH_BOAT_PACKET), from_array));
    EXPECT_EQ(from_array.transform, packet.transform);
    EXPECT_EQ(from_array.ammo[1], 60);
}

TEST(BoatPacketCodec, LengthMustMatchTheEntryCount) {
    struct Case {
        const char *name;
        Bytes bytes;
        bool accepted;
        int32_t ammo_count;
        int32_t ammo0;
        int32_t ammo1;
    };
    Bytes one_more = FRESH_BOAT_PACKET;
    one_more.push_back(0);
    const Bytes one_less(FRESH_BOAT_PACKET.begin(), FRESH_BOAT_PACKET.end() - 1);
    const Case cases[] = {
        {"98 bytes, 2 entries", packet_with_entries(2, 2), true, 2, 1, 2},
        {"94 bytes, 1 entry", packet_with_entries(1, 1), true, 1, 1, 0},
        {"90 bytes, 0 entries", packet_with_entries(0, 0), true, 0, 0, 0},
        {"102 bytes, 3 entries: the third is skipped", packet_with_entries(3, 3), true, 2, 1, 2},
        {"255 entries", packet_with_entries(255, 255), true, 2, 1, 2},
        {"one byte more", one_more, false, 0, 0, 0},
        {"one byte less", one_less, false, 0, 0, 0},
        {"94 bytes, count 2", packet_with_entries(1, 2), false, 0, 0, 0},
        {"98 bytes, count 1", packet_with_entries(2, 1), false, 0, 0, 0},
        {"98 bytes, count 3", packet_with_entries(2, 3), false, 0, 0, 0},
        {"102 bytes, count 2", packet_with_entries(3, 2), false, 0, 0, 0},
        {"90 bytes, count 255", packet_with_entries(0, 255), false, 0, 0, 0},
        {"89 bytes: no count", Bytes(FRESH_BOAT_PACKET.begin(), FRESH_BOAT_PACKET.begin() + 89), false, 0, 0,
         0},
        {"empty", Bytes(), false, 0, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        BoatPacket packet;
        ASSERT_EQ(decode(c.bytes, packet), c.accepted);
        EXPECT_EQ(decode_boat_packet(to_packed(c.bytes), packet), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(packet.ammo_count, c.ammo_count);
            EXPECT_EQ(packet.ammo[0], c.ammo0);
            EXPECT_EQ(packet.ammo[1], c.ammo1);
        }
    }
}

TEST(BoatPacketCodec, EveryFloatFieldMustBeFinite) {
    const float bad_singles[] = {
        std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::signaling_NaN(),
        -std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
        -std::numeric_limits<float>::infinity()};
    for (size_t offset : FLOAT_FIELD_OFFSETS) {
        for (float bad : bad_singles) {
            Bytes bytes = FRESH_BOAT_PACKET;
            put_f32_le(bytes, offset, bad);
            BoatPacket packet;
            EXPECT_FALSE(decode(bytes, packet)) << "offset " << offset << " value " << bad;
        }
        // The largest finite values are finite.
        for (float edge : {FLT_MAX, -FLT_MAX, FLT_TRUE_MIN}) {
            Bytes bytes = FRESH_BOAT_PACKET;
            put_f32_le(bytes, offset, edge);
            BoatPacket packet;
            EXPECT_TRUE(decode(bytes, packet)) << "offset " << offset << " value " << edge;
            EXPECT_TRUE(packet.transform.is_finite()) << "offset " << offset;
        }
    }
    const double bad_doubles[] = {std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity()};
    for (double bad : bad_doubles) {
        Bytes bytes = FRESH_BOAT_PACKET;
        put_f64_le(bytes, WAVE_TIME_OFFSET, bad);
        BoatPacket packet;
        EXPECT_FALSE(decode(bytes, packet)) << "wave time " << bad;
    }
    for (double edge : {DBL_MAX, -DBL_MAX}) {
        Bytes bytes = FRESH_BOAT_PACKET;
        put_f64_le(bytes, WAVE_TIME_OFFSET, edge);
        BoatPacket packet;
        ASSERT_TRUE(decode(bytes, packet)) << "wave time " << edge;
        EXPECT_EQ(packet.wave_time, edge);
    }
}

TEST(BoatPacketCodec, RefusedPacketLeavesTheRecordUntouched) {
    BoatPacket marker;
    marker.health = 7.0;
    marker.weapon = 42;
    marker.ammo_count = 1;
    marker.ammo[0] = 5;
    marker.transform.origin = Vector3(1.0f, 2.0f, 3.0f);
    // Fails only at the wave time, after every earlier field was read.
    Bytes bytes = FRESH_BOAT_PACKET;
    put_f64_le(bytes, WAVE_TIME_OFFSET, std::numeric_limits<double>::quiet_NaN());
    BoatPacket packet = marker;
    ASSERT_FALSE(decode(bytes, packet));
    EXPECT_EQ(packet.health, 7.0);
    EXPECT_EQ(packet.weapon, 42);
    EXPECT_EQ(packet.ammo_count, 1);
    EXPECT_EQ(packet.ammo[0], 5);
    EXPECT_EQ(packet.transform.origin, Vector3(1.0f, 2.0f, 3.0f));
    // Fails only on a trailing byte.
    Bytes trailing = FRESH_BOAT_PACKET;
    trailing.push_back(0);
    ASSERT_FALSE(decode(trailing, packet));
    EXPECT_EQ(packet.health, 7.0);
    EXPECT_EQ(packet.ammo[0], 5);
}

TEST(BoatPacketCodec, RotationIsNormalisedOrIdentity) {
    const float half = std::sqrt(0.5f);
    struct Case {
        Quaternion wire;
        Basis expected;
    };
    const Case cases[] = {
        {Quaternion(0.0f, 0.0f, 0.0f, 0.0f), Basis()},
        {Quaternion(0.1f, 0.1f, 0.1f, 0.1f), Basis()},
        {Quaternion(0.49f, 0.0f, 0.0f, 0.0f), Basis()},
        {Quaternion(0.0f, 0.0f, 0.0f, 2.0f), Basis()},
        {Quaternion(0.0f, 0.6f, 0.0f, 0.8f), Basis(Quaternion(0.0f, 0.6f, 0.0f, 0.8f))},
        // |q|^2 exactly 0.25 is long enough: half a turn about X.
        {Quaternion(0.5f, 0.0f, 0.0f, 0.0f), Basis(1.0f, 0.0f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f, -1.0f)},
        {Quaternion(0.0f, 0.0f, 3.0f, 0.0f), Basis(-1.0f, 0.0f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f, 1.0f)},
        // |q|^2 overflows single precision: still a quarter turn about X.
        {Quaternion(FLT_MAX, 0.0f, 0.0f, FLT_MAX), Basis(Quaternion(half, 0.0f, 0.0f, half))},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "q = " << c.wire.x << ", " << c.wire.y << ", " << c.wire.z << ", " << c.wire.w);
        Bytes bytes = FRESH_BOAT_PACKET;
        put_f32_le(bytes, 12, c.wire.x);
        put_f32_le(bytes, 16, c.wire.y);
        put_f32_le(bytes, 20, c.wire.z);
        put_f32_le(bytes, 24, c.wire.w);
        BoatPacket packet;
        ASSERT_TRUE(decode(bytes, packet));
        expect_basis_near(packet.transform.basis, c.expected, 1e-6f);
        expect_orthonormal(packet.transform.basis);
    }
}

TEST(BoatPacketCodec, ControlsAndWindAreLimited) {
    struct Case {
        float throttle, steering, wind_x, wind_y;
        double expected_throttle, expected_steering;
        Vector2 expected_wind;
    };
    const Case cases[] = {
        {3.5f, -0.25f, 3.0f, 4.0f, 1.0, -0.25, Vector2(1.2f, 1.6f)},
        {-7.0f, 2.0f, 1.0f, 1.0f, -1.0, 1.0, Vector2(1.0f, 1.0f)},
        {0.3f, -1.0f, 0.0f, -2.0f, double(0.3f), -1.0, Vector2(0.0f, -2.0f)},
        {FLT_MAX, -FLT_MAX, -3e38f, 0.0f, 1.0, -1.0, Vector2(-2.0f, 0.0f)},
        {0.0f, 0.0f, FLT_MAX, FLT_MAX, 0.0, 0.0, Vector2(std::sqrt(2.0f), std::sqrt(2.0f))},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "throttle " << c.throttle << " wind " << c.wind_x << ", " << c.wind_y);
        Bytes bytes = FRESH_BOAT_PACKET;
        put_f32_le(bytes, 64, c.throttle);
        put_f32_le(bytes, 68, c.steering);
        put_f32_le(bytes, 72, c.wind_x);
        put_f32_le(bytes, 76, c.wind_y);
        BoatPacket packet;
        ASSERT_TRUE(decode(bytes, packet));
        EXPECT_EQ(packet.throttle, c.expected_throttle);
        EXPECT_EQ(packet.steering, c.expected_steering);
        EXPECT_NEAR(packet.wind.x, c.expected_wind.x, 1e-6f);
        EXPECT_NEAR(packet.wind.y, c.expected_wind.y, 1e-6f);
    }
}

TEST(BoatPacketCodec, WeaponAndAmmunitionAreTakenAsIs) {
    Bytes bytes = FRESH_BOAT_PACKET;
    bytes[WEAPON_OFFSET] = 0xFF;
    put_u32_le(bytes, 90, 0xFFFFFFFFu);
    put_u32_le(bytes, 94, 0x80000000u);
    BoatPacket packet;
    ASSERT_TRUE(decode(bytes, packet));
    EXPECT_EQ(packet.weapon, 255);
    EXPECT_EQ(packet.ammo[0], -1);
    EXPECT_EQ(packet.ammo[1], std::numeric_limits<int32_t>::min());
}

TEST(BoatPacketCodec, EncodeDecodeRoundTrip) {
    struct Case {
        const char *name;
        Basis basis;
        bool exact_rotation;
    };
    const Case cases[] = {
        {"rotated", Basis(Vector3(0.3f, 0.8f, -0.2f).normalized(), 2.1f), false},
        {"scaled: the scale is not carried",
         Basis(Vector3(0.0f, 1.0f, 0.0f), 0.7f).scaled(Vector3(2, 3, 0.5f)), false},
        {"identity", Basis(), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        BoatPacketSource source;
        source.transform = Transform3D(c.basis, Vector3(12.5f, -0.375f, 1e5f + 0.125f));
        source.linear_velocity = Vector3(1.1f, -2.2f, 3.3f);
        source.angular_velocity = Vector3(-0.4f, 0.5f, 0.6f);
        source.health = 37.25;
        source.respawn_remaining = 0.1; // not a float: rounded
        source.speed_boost_remaining = 7.5;
        source.throttle = -0.75;
        source.steering = 0.5;
        source.wind = Vector2(-1.5f, 0.25f);
        source.wave_time = 1234.0000000001;
        source.selected_weapon = 0x100 + 1; // only the low byte travels
        source.ammo[0] = 6;
        source.ammo[1] = -3;
        Bytes bytes(BOAT_PACKET_SIZE + 1, 0xEE);
        encode_boat_packet(source, bytes.data());
        EXPECT_EQ(bytes[BOAT_PACKET_SIZE], 0xEE) << "wrote past the packet";
        bytes.pop_back();

        BoatPacket packet;
        ASSERT_TRUE(decode(bytes, packet));
        EXPECT_EQ(packet.transform.origin, source.transform.origin);
        const Basis rotation = c.basis.orthonormalized();
        if (c.exact_rotation) {
            EXPECT_EQ(packet.transform.basis, rotation);
        } else {
            expect_basis_near(packet.transform.basis, rotation, 2e-6f);
        }
        EXPECT_EQ(packet.linear_velocity, source.linear_velocity);
        EXPECT_EQ(packet.angular_velocity, source.angular_velocity);
        EXPECT_EQ(packet.health, 37.25);
        EXPECT_EQ(packet.respawn_remaining, double(0.1f));
        EXPECT_EQ(packet.speed_boost_remaining, 7.5);
        EXPECT_EQ(packet.throttle, -0.75);
        EXPECT_EQ(packet.steering, 0.5);
        EXPECT_EQ(packet.wind, source.wind);
        EXPECT_EQ(packet.wave_time, source.wave_time);
        EXPECT_EQ(packet.weapon, 1);
        EXPECT_EQ(packet.ammo_count, 2);
        EXPECT_EQ(packet.ammo[0], 6);
        EXPECT_EQ(packet.ammo[1], -3);
    }
}

TEST(BoatPacketCodec, MirroredBasisTravelsAsARotation) {
    BoatPacketSource source;
    source.transform.basis = Basis(-1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f);
    Bytes bytes(BOAT_PACKET_SIZE);
    encode_boat_packet(source, bytes.data());
    BoatPacket packet;
    ASSERT_TRUE(decode(bytes, packet));
    expect_orthonormal(packet.transform.basis);
}

TEST(BoatPacketCodec, HugeTimersStayDecodable) {
    // Doubles beyond the single range saturate rather than turning into infinities the decoder refuses.
    BoatPacketSource source;
    source.health = 50.0;
    source.respawn_remaining = 1e300;
    source.speed_boost_remaining = 1e39;
    Bytes bytes(BOAT_PACKET_SIZE);
    encode_boat_packet(source, bytes.data());
    BoatPacket packet;
    ASSERT_TRUE(decode(bytes, packet));
    EXPECT_EQ(packet.respawn_remaining, double(FLT_MAX));
    EXPECT_EQ(packet.speed_boost_remaining, double(FLT_MAX));
    // Non-finite values still make the packet invalid.
    source.respawn_remaining = std::numeric_limits<double>::infinity();
    encode_boat_packet(source, bytes.data());
    EXPECT_FALSE(decode(bytes, packet));
}

// ----- the boat's packet methods, through the script interface -----

TEST_F(NetworkTest, FreshBoatEncodesToTheGoldenBytes) {
    RigidBody3D *boat = add_boat(Vector3(0.0f, 0.0f, 0.0f));
    ASSERT_NE(boat, nullptr);
    ASSERT_EQ(boat->get_global_transform(), Transform3D());
    const PackedByteArray packet = boat->call("get_network_packet");
    EXPECT_EQ(from_packed(packet), FRESH_BOAT_PACKET);
}

TEST_F(NetworkTest, BoatPacketRoundTripKeepsPositionExactly) {
    RigidBody3D *boat = add_boat(Vector3(3.25f, 0.7f, -8.5f));
    ASSERT_NE(boat, nullptr);
    boat->call("set_controls", 0.5, -0.25);
    boat->call("set_wind", Vector2(1.0f, -0.5f));
    scene->step(30);
    const Transform3D pose = boat->get_global_transform();
    BoatPacket packet;
    ASSERT_TRUE(decode_boat_packet(PackedByteArray(boat->call("get_network_packet")), packet));
    EXPECT_EQ(packet.transform.origin, pose.origin);
    expect_basis_near(packet.transform.basis, pose.basis.orthonormalized(), 2e-6f);
    EXPECT_EQ(packet.linear_velocity, boat->get_linear_velocity());
    EXPECT_EQ(packet.angular_velocity, boat->get_angular_velocity());
    EXPECT_EQ(packet.throttle, 0.5);
    EXPECT_EQ(packet.steering, -0.25);
    EXPECT_EQ(packet.wind, Vector2(1.0f, -0.5f));
    EXPECT_EQ(packet.wave_time, double(boat->call("get_wave_time")));
}

TEST_F(NetworkTest, PacketAppliesToAFrozenBoat) {
    RigidBody3D *sender = add_boat(Vector3(5.0f, 0.7f, 5.0f));
    RigidBody3D *remote = add_remote_boat();
    ASSERT_NE(sender, nullptr);
    ASSERT_NE(remote, nullptr);
    sender->call("add_ammo", 0, 4);
    sender->call("select_weapon", 0);
    sender->call("activate_speed_boost");
    sender->call("apply_damage", 12.5);
    sender->set_linear_velocity(Vector3(1.0f, 0.0f, -2.0f));
    const Transform3D remote_pose = remote->get_global_transform();

    EXPECT_TRUE(bool(remote->call("apply_network_packet", sender->call("get_network_packet"))));
    EXPECT_EQ(double(remote->call("get_health")), 37.5);
    EXPECT_EQ(double(remote->call("get_speed_boost_remaining")), 8.0);
    EXPECT_EQ(int64_t(remote->call("get_selected_weapon")), 0);
    EXPECT_EQ(int64_t(remote->call("get_ammo", 0)), 4);
    EXPECT_EQ(int64_t(remote->call("get_ammo", 1)), 60);
    EXPECT_EQ(remote->get_linear_velocity(), Vector3(1.0f, 0.0f, -2.0f));
    // Both alive: the pose and the wave clock stay the remote's own.
    EXPECT_EQ(remote->get_global_transform(), remote_pose);
    EXPECT_EQ(double(remote->call("get_wave_time")), 0.0);
}

TEST_F(NetworkTest, PacketEdgeCasesOnARemoteBoat) {
    RigidBody3D *remote = add_remote_boat();
    ASSERT_NE(remote, nullptr);

    // Weapon byte 7 keeps the selection; it is still applied otherwise.
    Bytes weapon_seven = FRESH_BOAT_PACKET;
    weapon_seven[WEAPON_OFFSET] = 7;
    put_f32_le(weapon_seven, 52, 20.0f);
    EXPECT_TRUE(bool(remote->call("apply_network_packet", to_packed(weapon_seven))));
    EXPECT_EQ(int64_t(remote->call("get_selected_weapon")), 1);
    EXPECT_EQ(double(remote->call("get_health")), 20.0);

    // No entries: the ammunition stays.
    remote->call("add_ammo", 0, 3);
    Bytes no_ammo(FRESH_BOAT_PACKET.begin(), FRESH_BOAT_PACKET.begin() + 90);
    no_ammo[ENTRY_COUNT_OFFSET] = 0;
    EXPECT_TRUE(bool(remote->call("apply_network_packet", to_packed(no_ammo))));
    EXPECT_EQ(int64_t(remote->call("get_ammo", 0)), 3);
    EXPECT_EQ(int64_t(remote->call("get_ammo", 1)), 60);

    // A refused packet changes nothing.
    Bytes broken = FRESH_BOAT_PACKET;
    put_f32_le(broken, 52, 1.0f);
    put_f32_le(broken, 76, std::numeric_limits<float>::infinity());
    EXPECT_FALSE(bool(remote->call("apply_network_packet", to_packed(broken))));
    EXPECT_EQ(double(remote->call("get_health")), 50.0);
    EXPECT_FALSE(bool(remote->call("apply_network_packet", PackedByteArray())));
}

TEST_F(NetworkTest, UnfrozenBoatRefusesEveryPacket) {
    RigidBody3D *boat = add_boat();
    ASSERT_NE(boat, nullptr);
    Bytes damaged = FRESH_BOAT_PACKET;
    put_f32_le(damaged, 52, 10.0f);
    EXPECT_FALSE(bool(boat->call("apply_network_packet", to_packed(damaged))));
    EXPECT_EQ(double(boat->call("get_health")), 50.0);
}

TEST_F(NetworkTest, PacketCarriesDestructionAndRespawn) {
    RigidBody3D *sender = add_boat(Vector3(4.0f, 0.7f, -3.0f));
    RigidBody3D *remote = add_remote_boat();
    ASSERT_NE(sender, nullptr);
    ASSERT_NE(remote, nullptr);
    standin::SignalRecorder destroyed(remote, "destroyed");
    standin::SignalRecorder respawned(remote, "respawned");

    sender->call("apply_damage", 100.0);
    EXPECT_TRUE(bool(remote->call("apply_network_packet", sender->call("get_network_packet"))));
    EXPECT_EQ(destroyed.count(), 1u);
    EXPECT_EQ(double(remote->call("get_respawn_remaining")), 5.0);
    EXPECT_EQ(remote->get_global_transform().origin, sender->get_global_transform().origin);
    EXPECT_EQ(remote->get_collision_layer(), 0u);

    // The same state again: no second signal.
    EXPECT_TRUE(bool(remote->call("apply_network_packet", sender->call("get_network_packet"))));
    EXPECT_EQ(destroyed.count(), 1u);

    RigidBody3D *alive = add_boat(Vector3(-6.0f, 0.7f, 2.0f));
    ASSERT_NE(alive, nullptr);
    EXPECT_TRUE(bool(remote->call("apply_network_packet", alive->call("get_network_packet"))));
    EXPECT_EQ(respawned.count(), 1u);
    EXPECT_EQ(remote->get_global_transform().origin, Vector3(-6.0f, 0.7f, 2.0f));
    EXPECT_EQ(remote->get_collision_layer(), 1u);
    EXPECT_EQ(remote->get_collision_mask(), 1u);
}
