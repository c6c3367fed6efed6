#include "boat_motion/boat_motion.hpp"

#include "boat/boat.hpp"
#include "net/boat_packet.hpp"

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/object.hpp>

using namespace godot;

void BoatMotion::_bind_methods() {
    ClassDB::bind_method(D_METHOD("set_from_packet", "packet"), &BoatMotion::set_from_packet);
    ClassDB::bind_method(D_METHOD("set_from_boat", "boat"), &BoatMotion::set_from_boat);
    ClassDB::bind_method(D_METHOD("step", "throttle", "steering", "delta"), &BoatMotion::step);
    ClassDB::bind_method(D_METHOD("get_transform"), &BoatMotion::get_transform);
    ClassDB::bind_method(D_METHOD("get_linear_velocity"), &BoatMotion::get_linear_velocity);
    ClassDB::bind_method(D_METHOD("get_angular_velocity"), &BoatMotion::get_angular_velocity);
    ClassDB::bind_method(D_METHOD("get_time"), &BoatMotion::get_time);
    ClassDB::bind_method(D_METHOD("get_throttle"), &BoatMotion::get_throttle);
    ClassDB::bind_method(D_METHOD("get_steering"), &BoatMotion::get_steering);
    ClassDB::bind_method(D_METHOD("is_alive"), &BoatMotion::is_alive);
}

bool BoatMotion::set_from_packet(const PackedByteArray &p_packet) {
    brinewake::BoatPacket packet;
    if (!brinewake::decode_boat_packet(p_packet, packet)) {
        return false;
    }
    brinewake::seed_motion_from_packet(packet, state);
    return true;
}

void BoatMotion::set_from_boat(Boat *p_boat) {
    // The binding already refuses other classes; check again, since the pointer may come from C++.
    Boat *boat = Object::cast_to<Boat>(static_cast<Object *>(p_boat));
    if (boat == nullptr) {
        return;
    }
    set_from_packet(boat->get_network_packet());
}

void BoatMotion::step(double p_throttle, double p_steering, double p_delta) {
    brinewake::step_motion(state, p_throttle, p_steering, p_delta);
}

Transform3D BoatMotion::get_transform() const {
    return state.transform;
}

Vector3 BoatMotion::get_linear_velocity() const {
    return state.linear_velocity;
}

Vector3 BoatMotion::get_angular_velocity() const {
    return state.angular_velocity;
}

double BoatMotion::get_time() const {
    return state.time;
}

double BoatMotion::get_throttle() const {
    return state.throttle;
}

double BoatMotion::get_steering() const {
    return state.steering;
}

bool BoatMotion::is_alive() const {
    return state.health > 0.0;
}
