// The replica packet: its bytes from host records and from stored dictionaries, the strict decoder,
// and round trips.
#include "network_support.hpp"

#include "combat/combat_records.hpp"
#include "net/replica_packet.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/vector3.hpp>
#include <standin/error_capture.hpp>

#include <cfloat>
#include <limits>
#include <string>
#include <vector>

using namespace godot;
using namespace brinewake;
using namespace brinewake_test;

namespace {

// A host with nothing in flight and nothing on the sea.
const Bytes EMPTY_PACKET = {0x00, 0x00, 0x00, 0x00};

// One burning rocket: id 7 at (1, 2, 3), velocity (16, 0, 0), age 0.25 s; no pickups.
const Bytes ROCKET_PACKET = {
    0x01, 0x00, 0x00, 0x00,                         // one shot, no items
    0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // id 7
    0x00, 0x01,                                     // kind 0, burning
    0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x40, // position 1, 2,
    0x00, 0x00, 0x40, 0x40,                         //          3
    0x00, 0x00, 0x80, 0x41, 0x00, 0x00, 0x00, 0x00, // velocity 16, 0,
    0x00, 0x00, 0x00, 0x00,                         //          0
    0x00, 0x00, 0x80, 0x3E,                         // age 0.25
};

// Two shots and two items: the records of match_projectiles() and match_pickups() below.
const Bytes MATCH_PACKET = {
    0x02, 0x00, 0x02, 0x00,                         // two shots, two items
    0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // shot id 3
    0x00, 0x01,                                     // rocket, burning
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3F, // position 0, 1,
    0x00, 0x00, 0x00, 0xC0,                         //          -2
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA0, 0x3F, // velocity 0, 1.25,
    0x00, 0x00, 0x80, 0xC1,                         //          -16
    0x00, 0x00, 0x00, 0x3F,                         // age 0.5
    0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // shot id 4
    0x01, 0x00,                                     // water cannon, not burning
    0x00, 0x00, 0xC0, 0xBF, 0x00, 0x00, 0x00, 0x3F, // position -1.5, 0.5,
    0x00, 0x00, 0x00, 0x40,                         //          2
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0xC0, // velocity 0, -4,
    0x00, 0x00, 0x00, 0x42,                         //          32
    0x00, 0x00, 0xA0, 0x3F,                         // age 1.25
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // item id 1
    0x00, 0x01,                                     // rocket ammunition, active
    0x00, 0x00, 0xA0, 0x40, 0x00, 0x00, 0x40, 0x3F, // position 5, 0.75,
    0x00, 0x00, 0x40, 0xC0,                         //          -3
    0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // item id 2
    0x64, 0x00,                                     // health, collected
    0x00, 0x00, 0x00, 0xC1, 0x00, 0x00, 0x80, 0xBE, // position -8, -0.25,
    0x00, 0x00, 0x20, 0x41,                         //          10
};

// Byte offsets of the float fields of MATCH_PACKET, shot records first.
std::vector<size_t> match_float_offsets() {
    std::vector<size_t> offsets;
    for (size_t record = 0; record < 2; ++record) {
        for (size_t field = 0; field < 7; ++field) {
            offsets.push_back(4 + 38 * record + 10 + 4 * field);
        }
    }
    for (size_t record = 0; record < 2; ++record) {
        for (size_t field = 0; field < 3; ++field) {
            offsets.push_back(4 + 76 + 22 * record + 10 + 4 * field);
        }
    }
    return offsets;
}
constexpr size_t MATCH_KIND_OFFSETS[] = {12, 50, 88, 110};

Projectile projectile(int64_t p_id, int32_t p_kind, Vec3d p_position, Vec3d p_velocity, double p_age) {
    Projectile shot;
    shot.id = p_id;
    shot.kind = p_kind;
    shot.position = p_position;
    shot.velocity = p_velocity;
    shot.age = p_age;
    shot.owner_id = 99; // never sent
    return shot;
}

Pickup pickup(int64_t p_id, int32_t p_kind, Vector3 p_anchor, bool p_active, double p_timer) {
    Pickup item;
    item.id = p_id;
    item.kind = p_kind;
    item.anchor = p_anchor;
    item.active = p_active;
    item.timer = p_timer;
    return item;
}

std::vector<Projectile> match_projectiles() {
    return {projectile(3, 0, {0.0, 1.0, -2.0}, {0.0, 1.25, -16.0}, 0.5),
            projectile(4, 1, {-1.5, 0.5, 2.0}, {0.0, -4.0, 32.0}, 1.25)};
}

// Anchor heights are stored but never sent: the display height replaces them.
std::vector<Pickup> match_pickups() {
    return {pickup(1, 0, Vector3(5.0f, 9.0f, -3.0f), true, 0.0),
            pickup(2, 100, Vector3(-8.0f, 40.0f, 10.0f), false, 12.5)};
}

float match_height(const Pickup &p_pickup) {
    return p_pickup.id == 1 ? 0.75f : -0.25f;
}

Bytes encode_host(const std::vector<Projectile> &p_projectiles, const std::vector<Pickup> &p_pickups) {
    return from_packed(encode_replica_packet(p_projectiles.data(), p_projectiles.size(), p_pickups.data(),
                                             p_pickups.size(), match_height));
}

bool decode(const Bytes &p_bytes, Array &r_shots, Array &r_items) {
    return decode_replica_packet(p_bytes.data(), p_bytes.size(), r_shots, r_items);
}

Dictionary shot_dictionary(int64_t p_id, int64_t p_kind, bool p_burning, Vector3 p_position,
                           Vector3 p_velocity, double p_age) {
    Dictionary shot;
    shot["id"] = p_id;
    shot["kind"] = p_kind;
    shot["burning"] = p_burning;
    shot["position"] = p_position;
    shot["velocity"] = p_velocity;
    shot["age"] = p_age;
    return shot;
}

Dictionary item_dictionary(int64_t p_id, int64_t p_kind, bool p_active, Vector3 p_position) {
    Dictionary item;
    item["id"] = p_id;
    item["kind"] = p_kind;
    item["active"] = p_active;
    item["position"] = p_position;
    return item;
}

// Same keys in the same order with equal values of the same types.
void expect_same_dictionary(const Dictionary &p_actual, const Dictionary &p_expected) {
    ASSERT_EQ(p_actual.keys(), p_expected.keys());
    for (int64_t i = 0; i < p_expected.size(); ++i) {
        const Variant key = p_expected.keys()[i];
        SCOPED_TRACE(String(key).utf8().get_data());
        EXPECT_EQ(p_actual[key].get_type(), p_expected[key].get_type());
        EXPECT_EQ(p_actual[key], p_expected[key]);
    }
}

void put_f32(Bytes &r_bytes, size_t p_offset, float p_value) {
    put_f32_le(r_bytes, p_offset, p_value);
}

void put_u16(Bytes &r_bytes, size_t p_offset, uint16_t p_value) {
    r_bytes.at(p_offset) = uint8_t(p_value & 0xFFu);
    r_bytes.at(p_offset + 1) = uint8_t(p_value >> 8);
}

uint32_t u32_at(const Bytes &p_bytes, size_t p_offset) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value |= uint32_t(p_bytes.at(p_offset + i)) << (8 * i);
    }
    return value;
}

