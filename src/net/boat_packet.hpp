// The boat packet: one boat's state as 98 little-endian bytes, no header, no padding.
//
//   offset  type      content
//    0      f32 x3    position (global origin)
//   12      f32 x4    rotation quaternion x, y, z, w
//   28      f32 x3    linear velocity, m/s
//   40      f32 x3    angular velocity, rad/s
//   52      f32       health
//   56      f32       respawn time left, s
//   60      f32       speed boost time left, s
//   64      f32 x2    throttle, steering
//   72      f32 x2    wind x (world X), y (world Z)
//   80      f64       wave time, s
//   88      u8        selected weapon (low byte)
//   89      u8        ammunition entry count c (the encoder writes 2)
//   90      i32 x c   ammunition per kind; entries past the second are read and discarded
//
// A packet is accepted only when it is exactly 90 + 4 * c bytes long and every float is finite.
#pragma once

#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstddef>
#include <cstdint>

namespace brinewake {

inline constexpr size_t BOAT_PACKET_SIZE = 98;              // bytes, as the encoder writes it
inline constexpr size_t BOAT_PACKET_FIXED_SIZE = 90;        // bytes before the ammunition entries
inline constexpr float BOAT_PACKET_MIN_ROTATION_SQ = 0.25f; // shorter quaternions read as identity

// The decoded packet. Defaults: identity transform and zeros.
struct BoatPacket {
    godot::Transform3D transform;    // orthonormal basis from the rotation, origin from the position
    godot::Vector3 linear_velocity;  // m/s
    godot::Vector3 angular_velocity; // rad/s
    double health = 0.0;
    double respawn_remaining = 0.0;     // s
    double speed_boost_remaining = 0.0; // s
    double throttle = 0.0;              // [-1, 1]
    double steering = 0.0;              // [-1, 1]
    double wave_time = 0.0;             // s
    godot::Vector2 wind;                // length <= 2
    int32_t weapon = 0;                 // 0 to 255, as received
    int32_t ammo_count = 0;             // min(entry count, 2)
    int32_t ammo[2] = {0, 0};           // entries past ammo_count stay 0
};

// What the encoder reads from a boat, in the boat's own precision.
struct BoatPacketSource {
    godot::Transform3D transform; // global transform; any scale in the basis is dropped
    godot::Vector3 linear_velocity;
    godot::Vector3 angular_velocity;
    double health = 0.0;
    double respawn_remaining = 0.0;
    double speed_boost_remaining = 0.0;
    double throttle = 0.0;
    double steering = 0.0;
    godot::Vector2 wind;
    double wave_time = 0.0;
    int32_t selected_weapon = 0;
    int32_t ammo[2] = {0, 0};
};

// Writes exactly BOAT_PACKET_SIZE bytes to r_bytes.
void encode_boat_packet(const BoatPacketSource &p_source, uint8_t *r_bytes);

// Strict decoders. On true r_out holds the packet (fields not carried keep their defaults);
// on false r_out is left as it was.
bool decode_boat_packet(const uint8_t *p_bytes, size_t p_size, BoatPacket &r_out);
bool decode_boat_packet(const godot::PackedByteArray &p_packet, BoatPacket &r_out);

} // namespace brinewake
