// The sea trial: one boat on the open sea under a fixed programme, driven only
// through its bound methods, as a game script would drive it.
#include "sim.hpp"

#include "match_scene.hpp"

#include <standin/callable_lambda.hpp>

#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector2.hpp>

#include <cmath>
#include <vector>

using namespace godot;

namespace {

constexpr double RADIANS_TO_DEGREES = 180.0 / M_PI;

// Heading in degrees: 0 when the bow (local -Z) points along world -Z, 90 along world +X.
double heading_degrees(const Basis &p_basis) {
    const Vector3 forward = -p_basis.get_column(2);
    return std::atan2(double(forward.x), -double(forward.z)) * RADIANS_TO_DEGREES;
}

struct Attitude {
    double roll;  // degrees, starboard (right) side down positive
    double pitch; // degrees, bow up positive
};

Attitude attitude(const Basis &p_basis) {
    const Vector3 right = p_basis.get_column(0);
    const Vector3 forward = -p_basis.get_column(2);
    return {-std::asin(std::fmax(-1.0, std::fmin(1.0, double(right.y)))) * RADIANS_TO_DEGREES,
            std::asin(std::fmax(-1.0, std::fmin(1.0, double(forward.y)))) * RADIANS_TO_DEGREES};
}

double horizontal_speed(const Vector3 &p_velocity) {
    return std::sqrt(double(p_velocity.x) * double(p_velocity.x) +
                     double(p_velocity.z) * double(p_velocity.z));
}

struct Phase {
    const char *name;
    double duration; // s
    double throttle;
    double steering;
};

// Averages over the last seconds of a phase, where the boat has reached its steady state.
struct SteadyState {
    double speed_sum = 0.0;
    double yaw_rate_sum = 0.0;
    double lateral_sum = 0.0;
    int samples = 0;

    void add(double p_speed, double p_yaw_rate, double p_lateral) {
        speed_sum += p_speed;
        yaw_rate_sum += p_yaw_rate;
        lateral_sum += p_lateral;
        ++samples;
    }
    double speed() const { return samples ? speed_sum / samples : 0.0; }
    double yaw_rate() const { return samples ? yaw_rate_sum / samples : 0.0; }
    double lateral() const { return samples ? lateral_sum / samples : 0.0; }
};

} // namespace

