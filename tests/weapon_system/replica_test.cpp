// Replica mode through the script view: a node that mirrors a host instead of simulating, the packet
// between them, the stored arrays and the lead setting.
#include "combat_fixture.hpp"
#include "combat_state.hpp"

#include "rules/wave_field.hpp"

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <standin/error_capture.hpp>

#include <cstring>
#include <limits>
#include <vector>

using namespace godot;
using namespace brinewake_test;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytes_of(const PackedByteArray &p_packet) {
    return p_packet.size() > 0 ? Bytes(p_packet.ptr(), p_packet.ptr() + p_packet.size()) : Bytes();
}

PackedByteArray packet_of(const Bytes &p_bytes) {
    PackedByteArray packet;
    packet.resize(int64_t(p_bytes.size()));
    if (!p_bytes.empty()) {
        std::memcpy(packet.ptrw(), p_bytes.data(), p_bytes.size());
    }
    return packet;
}

float f32_at(const Bytes &p_bytes, size_t p_offset) {
    uint32_t bits = 0;
    for (size_t i = 0; i < 4; ++i) {
        bits |= uint32_t(p_bytes.at(p_offset + i)) << (8 * i);
    }
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

// A node created by class name, as a script creates it, and freed at the end of the scope.
struct OwnedNode {
    explicit OwnedNode(const char *p_class)
        : node(Object::cast_to<Node3D>(ClassDBSingleton::get_singleton()->instantiate(p_class))) {}
    ~OwnedNode() {
        if (node != nullptr) {
            memdelete(node);
        }
    }
    OwnedNode(const OwnedNode &) = delete;
    OwnedNode &operator=(const OwnedNode &) = delete;

    Node3D *node;
};

// One burning rocket, id 7 at (1, 2, 3), velocity (16, 0, 0), age 0.25 s.
const Bytes ROCKET_PACKET = {0x01, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                             0x00, 0x00, 0x01, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x40,
                             0x00, 0x00, 0x40, 0x40, 0x00, 0x00, 0x80, 0x41, 0x00, 0x00, 0x00,
                             0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3E};

TEST_F(CombatTest, AFreshNodeIsAHostWithNoLead) {
    Node3D *combat = node();
    EXPECT_EQ(combat->call("is_replica"), Variant(false));
    EXPECT_EQ(combat->call("get_replica_lead"), Variant(0.0));
    EXPECT_EQ(bytes_of(combat->call("get_replica_packet")), (Bytes{0, 0, 0, 0}));

    struct Case {
        double given;
        double stored;
    };
    const Case cases[] = {{0.25, 0.25},
                          {-0.1, -0.1},
                          {std::numeric_limits<double>::infinity(), 0.0},
                          {-std::numeric_limits<double>::infinity(), 0.0},
                          {std::numeric_limits<double>::quiet_NaN(), 0.0}};
    for (const Case &c : cases) {
        combat->call("set_replica_lead", 0.5);
        combat->call("set_replica_lead", c.given);
        EXPECT_EQ(combat->call("get_replica_lead"), Variant(c.stored)) << c.given;
    }
}

TEST_F(CombatTest, TheHostPacketCarriesProjectilesAndPickupsAtTheirDisplayHeight) {
    Boat *boat = add_boat(Vector3(0, 5, 0));
    boat->call("set_wave_time", 12.5);
    Node3D *combat = node();
    combat->set("pickup_hover", 0.5);
    Array shots;
    shots.push_back(shot_state(7, 0, Vector3(1, 2, 3), Vector3(16, 0, 0), 0.25));
    Array items;
    items.push_back(item_state(8, 101, Vector3(-6, 99, 4.5f), false, 3.0));
    combat->call("restore_match_state", match_state(9, shots, items));

    const Bytes packet = bytes_of(combat->call("get_replica_packet"));
    ASSERT_EQ(packet.size(), 4 + 38 + 22u);
    EXPECT_EQ(packet[2], 1);
    Bytes rocket = packet;
    rocket.resize(42);
    rocket[2] = 0;
    EXPECT_EQ(rocket, ROCKET_PACKET);
    const size_t item = 42;
    EXPECT_EQ(packet[item], 8);
    EXPECT_EQ(packet[item + 8], 101);
    EXPECT_EQ(packet[item + 9], 0) << "collected pickups are sent too";
    EXPECT_EQ(f32_at(packet, item + 10), -6.0f);
    EXPECT_EQ(f32_at(packet, item + 14), float(brinewake::wave_height(-6.0, 4.5, 12.5) + 0.5));
    EXPECT_EQ(f32_at(packet, item + 18), 4.5f);
    const Dictionary listed = Array(combat->call("get_pickups"))[0];
    EXPECT_EQ(f32_at(packet, item + 14), Vector3(listed["position"]).y) << "the height get_pickups reports";
}

TEST_F(CombatTest, AReplicaMirrorsTheHostsPacket) {
    Boat *boat = add_boat(Vector3(0, 5, 0));
    Node3D *host = node();
    host->call("add_pickup", 0, Vector3(3, 0, -3));
    boat->call("add_ammo", 0, 1);
    press(boat, 0);
    scene->step(2);
    press(boat, 1);
    scene->step(4);

    // A client's node, outside any tree: it needs no frames.
    const OwnedNode owned("WeaponSystem");
    Node3D *client = owned.node;
    ASSERT_NE(client, nullptr);
    client->call("set_replica", true);
    const PackedByteArray packet = host->call("get_replica_packet");
    ASSERT_EQ(client->call("set_replica_packet", packet), Variant(true));

    const Array shots = client->call("get_projectiles");
    const Array host_shots = host->call("get_projectiles");
    ASSERT_EQ(shots.size(), host_shots.size());
    for (int64_t i = 0; i < shots.size(); ++i) {
        const Dictionary mirrored = shots[i];
        const Dictionary original = host_shots[i];
        EXPECT_EQ(keys_of(mirrored),
                  (std::vector<std::string>{"id", "kind", "burning", "position", "velocity", "age"}));
        for (const char *key : {"id", "kind", "burning", "position", "velocity"}) {
            EXPECT_EQ(mirrored[key], original[key]) << key;
        }
        EXPECT_EQ(double(mirrored["age"]), double(float(double(original["age"]))));
    }
    const Array items = client->call("get_pickups");
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(keys_of(items[0]), (std::vector<std::string>{"id", "kind", "active", "position"}));
    EXPECT_EQ(Dictionary(items[0])["position"], Dictionary(Array(host->call("get_pickups"))[0])["position"]);

    // The stored arrays themselves, every time; the replica encodes them back to the same bytes.
    EXPECT_TRUE(Array(client->call("get_projectiles")).is_same_instance(shots));
    EXPECT_TRUE(Array(client->call("get_pickups")).is_same_instance(items));
    EXPECT_EQ(bytes_of(client->call("get_replica_packet")), bytes_of(packet));
    const Dictionary saved = client->call("save_match_state");
    EXPECT_TRUE(Array(saved["shots"]).is_same_instance(shots));
    EXPECT_EQ(Array(saved["items"]).size(), 0) << "a replica saves its own pickups";
    EXPECT_EQ(client->call("get_projectile_count"), Variant(int64_t(0)));

    // A refused packet leaves the mirror as it was; a host stores packets without reporting them.
    Bytes cut = bytes_of(packet);
    cut.pop_back();
    {
        standin::ErrorCapture capture;
        EXPECT_EQ(client->call("set_replica_packet", packet_of(cut)), Variant(false));
        EXPECT_TRUE(capture.errors().empty());
    }
    EXPECT_TRUE(Array(client->call("get_projectiles")).is_same_instance(shots));
    client->call("set_replica", false);
    EXPECT_EQ(Array(client->call("get_projectiles")).size(), 0);
    EXPECT_EQ(host->call("set_replica_packet", packet_of(ROCKET_PACKET)), Variant(true));
    EXPECT_EQ(Array(host->call("get_projectiles")), host_shots) << "a host keeps reporting its own";
}

TEST_F(CombatTest, StoredArraysAreSharedAndEncodedAsTheyStand) {
    Node3D *combat = node();
    Array shots;
    Array items;
    combat->call("set_replica_state", shots, items);
    combat->call("set_replica", true);
    shots.push_back(shot_state(7, 0, Vector3(1, 2, 3), Vector3(16, 0, 0), 0.25));
    EXPECT_TRUE(Array(combat->call("get_projectiles")).is_same_instance(shots));
    Dictionary first = shots[0];
    first["burning"] = true;
    EXPECT_EQ(bytes_of(combat->call("get_replica_packet")), ROCKET_PACKET)
        << "the script's later change counts";

    items.push_back(String("not a pickup"));
    const Bytes packet = bytes_of(combat->call("get_replica_packet"));
    ASSERT_EQ(packet.size(), 42 + 22u);
    EXPECT_EQ(Bytes(packet.begin() + 42, packet.end()), Bytes(22, 0)) << "every field at its default";
}

TEST_F(CombatTest, AReplicaSimulatesNothingAndResumesWhereItStopped) {
    Boat *boat = add_boat(Vector3(0, 5, 0));
    Node3D *combat = node();
    combat->call("add_pickup", 100, Vector3(40, 0, 40));
    Array items;
    items.push_back(item_state(1, 100, Vector3(40, 0, 40), false, 0.01));
    press(boat, 1);
    scene->step(7); // three jets out, 57 rounds left
    combat->call("restore_match_state",
                 match_state(4, Dictionary(combat->call("save_match_state"))["shots"], items));
    const Array before = combat->call("get_projectiles");
    ASSERT_EQ(before.size(), 3);
    const int64_t rounds = boat->call("get_ammo", 1);
    boat->call("set_trigger", false);

    combat->call("set_replica", true);
    log.clear();
    press(boat, 1);
    scene->step(120);
    EXPECT_TRUE(log.all().empty()) << "no signal from a replica's frames";
    EXPECT_EQ(int64_t(boat->call("get_ammo", 1)), rounds) << "no firing, no regeneration";
    EXPECT_EQ(combat->call("get_projectile_count"), Variant(int64_t(3)));

    combat->call("set_replica", false);
    EXPECT_EQ(Array(combat->call("get_projectiles")), before) << "the local lists wait where they were";
    scene->step();
    EXPECT_EQ(log.count("pickup_respawned"), 1u);
    const Array after = combat->call("get_projectiles");
    EXPECT_EQ(Dictionary(after[0])["age"], Variant(double(Dictionary(before[0])["age"]) + 1.0 / 60.0));
    scene->step(2);
    EXPECT_EQ(log.count("weapon_fired"), 1u) << "the cooldown left before the pause runs out now";
}

} // namespace
