// Send-rate figures: packet bandwidth per boat, and how far a predictor seeded
// from the last packet drifts from the boat's own physics while no packet arrives.
#include "sim.hpp"

#include "match_scene.hpp"

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/transform3d.hpp>

#include <algorithm>
#include <cmath>

using namespace godot;

namespace {

constexpr int PACKET_BYTES = 98;
constexpr int UDP_IPV4_OVERHEAD = 28; // bytes of IPv4 and UDP headers per datagram

double heading_radians(const Basis &p_basis) {
    const Vector3 forward = -p_basis.get_column(2);
    return std::atan2(double(forward.x), -double(forward.z));
}

double heading_difference_degrees(const Basis &p_a, const Basis &p_b) {
    double difference = heading_radians(p_a) - heading_radians(p_b);
    difference -= 2.0 * M_PI * std::round(difference / (2.0 * M_PI));
    return std::fabs(difference) * 180.0 / M_PI;
}

// The controls a player might give over a drive: throttle and steering changing every few seconds.
void controls_at(double p_time, double &r_throttle, double &r_steering) {
    const double segment = std::floor(p_time / 3.0);
    const int pattern = int(segment) % 6;
    const double throttles[6] = {1.0, 1.0, 0.6, 1.0, -0.5, 1.0};
    const double steerings[6] = {0.0, 1.0, -0.7, 0.3, 0.0, -1.0};
    r_throttle = throttles[pattern];
    r_steering = steerings[pattern];
}

struct ErrorStats {
    double position_sum = 0.0;
    double position_max = 0.0;
    double heading_sum = 0.0;
    double heading_max = 0.0;
    int samples = 0;
};

} // namespace

void sim::print_network_report(std::FILE *p_out) {
    std::fprintf(p_out, "\nBoat packets: %d bytes each (%d with IPv4 and UDP headers)\n", PACKET_BYTES,
                 PACKET_BYTES + UDP_IPV4_OVERHEAD);
    std::fprintf(p_out, "%10s %16s %22s\n", "rate (Hz)", "payload B/s", "with UDP/IPv4 B/s");
    const int rates[] = {10, 20, 30, 60};
    for (const int rate : rates) {
        std::fprintf(p_out, "%10d %16d %22d\n", rate, rate * PACKET_BYTES,
                     rate * (PACKET_BYTES + UDP_IPV4_OVERHEAD));
    }

    // Drive a boat for 36 s; every half second seed a predictor from its packet and follow both
    // for 200 ms with the same controls.
    brinewake_test::MatchScene scene;
    RigidBody3D *boat = scene.add_boat(Vector3(0.0f, 0.2f, 0.0f), 0.0);
    Variant motion_variant = ClassDBSingleton::get_singleton()->instantiate("BoatMotion");
    Object *motion = motion_variant;
    if (boat == nullptr || motion == nullptr) {
        std::fprintf(p_out, "network report: the classes \"Boat\" and \"BoatMotion\" are not registered\n");
        return;
    }
    const double step = brinewake_test::MatchScene::PHYSICS_STEP;
    scene.step(180); // settle first

    const int horizons[] = {3, 6, 12}; // frames: 50, 100 and 200 ms
    ErrorStats stats[3];
    double time = 0.0;
    const int windows = 72;
    for (int window = 0; window < windows; ++window) {
        const PackedByteArray packet = boat->call("get_network_packet");
        motion->call("set_from_packet", packet);
        int horizon = 0;
        for (int frame = 1; frame <= 30; ++frame) {
            double throttle = 0.0;
            double steering = 0.0;
            controls_at(time, throttle, steering);
            boat->call("set_controls", throttle, steering);
            motion->call("step", throttle, steering, step);
            scene.step();
            time += step;
            if (horizon < 3 && frame == horizons[horizon]) {
                const Transform3D predicted = motion->call("get_transform");
                const Transform3D actual = boat->get_global_transform();
                const double position_error = double((predicted.origin - actual.origin).length());
                const double heading_error = heading_difference_degrees(predicted.basis, actual.basis);
                ErrorStats &s = stats[horizon];
                s.position_sum += position_error;
                s.position_max = std::max(s.position_max, position_error);
                s.heading_sum += heading_error;
                s.heading_max = std::max(s.heading_max, heading_error);
                ++s.samples;
                ++horizon;
            }
        }
    }

    std::fprintf(
        p_out,
        "\nPrediction without packets: BoatMotion seeded from the last packet vs the boat's physics\n");
    std::fprintf(p_out, "(%d windows over a %.0f s drive with changing throttle and steering)\n", windows,
                 time);
    std::fprintf(p_out, "%12s %16s %16s %18s %18s\n", "gap (ms)", "mean pos. (m)", "max pos. (m)",
                 "mean heading (deg)", "max heading (deg)");
    for (int i = 0; i < 3; ++i) {
        const ErrorStats &s = stats[i];
        std::fprintf(p_out, "%12.0f %16.5f %16.5f %18.5f %18.5f\n", horizons[i] * step * 1000.0,
                     s.position_sum / s.samples, s.position_max, s.heading_sum / s.samples, s.heading_max);
    }
}
