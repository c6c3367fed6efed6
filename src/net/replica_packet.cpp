#include "net/replica_packet.hpp"

#include "net/byte_io.hpp"
#include "net/combat_keys.hpp"
#include "rules/numeric.hpp"
#include "rules/weapon_catalog.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3.hpp>

namespace brinewake {

namespace {

// The records as they travel, one member per wire field.
struct PacketCounts {
    uint16_t shots = 0;
    uint16_t items = 0;
};

struct ShotRecord {
    int64_t id = 0;
    uint8_t kind = 0;
    uint8_t burning = 0;
    float position[3] = {0.0f, 0.0f, 0.0f}; // m
    float velocity[3] = {0.0f, 0.0f, 0.0f}; // m/s
    float age = 0.0f;                       // s
};

struct ItemRecord {
    int64_t id = 0;
    uint8_t kind = 0;
    uint8_t active = 0;
    float position[3] = {0.0f, 0.0f, 0.0f}; // m
};

// The layout, written down once: every field in wire order. The writer, the reader and the size count
// below all walk these same lists, so the three cannot disagree.
template <typename Wire> constexpr bool transfer_counts(Wire &p_wire, PacketCounts &r_counts) {
    return p_wire.field(r_counts.shots) && p_wire.field(r_counts.items);
}

template <typename Wire> constexpr bool transfer_vector(Wire &p_wire, float (&r_vector)[3]) {
    return p_wire.field(r_vector[0]) && p_wire.field(r_vector[1]) && p_wire.field(r_vector[2]);
}

template <typename Wire> constexpr bool transfer_shot(Wire &p_wire, ShotRecord &r_shot) {
    return p_wire.field(r_shot.id) && p_wire.field(r_shot.kind) && p_wire.field(r_shot.burning) &&
           transfer_vector(p_wire, r_shot.position) && transfer_vector(p_wire, r_shot.velocity) &&
           p_wire.field(r_shot.age);
}

template <typename Wire> constexpr bool transfer_item(Wire &p_wire, ItemRecord &r_item) {
    return p_wire.field(r_item.id) && p_wire.field(r_item.kind) && p_wire.field(r_item.active) &&
           transfer_vector(p_wire, r_item.position);
}

// Adds up the field widths, at compile time.
struct WireSize {
    size_t bytes = 0;
    constexpr bool field(uint8_t &) { return add(1); }
    constexpr bool field(uint16_t &) { return add(2); }
    constexpr bool field(int64_t &) { return add(8); }
    constexpr bool field(float &) { return add(4); }
    constexpr bool add(size_t p_bytes) {
        bytes += p_bytes;
        return true;
    }
};

template <typename Record, bool (*Transfer)(WireSize &, Record &)> constexpr size_t wire_size() {
    WireSize size;
    Record record;
    Transfer(size, record);
    return size.bytes;
}

static_assert(wire_size<PacketCounts, transfer_counts<WireSize>>() == REPLICA_HEADER_SIZE);
static_assert(wire_size<ShotRecord, transfer_shot<WireSize>>() == REPLICA_SHOT_SIZE);
static_assert(wire_size<ItemRecord, transfer_item<WireSize>>() == REPLICA_ITEM_SIZE);

class WireWriter {
public:
    explicit WireWriter(uint8_t *p_bytes) : out(p_bytes) {}
    bool field(const uint8_t &p_value) {
        out.put_u8(p_value);
        return true;
    }
    bool field(const uint16_t &p_value) {
        out.put_u16(p_value);
        return true;
    }
    bool field(const int64_t &p_value) {
        out.put_i64(p_value);
        return true;
    }
    bool field(const float &p_value) {
        out.put_f32(p_value);
        return true;
    }

private:
    ByteWriter out;
};

// Every float must be finite; the first failing field fails the rest.
class WireReader {
public:
    explicit WireReader(ByteReader &p_in) : in(p_in) {}
    bool field(uint8_t &r_value) { return in.read_u8(r_value); }
    bool field(uint16_t &r_value) { return in.read_u16(r_value); }
    bool field(int64_t &r_value) { return in.read_i64(r_value); }
    bool field(float &r_value) { return in.read_finite_f32(r_value); }

private:
    ByteReader &in;
};

size_t capped(size_t p_count) {
    return p_count < REPLICA_MAX_RECORDS ? p_count : REPLICA_MAX_RECORDS;
}

size_t packet_size(size_t p_shots, size_t p_items) {
    return REPLICA_HEADER_SIZE + REPLICA_SHOT_SIZE * p_shots + REPLICA_ITEM_SIZE * p_items;
}

// The low 8 bits of a kind, whatever its sign.
uint8_t kind_byte(int64_t p_kind) {
    return static_cast<uint8_t>(static_cast<uint64_t>(p_kind) & 0xFFu);
}

void set_vector(float (&r_vector)[3], const godot::Vector3 &p_value) {
    r_vector[0] = p_value.x;
    r_vector[1] = p_value.y;
    r_vector[2] = p_value.z;
}

void set_vector(float (&r_vector)[3], const Vec3d &p_value) {
    r_vector[0] = round_to_single(p_value.x);
    r_vector[1] = round_to_single(p_value.y);
    r_vector[2] = round_to_single(p_value.z);
}

godot::Vector3 to_vector3(const float (&p_vector)[3]) {
    return godot::Vector3(p_vector[0], p_vector[1], p_vector[2]);
}

// Sizes the packet once, writes the counts, then every record that p_shot and p_item fill in.
template <typename FillShot, typename FillItem>
godot::PackedByteArray write_packet(size_t p_shots, size_t p_items, const FillShot &p_shot,
                                    const FillItem &p_item) {
    PacketCounts counts;
    counts.shots = static_cast<uint16_t>(capped(p_shots));
    counts.items = static_cast<uint16_t>(capped(p_items));
    godot::PackedByteArray packet;
    packet.resize(static_cast<int64_t>(packet_size(counts.shots, counts.items)));
    WireWriter out(packet.ptrw());
    transfer_counts(out, counts);
    for (size_t i = 0; i < counts.shots; ++i) {
        ShotRecord record;
        p_shot(i, record);
        transfer_shot(out, record);
    }
    for (size_t i = 0; i < counts.items; ++i) {
        ItemRecord record;
        p_item(i, record);
        transfer_item(out, record);
    }
    return packet;
}

godot::Dictionary shot_dictionary(const ShotRecord &p_shot, const CombatKeys &p_keys) {
    godot::Dictionary shot;
    shot[p_keys.id] = p_shot.id;
    shot[p_keys.kind] = int64_t(p_shot.kind);
    shot[p_keys.burning] = p_shot.burning != 0;
    shot[p_keys.position] = to_vector3(p_shot.position);
    shot[p_keys.velocity] = to_vector3(p_shot.velocity);
    shot[p_keys.age] = double(p_shot.age);
    return shot;
}

godot::Dictionary item_dictionary(const ItemRecord &p_item, const CombatKeys &p_keys) {
    godot::Dictionary item;
    item[p_keys.id] = p_item.id;
    item[p_keys.kind] = int64_t(p_item.kind);
    item[p_keys.active] = p_item.active != 0;
    item[p_keys.position] = to_vector3(p_item.position);
    return item;
}

} // namespace

godot::PackedByteArray encode_replica_packet(const Projectile *p_projectiles, size_t p_projectile_count,
                                             const Pickup *p_pickups, size_t p_pickup_count,
                                             PickupHeightFn p_height, const void *p_context) {
    const size_t shots = p_projectiles != nullptr ? p_projectile_count : 0;
    const size_t items = p_pickups != nullptr && p_height != nullptr ? p_pickup_count : 0;
    return write_packet(
        shots, items,
        [p_projectiles](size_t p_index, ShotRecord &r_shot) {
            const Projectile &projectile = p_projectiles[p_index];
            r_shot.id = projectile.id;
            r_shot.kind = kind_byte(projectile.kind);
            r_shot.burning = motor_burning(projectile.kind, projectile.age) ? 1 : 0;
            set_vector(r_shot.position, projectile.position);
            set_vector(r_shot.velocity, projectile.velocity);
            r_shot.age = round_to_single(projectile.age);
        },
        [p_pickups, p_height, p_context](size_t p_index, ItemRecord &r_item) {
            const Pickup &pickup = p_pickups[p_index];
            r_item.id = pickup.id;
            r_item.kind = kind_byte(pickup.kind);
            r_item.active = pickup.active ? 1 : 0;
            r_item.position[0] = pickup.anchor.x;
            r_item.position[1] = p_height(p_context, pickup);
            r_item.position[2] = pickup.anchor.z;
        });
}

godot::PackedByteArray encode_replica_packet(const godot::Array &p_shots, const godot::Array &p_items) {
    const CombatKeys keys;
    return write_packet(
        static_cast<size_t>(p_shots.size()), static_cast<size_t>(p_items.size()),
        [&p_shots, &keys](size_t p_index, ShotRecord &r_shot) {
            const godot::Dictionary shot = p_shots[static_cast<int64_t>(p_index)];
            r_shot.id = int64_t(shot.get(keys.id, keys.zero_integer));
            r_shot.kind = kind_byte(int64_t(shot.get(keys.kind, keys.zero_integer)));
            r_shot.burning = bool(shot.get(keys.burning, keys.no_flag)) ? 1 : 0;
            set_vector(r_shot.position, godot::Vector3(shot.get(keys.position, keys.zero_vector)));
            set_vector(r_shot.velocity, godot::Vector3(shot.get(keys.velocity, keys.zero_vector)));
            r_shot.age = round_to_single(double(shot.get(keys.age, keys.zero_float)));
        },
        [&p_items, &keys](size_t p_index, ItemRecord &r_item) {
            const godot::Dictionary item = p_items[static_cast<int64_t>(p_index)];
            r_item.id = int64_t(item.get(keys.id, keys.zero_integer));
            r_item.kind = kind_byte(int64_t(item.get(keys.kind, keys.zero_integer)));
            r_item.active = bool(item.get(keys.active, keys.no_flag)) ? 1 : 0;
            set_vector(r_item.position, godot::Vector3(item.get(keys.position, keys.zero_vector)));
        });
}

bool decode_replica_packet(const uint8_t *p_bytes, size_t p_size, godot::Array &r_shots,
                           godot::Array &r_items) {
    if (p_bytes == nullptr || p_size < REPLICA_HEADER_SIZE) {
        return false;
    }
    ByteReader in(p_bytes, p_size);
    WireReader wire(in);
    PacketCounts counts;
    transfer_counts(wire, counts);
    // The records have fixed sizes, so a cut record or trailing bytes show in the length alone; no
    // list is built for counts that the bytes cannot hold.
    if (p_size != packet_size(counts.shots, counts.items)) {
        return false;
    }
    const CombatKeys keys;
    godot::Array shots;
    shots.resize(counts.shots);
    for (int64_t i = 0; i < counts.shots; ++i) {
        ShotRecord record;
        if (!transfer_shot(wire, record)) {
            return false;
        }
        shots[i] = shot_dictionary(record, keys);
    }
    godot::Array items;
    items.resize(counts.items);
    for (int64_t i = 0; i < counts.items; ++i) {
        ItemRecord record;
        if (!transfer_item(wire, record)) {
            return false;
        }
        items[i] = item_dictionary(record, keys);
    }
    if (!in.consumed_exactly()) {
        return false;
    }
    r_shots = shots;
    r_items = items;
    return true;
}

bool decode_replica_packet(const godot::PackedByteArray &p_packet, godot::Array &r_shots,
                           godot::Array &r_items) {
    const int64_t size = p_packet.size();
    if (size < static_cast<int64_t>(REPLICA_HEADER_SIZE)) {
        return false;
    }
    return decode_replica_packet(p_packet.ptr(), static_cast<size_t>(size), r_shots, r_items);
}

} // namespace brinewake
