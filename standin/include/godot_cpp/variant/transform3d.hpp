// Affine transform: basis then origin.
#pragma once

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/vector3.hpp>

namespace godot {

struct [[nodiscard]] Transform3D {
    Basis basis;
    Vector3 origin;

    // For a rotation basis only (uses the transpose).
    void invert();
    Transform3D inverse() const;

    // Basis inverted by cofactors; origin = inverse basis applied to -origin.
    void affine_invert();
    Transform3D affine_inverse() const;

    Transform3D rotated(const Vector3 &p_axis, real_t p_angle) const;
    Transform3D rotated_local(const Vector3 &p_axis, real_t p_angle) const;
    void rotate(const Vector3 &p_axis, real_t p_angle);
    Transform3D translated(const Vector3 &p_translation) const;
    Transform3D translated_local(const Vector3 &p_translation) const;

    const Basis &get_basis() const { return basis; }
    void set_basis(const Basis &p_basis) { basis = p_basis; }
    const Vector3 &get_origin() const { return origin; }
    void set_origin(const Vector3 &p_origin) { origin = p_origin; }

    void orthonormalize();
    Transform3D orthonormalized() const;
    bool is_equal_approx(const Transform3D &p_transform) const;
    bool is_finite() const;

    bool operator==(const Transform3D &p_transform) const;
    bool operator!=(const Transform3D &p_transform) const;

    _FORCE_INLINE_ Vector3 xform(const Vector3 &p_vector) const {
        return Vector3(basis[0].dot(p_vector) + origin.x, basis[1].dot(p_vector) + origin.y,
                       basis[2].dot(p_vector) + origin.z);
    }
    _FORCE_INLINE_ Vector3 xform_inv(const Vector3 &p_vector) const {
        Vector3 v = p_vector - origin;
        return Vector3((basis.rows[0][0] * v.x) + (basis.rows[1][0] * v.y) + (basis.rows[2][0] * v.z),
                       (basis.rows[0][1] * v.x) + (basis.rows[1][1] * v.y) + (basis.rows[2][1] * v.z),
                       (basis.rows[0][2] * v.x) + (basis.rows[1][2] * v.y) + (basis.rows[2][2] * v.z));
    }

    void operator*=(const Transform3D &p_transform);
    Transform3D operator*(const Transform3D &p_transform) const;
    void operator*=(const real_t p_val);
    Transform3D operator*(const real_t p_val) const;

    void set(real_t p_xx, real_t p_xy, real_t p_xz, real_t p_yx, real_t p_yy, real_t p_yz, real_t p_zx,
             real_t p_zy, real_t p_zz, real_t p_tx, real_t p_ty, real_t p_tz) {
        basis.set(p_xx, p_xy, p_xz, p_yx, p_yy, p_yz, p_zx, p_zy, p_zz);
        origin = Vector3(p_tx, p_ty, p_tz);
    }

    Transform3D() {}
    Transform3D(const Basis &p_basis, const Vector3 &p_origin = Vector3());
    // The first three vectors are the basis columns.
    Transform3D(const Vector3 &p_x, const Vector3 &p_y, const Vector3 &p_z, const Vector3 &p_origin);
    Transform3D(real_t p_xx, real_t p_xy, real_t p_xz, real_t p_yx, real_t p_yy, real_t p_yz, real_t p_zx,
                real_t p_zy, real_t p_zz, real_t p_ox, real_t p_oy, real_t p_oz);
};

} // namespace godot
