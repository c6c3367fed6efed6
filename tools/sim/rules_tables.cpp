// The shared rules at work, evaluated directly: no engine involved.
#include "sim.hpp"

#include "rules/hull_model.hpp"
#include "rules/wave_field.hpp"

#include <godot_cpp/variant/basis.hpp>

#include <cmath>

using namespace godot;

void sim::print_rules_tables(std::FILE *p_out) {
    std::fprintf(p_out, "Hull force and torque at rest (wave time 0, no wind), world frame\n");
    std::fprintf(p_out, "%8s %7s %7s %8s | %10s %10s %10s | %9s %9s %9s\n", "height", "roll", "pitch",
                 "throttle", "Fx (N)", "Fy (N)", "Fz (N)", "Tx (N m)", "Ty (N m)", "Tz (N m)");
    struct Pose {
        float height; // m, origin above the calm sea level
        float roll;   // degrees about the hull's forward axis
        float pitch;  // degrees about the hull's right axis, bow up
    };
    const Pose poses[] = {{0.3f, 0, 0},  {0.0f, 0, 0},  {-0.2f, 0, 0},  {-0.5f, 0, 0},
                          {0.0f, 10, 0}, {0.0f, 0, 10}, {0.0f, 25, -10}};
    const double throttles[] = {0.0, 1.0, -1.0};
    const float degrees = float(M_PI / 180.0);
    for (const Pose &pose : poses) {
        for (const double throttle : throttles) {
            const Basis basis =
                Basis(Vector3(1, 0, 0), pose.pitch * degrees) * Basis(Vector3(0, 0, -1), pose.roll * degrees);
            const Transform3D transform(basis, Vector3(0, pose.height, 0));
            const brinewake::HullForces forces = brinewake::compute_hull_forces(
                transform, Vector3(), Vector3(), 0.0, throttle, 0.0, 0.0, Vector2());
            std::fprintf(p_out, "%8.2f %7.1f %7.1f %8.1f | %10.2f %10.2f %10.2f | %9.2f %9.2f %9.2f\n",
                         double(pose.height), double(pose.roll), double(pose.pitch), throttle,
                         double(forces.force.x), double(forces.force.y), double(forces.force.z),
                         double(forces.torque.x), double(forces.torque.y), double(forces.torque.z));
        }
    }

    std::fprintf(p_out, "\nSea height (m) and vertical speed (m/s) along z = 0\n%8s", "x (m)");
    const double times[] = {0.0, 1.0, 2.5};
    for (const double t : times) {
        std::fprintf(p_out, "   h(t=%.1f) vs(t=%.1f)", t, t);
    }
    std::fprintf(p_out, "\n");
    for (int x = -20; x <= 20; x += 4) {
        std::fprintf(p_out, "%8d", x);
        for (const double t : times) {
            const brinewake::WaveSample sample = brinewake::sample_waves(double(x), 0.0, t);
            std::fprintf(p_out, "   %9.4f %9.4f", sample.height, sample.vertical_speed);
        }
        std::fprintf(p_out, "\n");
    }
}
