// The boat's network state: the dictionary form and the binary packet, both applied through
// apply_snapshot to a remote copy that the game keeps frozen.
#include "boat/boat.hpp"

#include "net/boat_packet.hpp"
#include "rules/wave_field.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace godot;

namespace {

// Script integers are 64-bit: out-of-range values saturate instead of wrapping into a valid
// weapon kind or ammunition count.
int32_t saturated_int32(int64_t p_value) {
    if (p_value > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (p_value < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(p_value);
}

} // namespace

Dictionary Boat::get_network_state() const {
    Dictionary state;
    state["transform"] = get_global_transform();
    state["velocity"] = get_linear_velocity();
    state["time"] = wave_time;
    state["health"] = health;
    state["respawn_remaining"] = respawn_remaining;
    state["boost"] = speed_boost_remaining;
    state["weapon"] = weapons.selected_weapon;
    Array ammo;
    ammo.push_back(weapons.ammo[0]);
    ammo.push_back(weapons.ammo[1]);
    state["ammo"] = ammo;
    return state;
}

void Boat::apply_network_state(Dictionary p_state) {
    if (!is_freeze_enabled()) {
        return;
    }
    // Read order matters to the caller: the index operator adds each missing key (as nil) in turn.
    const double time = p_state["time"];
    // A wave time the sea cannot be evaluated at (non-finite, or so large that the wave arguments
    // overflow) would turn every later hull force into NaN; keep the current clock.
    if (brinewake::usable_wave_time(time)) {
        wave_time = time;
    }

    const Array ammo_values = p_state["ammo"];
    const int64_t entries = ammo_values.size();
    const int64_t taken = entries < 2 ? entries : 2;
    int32_t ammo[2] = {0, 0};
    for (int64_t i = 0; i < taken; ++i) {
        const int64_t count = ammo_values[i];
        ammo[i] = saturated_int32(count);
    }
    const int32_t ammo_count = static_cast<int32_t>(taken);

    const int64_t weapon = p_state["weapon"];
    const double boost = p_state["boost"];
    const double respawn = p_state.get("respawn_remaining", 0.0);
    const double received_health = p_state["health"];
    const Vector3 velocity = p_state["velocity"];
    const Transform3D transform = p_state["transform"];

    apply_snapshot(transform, velocity, received_health, respawn, boost, saturated_int32(weapon), ammo,
                   ammo_count);
}

PackedByteArray Boat::get_network_packet() const {
    brinewake::BoatPacketSource source;
    source.transform = get_global_transform();
    source.linear_velocity = get_linear_velocity();
    source.angular_velocity = get_angular_velocity();
    source.health = health;
    source.respawn_remaining = respawn_remaining;
    source.speed_boost_remaining = speed_boost_remaining;
    source.throttle = throttle;
    source.steering = steering;
    source.wind = wind;
    source.wave_time = wave_time;
    source.selected_weapon = weapons.selected_weapon;
    source.ammo[0] = weapons.ammo[0];
    source.ammo[1] = weapons.ammo[1];

    PackedByteArray packet;
    packet.resize(static_cast<int64_t>(brinewake::BOAT_PACKET_SIZE));
    brinewake::encode_boat_packet(source, packet.ptrw());
    return packet;
}

bool Boat::apply_network_packet(const PackedByteArray &p_packet) {
    if (!is_freeze_enabled()) {
        return false;
    }
    brinewake::BoatPacket received;
    if (!brinewake::decode_boat_packet(p_packet, received)) {
        return false;
    }
    apply_snapshot(received.transform, received.linear_velocity, received.health, received.respawn_remaining,
                   received.speed_boost_remaining, received.weapon, received.ammo, received.ammo_count);
    return true;
}
