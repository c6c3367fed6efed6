// The replica packet: the combat node's projectiles and pickups as little-endian records, no header
// beyond two counts, no padding.
//
//   offset          type    content
//    0              u16     S, shot records (at most 65535; a longer list sends its first 65535)
//    2              u16     I, item records (likewise)
//    4              38 * S  shot records:  i64 id, u8 kind (low byte), u8 burning (0/1),
//                                          f32 x3 position (m), f32 x3 velocity (m/s), f32 age (s)
//    4 + 38 * S     22 * I  item records:  i64 id, u8 kind (low byte), u8 active (0/1),
//                                          f32 x3 position (anchor x, display height, anchor z; m)
//
// A packet is accepted only when it is exactly 4 + 38 * S + 22 * I bytes long and every float is
// finite; any non-zero flag byte reads as true and every kind byte is accepted as it stands.
#pragma once

#include "combat/combat_records.hpp"
#include "combat/flight.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>

#include <cstddef>
#include <cstdint>

namespace brinewake {

inline constexpr size_t REPLICA_HEADER_SIZE = 4;     // bytes
inline constexpr size_t REPLICA_SHOT_SIZE = 38;      // bytes per shot record
inline constexpr size_t REPLICA_ITEM_SIZE = 22;      // bytes per item record
inline constexpr size_t REPLICA_MAX_RECORDS = 65535; // per list

// The display height (m) of a pickup, as the node computes it: the sea under the anchor plus the hover.
using PickupHeightFn = float (*)(const void *p_context, const Pickup &p_pickup);

// Host side: the first 65535 projectiles and pickups of the node's own lists. Positions, velocities
// and ages are rounded to single precision; p_height gives each item's y.
godot::PackedByteArray encode_replica_packet(const Projectile *p_projectiles, size_t p_projectile_count,
                                             const Pickup *p_pickups, size_t p_pickup_count,
                                             PickupHeightFn p_height, const void *p_context);

// The same with any callable `float (const Pickup &)` for the height (taken by value, so that a plain
// function decays to a pointer).
template <typename HeightOf>
godot::PackedByteArray encode_replica_packet(const Projectile *p_projectiles, size_t p_projectile_count,
                                             const Pickup *p_pickups, size_t p_pickup_count,
                                             HeightOf p_height_of) {
    return encode_replica_packet(
        p_projectiles, p_projectile_count, p_pickups, p_pickup_count,
        [](const void *p_context, const Pickup &p_pickup) -> float {
            return (*static_cast<const HeightOf *>(p_context))(p_pickup);
        },
        &p_height_of);
}

// Replica side: the stored shot and item dictionaries as they stand. Absent keys read as 0, false or
// the zero vector; an element that is not a dictionary reads as one with no keys.
godot::PackedByteArray encode_replica_packet(const godot::Array &p_shots, const godot::Array &p_items);

// Strict decoder. On true r_shots and r_items are replaced by new Arrays of new dictionaries, keyed
// "id", "kind", "burning", "position", "velocity", "age" and "id", "kind", "active", "position" in
// that order; on false both are left exactly as they were.
bool decode_replica_packet(const uint8_t *p_bytes, size_t p_size, godot::Array &r_shots,
                           godot::Array &r_items);
bool decode_replica_packet(const godot::PackedByteArray &p_packet, godot::Array &r_shots,
                           godot::Array &r_items);

} // namespace brinewake