float f32_at(const Bytes &p_bytes, size_t p_offset) {
    const uint32_t bits = u32_at(p_bytes, p_offset);
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

} // namespace

TEST(ReplicaPacketCodec, HostRecordsEncodeToTheGoldenBytes) {
    EXPECT_EQ(encode_host({}, {}), EMPTY_PACKET);
    EXPECT_EQ(encode_host({projectile(7, 0, {1.0, 2.0, 3.0}, {16.0, 0.0, 0.0}, 0.25)}, {}), ROCKET_PACKET);
    EXPECT_EQ(encode_host(match_projectiles(), match_pickups()), MATCH_PACKET);
}

TEST(ReplicaPacketCodec, HostFieldsFollowTheWireRules) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char *name;
        int32_t kind;
        double age;
        double position_x;
        uint8_t kind_byte;
        uint8_t burning_byte;
        float wire_position_x;
    };
    const Case cases[] = {
        {"rocket at launch", 0, 0.0, 0.0, 0, 1, 0.0f},
        {"rocket just before burn-out", 0, 0.6999999, 0.0, 0, 1, 0.0f},
        {"rocket at burn-out", 0, 0.7, 0.0, 0, 0, 0.0f},
        {"rocket with a negative age", 0, -1.0, 0.0, 0, 1, 0.0f},
        {"rocket with a NaN age", 0, nan, 0.0, 0, 0, 0.0f},
        {"water cannon never burns", 1, 0.0, 0.0, 1, 0, 0.0f},
        // Kinds that are not weapons never burn and never reach the catalogue.
        {"kind 2", 2, 0.0, 0.0, 2, 0, 0.0f},
        {"kind 100", 100, 0.0, 0.0, 100, 0, 0.0f},
        {"kind -1 sends its low byte", -1, 0.0, 0.0, 255, 0, 0.0f},
        {"kind 256 sends 0 but is no rocket", 256, 0.0, 0.0, 0, 0, 0.0f},
        {"kind INT32_MIN", std::numeric_limits<int32_t>::min(), 0.0, 0.0, 0, 0, 0.0f},
        {"position rounds to single", 1, 0.0, 0.1, 1, 0, 0.1f},
        {"position beyond the single range saturates", 1, 0.0, 1e300, 1, 0, FLT_MAX},
        {"and below it", 1, 0.0, -1e300, 1, 0, -FLT_MAX},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes bytes = encode_host({projectile(-2, c.kind, {c.position_x, 0.0, 0.0}, {}, c.age)}, {});
        ASSERT_EQ(bytes.size(), 42u);
        EXPECT_EQ(u32_at(bytes, 4), 0xFFFFFFFEu); // id -2, two's complement
        EXPECT_EQ(u32_at(bytes, 8), 0xFFFFFFFFu);
        EXPECT_EQ(bytes[12], c.kind_byte);
        EXPECT_EQ(bytes[13], c.burning_byte);
        EXPECT_EQ(f32_at(bytes, 14), c.wire_position_x);
    }
    EXPECT_TRUE(motor_burning(0, 0.69));
    EXPECT_FALSE(motor_burning(0, 0.7));
    EXPECT_FALSE(motor_burning(1, 0.0));
    EXPECT_FALSE(motor_burning(-1, 0.0));
}

