#include "net/boat_packet.hpp"

#include "net/byte_io.hpp"
#include "rules/controls.hpp"

#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/quaternion.hpp>

#include <cmath>

namespace brinewake {

namespace {

constexpr uint8_t ENCODED_AMMO_ENTRIES = 2;

float largest_magnitude(float p_a, float p_b) {
    const float a = std::fabs(p_a);
    const float b = std::fabs(p_b);
    return a > b ? a : b;
}

// The received rotation as a unit quaternion: too short (|q|^2 < 0.25) reads as identity, anything
// else is divided by its length. A quaternion whose squared length overflows single precision is
// first scaled by its largest component, so that it still normalises instead of collapsing to zero.
godot::Quaternion received_rotation(float p_x, float p_y, float p_z, float p_w) {
    float length_sq = p_x * p_x + p_y * p_y + p_z * p_z + p_w * p_w;
    if (length_sq < BOAT_PACKET_MIN_ROTATION_SQ) {
        return godot::Quaternion(0.0f, 0.0f, 0.0f, 1.0f);
    }
    if (!is_finite_single(length_sq)) {
        const float scale = largest_magnitude(largest_magnitude(p_x, p_y), largest_magnitude(p_z, p_w));
        p_x /= scale;
        p_y /= scale;
        p_z /= scale;
        p_w /= scale;
        length_sq = p_x * p_x + p_y * p_y + p_z * p_z + p_w * p_w;
    }
    const float length = std::sqrt(length_sq);
    return godot::Quaternion(p_x / length, p_y / length, p_z / length, p_w / length);
}

bool read_vector3(ByteReader &p_in, godot::Vector3 &r_value) {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    if (!(p_in.read_finite_f32(x) && p_in.read_finite_f32(y) && p_in.read_finite_f32(z))) {
        return false;
    }
    r_value = godot::Vector3(x, y, z);
    return true;
}

bool read_widened(ByteReader &p_in, double &r_value) {
    float value = 0.0f;
    if (!p_in.read_finite_f32(value)) {
        return false;
    }
    r_value = static_cast<double>(value);
    return true;
}

bool read_control(ByteReader &p_in, double &r_value) {
    float value = 0.0f;
    if (!p_in.read_finite_f32(value)) {
        return false;
    }
    r_value = clamp_control(static_cast<double>(value));
    return true;
}

bool read_fields(ByteReader &p_in, BoatPacket &r_packet) {
    godot::Vector3 position;
    if (!read_vector3(p_in, position)) {
        return false;
    }
    float qx = 0.0f, qy = 0.0f, qz = 0.0f, qw = 0.0f;
    if (!(p_in.read_finite_f32(qx) && p_in.read_finite_f32(qy) && p_in.read_finite_f32(qz) &&
          p_in.read_finite_f32(qw))) {
        return false;
    }
    r_packet.transform = godot::Transform3D(godot::Basis(received_rotation(qx, qy, qz, qw)), position);

    if (!(read_vector3(p_in, r_packet.linear_velocity) && read_vector3(p_in, r_packet.angular_velocity) &&
          read_widened(p_in, r_packet.health) && read_widened(p_in, r_packet.respawn_remaining) &&
          read_widened(p_in, r_packet.speed_boost_remaining) && read_control(p_in, r_packet.throttle) &&
          read_control(p_in, r_packet.steering))) {
        return false;
    }

    float wind_x = 0.0f, wind_y = 0.0f;
    if (!(p_in.read_finite_f32(wind_x) && p_in.read_finite_f32(wind_y))) {
        return false;
    }
    r_packet.wind = limit_wind(wind_x, wind_y);

    uint8_t weapon = 0;
    uint8_t entries = 0;
    if (!(p_in.read_finite_f64(r_packet.wave_time) && p_in.read_u8(weapon) && p_in.read_u8(entries))) {
        return false;
    }
    r_packet.weapon = weapon;

    for (int i = 0; i < entries; ++i) {
        int32_t count = 0;
        if (!p_in.read_i32(count)) {
            return false;
        }
        if (i < 2) {
            r_packet.ammo[i] = count;
        }
    }
    r_packet.ammo_count = entries < 2 ? entries : 2;
    return true;
}

} // namespace

void encode_boat_packet(const BoatPacketSource &p_source, uint8_t *r_bytes) {
    ByteWriter out(r_bytes);
    const godot::Vector3 &position = p_source.transform.origin;
    out.put_f32(position.x);
    out.put_f32(position.y);
    out.put_f32(position.z);
    const godot::Quaternion rotation = p_source.transform.basis.get_rotation_quaternion();
    out.put_f32(rotation.x);
    out.put_f32(rotation.y);
    out.put_f32(rotation.z);
    out.put_f32(rotation.w);
    out.put_f32(p_source.linear_velocity.x);
    out.put_f32(p_source.linear_velocity.y);
    out.put_f32(p_source.linear_velocity.z);
    out.put_f32(p_source.angular_velocity.x);
    out.put_f32(p_source.angular_velocity.y);
    out.put_f32(p_source.angular_velocity.z);
    out.put_f32(round_to_single(p_source.health));
    out.put_f32(round_to_single(p_source.respawn_remaining));
    out.put_f32(round_to_single(p_source.speed_boost_remaining));
    out.put_f32(round_to_single(p_source.throttle));
    out.put_f32(round_to_single(p_source.steering));
    out.put_f32(p_source.wind.x);
    out.put_f32(p_source.wind.y);
    out.put_f64(p_source.wave_time);
    out.put_u8(static_cast<uint8_t>(static_cast<uint32_t>(p_source.selected_weapon) & 0xFFu));
    out.put_u8(ENCODED_AMMO_ENTRIES);
    out.put_i32(p_source.ammo[0]);
    out.put_i32(p_source.ammo[1]);
}

bool decode_boat_packet(const uint8_t *p_bytes, size_t p_size, BoatPacket &r_out) {
    if (p_bytes == nullptr && p_size != 0) {
        return false;
    }
    ByteReader in(p_bytes, p_size);
    BoatPacket packet;
    if (!read_fields(in, packet) || !in.consumed_exactly()) {
        return false;
    }
    r_out = packet;
    return true;
}

bool decode_boat_packet(const godot::PackedByteArray &p_packet, BoatPacket &r_out) {
    const int64_t size = p_packet.size();
    if (size <= 0) {
        return false;
    }
    return decode_boat_packet(p_packet.ptr(), static_cast<size_t>(size), r_out);
}

} // namespace brinewake