void sim::run_sea_trial(std::FILE *p_out) {
    brinewake_test::MatchScene scene;
    RigidBody3D *boat = scene.add_boat(Vector3(0.0f, 0.7f, 0.0f), 0.0);
    if (boat == nullptr) {
        std::fprintf(p_out, "sea trial: the class \"Boat\" is not registered\n");
        return;
    }
    standin::SignalRecorder destroyed(boat, "destroyed");
    standin::SignalRecorder respawned(boat, "respawned");

    enum PhaseIndex {
        SETTLE,
        FULL_THROTTLE,
        TURN_RIGHT,
        TURN_LEFT,
        BOOST,
        SIDE_WIND,
        DESTROYED,
        RESPAWN,
        COUNT
    };
    const Phase phases[COUNT] = {
        {"settle", 6.0, 0.0, 0.0},      {"full throttle", 12.0, 1.0, 0.0}, {"turn right", 12.0, 1.0, 1.0},
        {"turn left", 12.0, 1.0, -1.0}, {"boost", 8.0, 1.0, 0.0},          {"side wind", 12.0, 0.0, 0.0},
        {"destroyed", 5.5, 0.0, 0.0},   {"respawned", 4.0, 0.0, 0.0},
    };
    SteadyState steady[COUNT];
    const double steady_window = 3.0; // s at the end of each phase

    // The sea never rests, so settling is judged by the draft: the origin's height above the
    // water surface at its own position.
    std::vector<double> settle_drafts;
    double previous_heading = 0.0;
    double time = 0.0;
    double top_speed = 0.0;
    double top_speed_boost = 0.0;
    Vector3 death_position;
    double death_hold_error = 0.0;

    std::fprintf(p_out, "Sea trial: one boat, 60 physics frames per second\n");
    std::fprintf(p_out, "%7s  %-14s %9s %9s %9s %8s %8s %7s\n", "t (s)", "phase", "speed m/s", "heading",
                 "height m", "roll", "pitch", "health");

    for (int index = 0; index < COUNT; ++index) {
        const Phase &phase = phases[index];
        if (index == BOOST) {
            boat->call("activate_speed_boost");
        }
        if (index == SIDE_WIND) {
            // Wind of the largest accepted strength from the boat's left, pushing it to its right.
            const Vector3 right = boat->get_global_basis().get_column(0);
            boat->call("set_wind", Vector2(right.x, right.z).normalized() * 2.0f);
        }
        if (index == DESTROYED) {
            boat->call("set_wind", Vector2());
            boat->call("apply_damage", 1000.0);
            death_position = boat->get_global_position();
        }
        const int frames = int(std::lround(phase.duration / brinewake_test::MatchScene::PHYSICS_STEP));
        for (int frame = 0; frame < frames; ++frame) {
            boat->call("set_controls", phase.throttle, phase.steering);
            scene.step();
            time += brinewake_test::MatchScene::PHYSICS_STEP;
            const double health = boat->call("get_health");

            const Transform3D pose = boat->get_global_transform();
            const Vector3 velocity = boat->get_linear_velocity();
            const double speed = horizontal_speed(velocity);
            const double heading = heading_degrees(pose.basis);
            double turned = heading - previous_heading;
            turned -= 360.0 * std::round(turned / 360.0);
            previous_heading = heading;
            const double yaw_rate = turned / brinewake_test::MatchScene::PHYSICS_STEP; // degrees per second
            const double lateral = double(velocity.dot(pose.basis.get_column(0)));
            if (frame * brinewake_test::MatchScene::PHYSICS_STEP >= phase.duration - steady_window) {
                steady[index].add(speed, yaw_rate, lateral);
            }
            if (index == SETTLE) {
                const double sea = boat->call("wave_height", double(pose.origin.x), double(pose.origin.z));
                settle_drafts.push_back(double(pose.origin.y) - sea);
            }
            if (index == FULL_THROTTLE) {
                top_speed = std::fmax(top_speed, speed);
            }
            if (index == BOOST) {
                top_speed_boost = std::fmax(top_speed_boost, speed);
            }
            if (index == DESTROYED && health <= 0.0) {
                death_hold_error =
                    std::fmax(death_hold_error, double((pose.origin - death_position).length()));
            }
            if (frame % 60 == 59 || frame == 0) {
                const Attitude angles = attitude(pose.basis);
                std::fprintf(p_out, "%7.2f  %-14s %9.3f %9.2f %9.3f %8.2f %8.2f %7.1f\n", time, phase.name,
                             speed, heading, double(pose.origin.y), angles.roll, angles.pitch, health);
            }
        }
    }

    // Settle draft: the mean over the last two seconds of the settle phase; settle time: from then
    // on the draft stays within 5 cm of it.
    const size_t tail = size_t(std::lround(2.0 / brinewake_test::MatchScene::PHYSICS_STEP));
    double settle_draft = 0.0;
    for (size_t i = settle_drafts.size() - tail; i < settle_drafts.size(); ++i) {
        settle_draft += settle_drafts[i] / double(tail);
    }
    double settle_time = 0.0;
    for (size_t i = settle_drafts.size(); i-- > 0;) {
        if (std::fabs(settle_drafts[i] - settle_draft) > 0.05) {
            settle_time = double(i + 1) * brinewake_test::MatchScene::PHYSICS_STEP;
            break;
        }
    }

    auto circle = [&](int p_index) {
        const double omega = steady[p_index].yaw_rate() / RADIANS_TO_DEGREES; // rad/s
        return std::fabs(omega) > 1e-6 ? 2.0 * steady[p_index].speed() / std::fabs(omega) : INFINITY;
    };
    std::fprintf(p_out, "\nSea trial summary\n");
    std::fprintf(p_out,
                 "  settle height (origin above sea, m) %6.3f  (dropped from 0.7 m above calm water)\n",
                 settle_draft);
    std::fprintf(p_out, "  settle time (draft within 5 cm, s)  %6.2f\n", settle_time);
    std::fprintf(p_out, "  top speed, full throttle (m/s)    %8.3f  (steady %.3f)\n", top_speed,
                 steady[FULL_THROTTLE].speed());
    std::fprintf(p_out, "  top speed, boosted (m/s)          %8.3f  (steady %.3f)\n", top_speed_boost,
                 steady[BOOST].speed());
    std::fprintf(p_out, "  turning circle right / left (m)   %8.2f / %.2f  (yaw rate %.1f / %.1f deg/s)\n",
                 circle(TURN_RIGHT), circle(TURN_LEFT), steady[TURN_RIGHT].yaw_rate(),
                 steady[TURN_LEFT].yaw_rate());
    std::fprintf(p_out, "  drift under side wind 2 m/s (m/s) %8.3f  sideways, %.3f over ground\n",
                 steady[SIDE_WIND].lateral(), steady[SIDE_WIND].speed());
    // The hold is applied in the physics callback; the engine's own integration then adds one step of
    // gravity before the frame ends, so the pose seen between frames sits that far below.
    std::fprintf(p_out, "  held at death pose (max drift, m) %8.4f\n", death_hold_error);
    std::fprintf(p_out, "  signals destroyed / respawned     %8zu / %zu  (health now %.1f)\n",
                 destroyed.count(), respawned.count(), double(boat->call("get_health")));
}