TEST(ReplicaPacketCodec, ListsBeyondTheCountLimitSendTheirFirstRecords) {
    const size_t over = REPLICA_MAX_RECORDS + 1;
    std::vector<Projectile> projectiles(over);
    std::vector<Pickup> pickups(over + 1);
    for (size_t i = 0; i < projectiles.size(); ++i) {
        projectiles[i].id = int64_t(i);
    }
    for (size_t i = 0; i < pickups.size(); ++i) {
        pickups[i].id = int64_t(i);
    }
    const Bytes bytes = encode_host(projectiles, pickups);
    ASSERT_EQ(bytes.size(), 4 + (38 + 22) * REPLICA_MAX_RECORDS);
    EXPECT_EQ(u32_at(bytes, 0), 0xFFFFFFFFu);
    EXPECT_EQ(u32_at(bytes, 4 + 38 * (REPLICA_MAX_RECORDS - 1)), REPLICA_MAX_RECORDS - 1);
    EXPECT_EQ(u32_at(bytes, bytes.size() - 22), REPLICA_MAX_RECORDS - 1);

    // Stored arrays saturate the same way; elements that are not dictionaries send defaults.
    Array shots;
    shots.resize(int64_t(over));
    const Bytes from_arrays = from_packed(encode_replica_packet(shots, Array()));
    ASSERT_EQ(from_arrays.size(), 4 + 38 * REPLICA_MAX_RECORDS);
    EXPECT_EQ(u32_at(from_arrays, 0), 0x0000FFFFu);

    Array decoded_shots, decoded_items;
    ASSERT_TRUE(decode(bytes, decoded_shots, decoded_items));
    EXPECT_EQ(decoded_shots.size(), int64_t(REPLICA_MAX_RECORDS));
    EXPECT_EQ(decoded_items.size(), int64_t(REPLICA_MAX_RECORDS));
}

