#include "physics_core.hpp"

#include <godot_cpp/core/math.hpp>

namespace standin::physics {

namespace {

// The outer product a·bᵀ.
Basis outer(const Vector3 &p_a, const Vector3 &p_b) {
    return Basis(p_a.x * p_b.x, p_a.x * p_b.y, p_a.x * p_b.z, p_a.y * p_b.x, p_a.y * p_b.y, p_a.y * p_b.z,
                 p_a.z * p_b.x, p_a.z * p_b.y, p_a.z * p_b.z);
}

} // namespace

real_t shape_volume(const ShapeGeometry &p_shape) {
    switch (p_shape.kind) {
    case ShapeGeometry::BOX:
        return 8 * p_shape.half_extents.x * p_shape.half_extents.y * p_shape.half_extents.z;
    case ShapeGeometry::SPHERE:
        return static_cast<real_t>(4.0 / 3.0 * Math_PI * p_shape.radius * p_shape.radius * p_shape.radius);
    }
    return 0;
}

Vector3 shape_principal_inertia(const ShapeGeometry &p_shape, real_t p_mass) {
    switch (p_shape.kind) {
    case ShapeGeometry::BOX: {
        // Solid box with half extents a, b, c: m/3·(b² + c²) about x, and so on.
        const Vector3 &h = p_shape.half_extents;
        const double third = p_mass / 3.0;
        return Vector3(static_cast<real_t>(third * (h.y * h.y + h.z * h.z)),
                       static_cast<real_t>(third * (h.x * h.x + h.z * h.z)),
                       static_cast<real_t>(third * (h.x * h.x + h.y * h.y)));
    }
    case ShapeGeometry::SPHERE: {
        const real_t s = static_cast<real_t>(0.4 * p_mass * p_shape.radius * p_shape.radius);
        return Vector3(s, s, s);
    }
    }
    return Vector3();
}

MassBuilder::MassBuilder(real_t p_mass, bool p_custom_center, const Vector3 &p_custom_center_of_mass)
    : mass(p_mass), custom_center(p_custom_center), center(p_custom_center_of_mass) {
    inertia.set_zero();
}

real_t MassBuilder::scaled_volume(const BodyShape &p_shape) const {
    const Vector3 scale = p_shape.local.basis.get_scale_abs();
    return shape_volume(p_shape.geometry) * scale.x * scale.y * scale.z;
}

void MassBuilder::add_volume(const BodyShape &p_shape) {
    total_volume += scaled_volume(p_shape);
}

void MassBuilder::add_mass_point(const BodyShape &p_shape) {
    if (custom_center || total_volume == 0) {
        return;
    }
    // Each shape's centre of mass is taken to be its origin.
    const real_t shape_mass = scaled_volume(p_shape) * mass / total_volume;
    center_sum += shape_mass * p_shape.local.origin;
}

void MassBuilder::add_inertia(const BodyShape &p_shape) {
    if (!center_done) {
        if (!custom_center) {
            center = total_volume != 0 ? center_sum / mass : Vector3();
        }
        center_done = true;
    }
    const real_t volume = scaled_volume(p_shape);
    if (volume == 0) {
        return;
    }
    inertia_set = true;
    const real_t shape_mass = volume * mass / total_volume;
    // Scale of a shape is not taken into account for its own inertia, only for its mass share.
    const Basis axes = p_shape.local.basis.orthonormalized();
    const Basis own =
        axes * Basis::from_scale(shape_principal_inertia(p_shape.geometry, shape_mass)) * axes.transposed();
    const Vector3 arm = p_shape.local.origin - center;
    inertia += own + (Basis() * arm.dot(arm) - outer(arm, arm)) * shape_mass;
}

MassProperties MassBuilder::finish(const Vector3 &p_custom_inertia) const {
    MassProperties result;
    result.inverse_mass = mass != 0 ? static_cast<real_t>(1.0 / mass) : 0;
    if (custom_center) {
        result.center_of_mass_local = center;
    } else if (center_done) {
        result.center_of_mass_local = center;
    } else {
        result.center_of_mass_local = total_volume != 0 ? center_sum / mass : Vector3();
    }
    if (p_custom_inertia.x > 0 && p_custom_inertia.y > 0 && p_custom_inertia.z > 0) {
        result.inertia_local = Basis::from_scale(p_custom_inertia);
    } else {
        result.inertia_local = inertia_set ? inertia : Basis();
        for (int i = 0; i < 3; i++) {
            if (p_custom_inertia[i] > 0) {
                result.inertia_local[i][i] = p_custom_inertia[i];
            }
        }
    }
    const Basis &t = result.inertia_local;
    const real_t off = t[0][1] * t[0][1] + t[0][2] * t[0][2] + t[1][2] * t[1][2];
    if (off <= CMP_EPSILON2) {
        // Principal axes are the body axes: invert the moments one by one.
        result.inverse_inertia_local = Basis::from_scale(t.get_main_diagonal().inverse());
    } else {
        result.inverse_inertia_local = t.inverse();
    }
    return result;
}

Basis world_inverse_inertia(const Basis &p_basis, const MassProperties &p_mass) {
    return p_basis * p_mass.inverse_inertia_local * p_basis.transposed();
}

void integrate_velocities(Motion &r_motion, const StepParameters &p_params, real_t p_inverse_mass,
                          const Basis &p_world_inverse_inertia, bool p_custom_integrator) {
    if (p_custom_integrator) {
        r_motion.applied_force = Vector3();
        r_motion.applied_torque = Vector3();
        return;
    }
    const Vector3 force = p_params.gravity * p_params.mass + r_motion.applied_force + r_motion.constant_force;
    const Vector3 torque = r_motion.applied_torque + r_motion.constant_torque;

    real_t damp = 1.0f - p_params.step * p_params.linear_damp;
    if (damp < 0) {
        damp = 0;
    }
    real_t angular_damp = 1.0f - p_params.step * p_params.angular_damp;
    if (angular_damp < 0) {
        angular_damp = 0;
    }
    r_motion.linear_velocity *= damp;
    r_motion.angular_velocity *= angular_damp;

    r_motion.linear_velocity += p_inverse_mass * force * p_params.step;
    r_motion.angular_velocity += p_world_inverse_inertia.xform(torque) * p_params.step;

    r_motion.applied_force = Vector3();
    r_motion.applied_torque = Vector3();
}

void integrate_pose(Transform3D &r_transform, const Vector3 &p_center_of_mass_local, const Motion &p_motion,
                    real_t p_step) {
    const real_t speed = p_motion.angular_velocity.length();
    if (!godot::Math::is_zero_approx(speed)) {
        const Vector3 axis = p_motion.angular_velocity / speed;
        const Basis rotation(axis, speed * p_step);
        const Basis identity;
        // Turning about the centre of mass: the origin moves by (I - R)·B·c.
        r_transform.origin += ((identity - rotation) * r_transform.basis).xform(p_center_of_mass_local);
        r_transform.basis = rotation * r_transform.basis;
        r_transform.orthonormalize();
    }
    r_transform.origin += p_motion.linear_velocity * p_step;
}

void apply_impulse(Motion &r_motion, real_t p_inverse_mass, const Basis &p_world_inverse_inertia,
                   const Vector3 &p_center_of_mass, const Vector3 &p_impulse, const Vector3 &p_offset) {
    r_motion.linear_velocity += p_impulse * p_inverse_mass;
    r_motion.angular_velocity +=
        p_world_inverse_inertia.xform((p_offset - p_center_of_mass).cross(p_impulse));
}

bool shape_contains(const ShapeGeometry &p_shape, const Vector3 &p_point) {
    switch (p_shape.kind) {
    case ShapeGeometry::BOX: {
        const Vector3 &h = p_shape.half_extents;
        return godot::Math::abs(p_point.x) < h.x && godot::Math::abs(p_point.y) < h.y &&
               godot::Math::abs(p_point.z) < h.z;
    }
    case ShapeGeometry::SPHERE:
        return p_point.length() < p_shape.radius;
    }
    return false;
}

namespace {

// Slab clipping against the box [-h, h]; the entry face gives the normal.
bool segment_box(const Vector3 &p_half, const Vector3 &p_from, const Vector3 &p_to, Vector3 &r_point,
                 Vector3 &r_normal) {
    real_t enter = 0;
    real_t exit = 1;
    int enter_axis = -1;
    real_t enter_sign = 0;
    for (int i = 0; i < 3; i++) {
        const real_t a = p_from[i];
        const real_t b = p_to[i];
        const real_t h = p_half[i];
        real_t axis_enter;
        real_t axis_exit;
        real_t sign;
        if (a < b) {
            if (a > h || b < -h) {
                return false;
            }
            const real_t length = b - a;
            axis_enter = a < -h ? (-h - a) / length : 0;
            axis_exit = b > h ? (h - a) / length : 1;
            sign = -1;
        } else {
            if (b > h || a < -h) {
                return false;
            }
            const real_t length = b - a;
            axis_enter = a > h ? (h - a) / length : 0;
            axis_exit = b < -h ? (-h - a) / length : 1;
            sign = 1;
        }
        if (axis_enter > enter) {
            enter = axis_enter;
            enter_axis = i;
            enter_sign = sign;
        }
        if (axis_exit < exit) {
            exit = axis_exit;
        }
        if (exit < enter) {
            return false;
        }
    }
    r_normal = Vector3();
    if (enter_axis >= 0) {
        r_normal[enter_axis] = enter_sign;
    } else {
        // The segment starts on the surface: the face it starts on.
        for (int i = 0; i < 3; i++) {
            if (godot::Math::abs(p_from[i]) >= p_half[i]) {
                r_normal[i] = p_from[i] < 0 ? -1.0f : 1.0f;
                break;
            }
        }
    }
    r_point = p_from + (p_to - p_from) * enter;
    return true;
}

bool segment_sphere(real_t p_radius, const Vector3 &p_from, const Vector3 &p_to, Vector3 &r_point,
                    Vector3 &r_normal) {
    const Vector3 segment = p_to - p_from;
    const real_t length = segment.length();
    if (length < CMP_EPSILON) {
        return false;
    }
    const Vector3 direction = segment / length;
    const Vector3 to_center = -p_from;
    // Distance along the segment to the point nearest the centre, and the miss distance there.
    const real_t along = direction.dot(to_center);
    const real_t miss = to_center.distance_to(direction * along);
    if (miss >= p_radius) {
        return false;
    }
    real_t entry = along;
    const real_t half_chord_squared = p_radius * p_radius - miss * miss;
    if (half_chord_squared >= CMP_EPSILON) {
        entry -= godot::Math::sqrt(half_chord_squared);
    }
    if (entry < 0 || entry > length) {
        return false;
    }
    r_point = p_from + direction * entry;
    r_normal = r_point.normalized();
    return true;
}

} // namespace

bool shape_intersect_segment(const ShapeGeometry &p_shape, const Vector3 &p_from, const Vector3 &p_to,
                             Vector3 &r_point, Vector3 &r_normal) {
    switch (p_shape.kind) {
    case ShapeGeometry::BOX:
        return segment_box(p_shape.half_extents, p_from, p_to, r_point, r_normal);
    case ShapeGeometry::SPHERE:
        return segment_sphere(p_shape.radius, p_from, p_to, r_point, r_normal);
    }
    return false;
}

} // namespace standin::physics
