// Script-facing motion predictor: seeded from a boat packet or a live boat, then stepped forward
// without the physics engine. Emits nothing and touches no other object after seeding.
#pragma once

#include "boat_motion/motion_integrator.hpp"

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector3.hpp>

class Boat;

class BoatMotion : public godot::RefCounted {
    GDCLASS(BoatMotion, godot::RefCounted)

    brinewake::MotionState state;

protected:
    static void _bind_methods();

public:
    // False, and no change, when the packet does not decode.
    bool set_from_packet(const godot::PackedByteArray &p_packet);
    // Seeds from the boat's own packet, so the predictor starts where a remote peer would.
    // A null (or non-Boat) object is ignored.
    void set_from_boat(Boat *p_boat);
    void step(double p_throttle, double p_steering, double p_delta);

    godot::Transform3D get_transform() const;
    godot::Vector3 get_linear_velocity() const;
    godot::Vector3 get_angular_velocity() const;
    double get_time() const;
    double get_throttle() const;
    double get_steering() const;
    bool is_alive() const;
};