TEST(ReplicaPacketCodec, StoredDictionariesEncodeWithDefaults) {
    Dictionary full = shot_dictionary(7, 0, true, Vector3(1, 2, 3), Vector3(16, 0, 0), 0.25);
    Dictionary odd; // kind beyond a byte, age in double, an int where a float is expected
    odd["kind"] = int64_t(-255);
    odd["age"] = 0.1;
    odd["position"] = Vector3(0.5f, 0.0f, 0.0f);
    odd["unknown"] = String("ignored");
    Array shots;
    shots.push_back(full);
    shots.push_back(Dictionary());
    shots.push_back(String("not a dictionary"));
    shots.push_back(odd);
    Array items;
    items.push_back(item_dictionary(-3, 101, true, Vector3(-8, -0.25f, 10)));
    items.push_back(int64_t(12));

    const Bytes bytes = from_packed(encode_replica_packet(shots, items));
    ASSERT_EQ(bytes.size(), 4 + 4 * 38 + 2 * 22u);
    EXPECT_EQ(Bytes(bytes.begin() + 4, bytes.begin() + 42),
              Bytes(ROCKET_PACKET.begin() + 4, ROCKET_PACKET.end()));
    for (size_t record : {1u, 2u}) { // every field 0
        const size_t start = 4 + 38 * record;
        EXPECT_EQ(Bytes(bytes.begin() + long(start), bytes.begin() + long(start + 38)), Bytes(38, 0))
            << "record " << record;
    }
    const size_t odd_start = 4 + 38 * 3;
    EXPECT_EQ(u32_at(bytes, odd_start), 0u);
    EXPECT_EQ(bytes[odd_start + 8], 0x01); // -255 keeps its low byte
    EXPECT_EQ(bytes[odd_start + 9], 0x00);
    EXPECT_EQ(f32_at(bytes, odd_start + 10), 0.5f);
    EXPECT_EQ(f32_at(bytes, odd_start + 34), 0.1f);
    const size_t item_start = 4 + 38 * 4;
    EXPECT_EQ(u32_at(bytes, item_start), 0xFFFFFFFDu);
    EXPECT_EQ(u32_at(bytes, item_start + 4), 0xFFFFFFFFu);
    EXPECT_EQ(bytes[item_start + 8], 101);
    EXPECT_EQ(bytes[item_start + 9], 1);
    EXPECT_EQ(f32_at(bytes, item_start + 14), -0.25f);
    EXPECT_EQ(Bytes(bytes.end() - 22, bytes.end()), Bytes(22, 0));
    // Reading never adds keys to the stored dictionaries.
    EXPECT_EQ(Dictionary(shots[1]).size(), 0);
    EXPECT_EQ(odd.size(), 4);
}

TEST(ReplicaPacketCodec, DecodesIntoOrderedDictionaries) {
    Array shots, items;
    ASSERT_TRUE(decode(MATCH_PACKET, shots, items));
    ASSERT_EQ(shots.size(), 2);
    ASSERT_EQ(items.size(), 2);
    expect_same_dictionary(shots[0],
                           shot_dictionary(3, 0, true, Vector3(0, 1, -2), Vector3(0, 1.25f, -16), 0.5));
    expect_same_dictionary(shots[1],
                           shot_dictionary(4, 1, false, Vector3(-1.5f, 0.5f, 2), Vector3(0, -4, 32), 1.25));
    expect_same_dictionary(items[0], item_dictionary(1, 0, true, Vector3(5, 0.75f, -3)));
    expect_same_dictionary(items[1], item_dictionary(2, 100, false, Vector3(-8, -0.25f, 10)));

    ASSERT_TRUE(decode(EMPTY_PACKET, shots, items));
    EXPECT_EQ(shots.size(), 0);
    EXPECT_EQ(items.size(), 0);

    // The caller's arrays are replaced, not refilled: an Array a script still holds keeps its contents.
    Array held;
    held.push_back(int64_t(1));
    Array target = held;
    Array unused;
    ASSERT_TRUE(decode(ROCKET_PACKET, target, unused));
    EXPECT_FALSE(target.is_same_instance(held));
    EXPECT_EQ(held.size(), 1);
    expect_same_dictionary(target[0], shot_dictionary(7, 0, true, Vector3(1, 2, 3), Vector3(16, 0, 0), 0.25));
}

TEST(ReplicaPacketCodec, FlagAndKindBytesAreTakenAsTheyStand) {
    const size_t shot_flag = 13;
    const size_t item_flag = 4 + 76 + 9;
    for (int value = 0; value < 256; ++value) {
        SCOPED_TRACE(testing::Message() << "byte " << value);
        Bytes bytes = MATCH_PACKET;
        bytes[shot_flag] = uint8_t(value);
        bytes[item_flag] = uint8_t(value);
        for (size_t offset : MATCH_KIND_OFFSETS) {
            bytes[offset] = uint8_t(value);
        }
        Array shots, items;
        ASSERT_TRUE(decode(bytes, shots, items));
        EXPECT_EQ(Dictionary(shots[0])["burning"], Variant(value != 0));
        EXPECT_EQ(Dictionary(items[0])["active"], Variant(value != 0));
        for (const Array &list : {shots, items}) {
            for (int64_t i = 0; i < 2; ++i) {
                EXPECT_EQ(Dictionary(list[i])["kind"], Variant(int64_t(value)));
            }
        }
    }
}

TEST(ReplicaPacketCodec, RefusedPacketsLeaveTheStoredArraysAsTheyWere) {
    struct Case {
        std::string name;
        Bytes bytes;
    };
    std::vector<Case> cases;
    for (size_t size = 0; size < 4; ++size) {
        cases.push_back({std::to_string(size) + " zero bytes", Bytes(size, 0)});
        cases.push_back({std::to_string(size) + " bytes of the rocket packet",
                         Bytes(ROCKET_PACKET.begin(), ROCKET_PACKET.begin() + long(size))});
    }
    for (const Bytes *golden : {&ROCKET_PACKET, &MATCH_PACKET}) {
        const std::string name = golden == &ROCKET_PACKET ? "rocket packet" : "match packet";
        Bytes longer = *golden;
        longer.push_back(0);
        cases.push_back({name + " and one byte more", longer});
        cases.push_back({name + " less its last byte", Bytes(golden->begin(), golden->end() - 1)});
    }
    cases.push_back(
        {"match packet less its last item", Bytes(MATCH_PACKET.begin(), MATCH_PACKET.end() - 22)});
    const struct {
        const char *name;
        uint16_t shots;
        uint16_t items;
    } counts[] = {{"one shot too many", 3, 2},
                  {"one item too many", 2, 3},
                  {"one shot too few", 1, 2},
                  {"one item too few", 2, 1},
                  {"all the counts", 65535, 65535}};
    for (const auto &count : counts) {
        Bytes bytes = MATCH_PACKET;
        put_u16(bytes, 0, count.shots);
        put_u16(bytes, 2, count.items);
        cases.push_back({std::string("match packet, ") + count.name, bytes});
    }
    cases.push_back({"header alone promising a shot", Bytes{0x01, 0x00, 0x00, 0x00}});
    cases.push_back({"header alone promising an item", Bytes{0x00, 0x00, 0x01, 0x00}});
    const float bad_floats[] = {
        std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
        std::numeric_limits<float>::signaling_NaN(), std::numeric_limits<float>::infinity(),
        -std::numeric_limits<float>::infinity()};
    for (size_t offset : match_float_offsets()) {
        for (float bad : bad_floats) {
            Bytes bytes = MATCH_PACKET;
            put_f32(bytes, offset, bad);
            cases.push_back({"float at " + std::to_string(offset) + " = " + std::to_string(bad), bytes});
        }
    }

    Array stored_shots;
    stored_shots.push_back(shot_dictionary(1, 0, true, Vector3(), Vector3(), 0.0));
    Array stored_items;
    stored_items.push_back(item_dictionary(2, 101, false, Vector3()));
    const Array shots_before = stored_shots.duplicate(true);
    const Array items_before = stored_items.duplicate(true);
    standin::ErrorCapture capture;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Array shots = stored_shots;
        Array items = stored_items;
        EXPECT_FALSE(decode(c.bytes, shots, items));
        EXPECT_FALSE(decode_replica_packet(to_packed(c.bytes), shots, items));
        EXPECT_TRUE(shots.is_same_instance(stored_shots));
        EXPECT_TRUE(items.is_same_instance(stored_items));
    }
    EXPECT_EQ(stored_shots, shots_before);
    EXPECT_EQ(stored_items, items_before);
    EXPECT_TRUE(capture.errors().empty()) << capture.errors().front().error; // refusals report nothing
}

TEST(ReplicaPacketCodec, ExtremeFiniteFloatsAreAccepted) {
    for (size_t offset : match_float_offsets()) {
        for (float edge : {FLT_MAX, -FLT_MAX, FLT_TRUE_MIN, -0.0f}) {
            Bytes bytes = MATCH_PACKET;
            put_f32(bytes, offset, edge);
            Array shots, items;
            EXPECT_TRUE(decode(bytes, shots, items)) << "offset " << offset << " value " << edge;
        }
    }
}

TEST(ReplicaPacketCodec, DecodingThenEncodingGivesTheSameBytes) {
    Bytes odd_bytes = MATCH_PACKET; // any kind byte, extreme floats, flags 0 and 1
    odd_bytes[12] = 0xFF;
    odd_bytes[110] = 0xC8;
    put_f32(odd_bytes, 14, FLT_MAX);
    put_f32(odd_bytes, 4 + 76 + 14, -FLT_TRUE_MIN);
    for (const Bytes *golden :
         {&EMPTY_PACKET, &ROCKET_PACKET, &MATCH_PACKET, static_cast<const Bytes *>(&odd_bytes)}) {
        Array shots, items;
        ASSERT_TRUE(decode(*golden, shots, items));
        EXPECT_EQ(from_packed(encode_replica_packet(shots, items)), *golden);
    }
    // Any other non-zero flag byte comes back as 1.
    Bytes flags = MATCH_PACKET;
    flags[13] = 2;
    flags[4 + 76 + 9] = 0x80;
    Array shots, items;
    ASSERT_TRUE(decode(flags, shots, items));
    const Bytes again = from_packed(encode_replica_packet(shots, items));
    EXPECT_EQ(again, MATCH_PACKET);
}

TEST(ReplicaPacketCodec, NonFiniteHostValuesMakeAPacketEveryReplicaRefuses) {
    std::vector<Projectile> projectiles = match_projectiles();
    projectiles[1].velocity.y = std::numeric_limits<double>::infinity();
    const Bytes bytes = encode_host(projectiles, match_pickups());
    ASSERT_EQ(bytes.size(), MATCH_PACKET.size());
    Array shots, items;
    EXPECT_FALSE(decode(bytes, shots, items));
}
