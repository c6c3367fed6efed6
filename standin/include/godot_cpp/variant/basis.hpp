// 3x3 single-precision matrix, stored by rows; its columns are the axes X, Y, Z.
#pragma once

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>
#include <godot_cpp/variant/quaternion.hpp>
#include <godot_cpp/variant/vector3.hpp>

namespace godot {

struct [[nodiscard]] Basis {
    Vector3 rows[3] = {Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1)};

    _FORCE_INLINE_ const Vector3 &operator[](int p_row) const { return rows[p_row]; }
    _FORCE_INLINE_ Vector3 &operator[](int p_row) { return rows[p_row]; }

    // Inverse by cofactors; a singular basis gives non-finite elements.
    void invert();
    void transpose();
    Basis inverse() const;
    Basis transposed() const;

    _FORCE_INLINE_ real_t determinant() const {
        return rows[0][0] * (rows[1][1] * rows[2][2] - rows[2][1] * rows[1][2]) -
               rows[1][0] * (rows[0][1] * rows[2][2] - rows[2][1] * rows[0][2]) +
               rows[2][0] * (rows[0][1] * rows[1][2] - rows[1][1] * rows[0][2]);
    }

    void rotate(const Vector3 &p_axis, real_t p_angle);
    Basis rotated(const Vector3 &p_axis, real_t p_angle) const;
    void rotate(const Quaternion &p_quaternion);
    Basis rotated(const Quaternion &p_quaternion) const;

    // The rotation of the orthonormalized basis; a reflection is turned into a rotation by negating it.
    Quaternion get_rotation_quaternion() const;
    // Reads the quaternion of a rotation basis as it stands.
    Quaternion get_quaternion() const;
    void set_quaternion(const Quaternion &p_quaternion);
    // p_axis must be normalized.
    void set_axis_angle(const Vector3 &p_axis, real_t p_angle);

    void scale(const Vector3 &p_scale);
    Basis scaled(const Vector3 &p_scale) const;
    Vector3 get_scale_abs() const;
    static Basis from_scale(const Vector3 &p_scale);

    _FORCE_INLINE_ real_t tdotx(const Vector3 &p_v) const {
        return rows[0][0] * p_v[0] + rows[1][0] * p_v[1] + rows[2][0] * p_v[2];
    }
    _FORCE_INLINE_ real_t tdoty(const Vector3 &p_v) const {
        return rows[0][1] * p_v[0] + rows[1][1] * p_v[1] + rows[2][1] * p_v[2];
    }
    _FORCE_INLINE_ real_t tdotz(const Vector3 &p_v) const {
        return rows[0][2] * p_v[0] + rows[1][2] * p_v[1] + rows[2][2] * p_v[2];
    }

    bool is_equal_approx(const Basis &p_basis) const;
    bool is_finite() const;

    bool operator==(const Basis &p_matrix) const;
    bool operator!=(const Basis &p_matrix) const;

    _FORCE_INLINE_ Vector3 xform(const Vector3 &p_vector) const {
        return Vector3(rows[0].dot(p_vector), rows[1].dot(p_vector), rows[2].dot(p_vector));
    }
    // Applies the transpose (the inverse of a rotation).
    _FORCE_INLINE_ Vector3 xform_inv(const Vector3 &p_vector) const {
        return Vector3((rows[0][0] * p_vector.x) + (rows[1][0] * p_vector.y) + (rows[2][0] * p_vector.z),
                       (rows[0][1] * p_vector.x) + (rows[1][1] * p_vector.y) + (rows[2][1] * p_vector.z),
                       (rows[0][2] * p_vector.x) + (rows[1][2] * p_vector.y) + (rows[2][2] * p_vector.z));
    }

    _FORCE_INLINE_ void operator*=(const Basis &p_matrix) { *this = *this * p_matrix; }
    _FORCE_INLINE_ Basis operator*(const Basis &p_matrix) const {
        return Basis(p_matrix.tdotx(rows[0]), p_matrix.tdoty(rows[0]), p_matrix.tdotz(rows[0]),
                     p_matrix.tdotx(rows[1]), p_matrix.tdoty(rows[1]), p_matrix.tdotz(rows[1]),
                     p_matrix.tdotx(rows[2]), p_matrix.tdoty(rows[2]), p_matrix.tdotz(rows[2]));
    }
    _FORCE_INLINE_ void operator+=(const Basis &p_matrix) {
        rows[0] += p_matrix.rows[0];
        rows[1] += p_matrix.rows[1];
        rows[2] += p_matrix.rows[2];
    }
    _FORCE_INLINE_ Basis operator+(const Basis &p_matrix) const {
        Basis ret(*this);
        ret += p_matrix;
        return ret;
    }
    _FORCE_INLINE_ void operator-=(const Basis &p_matrix) {
        rows[0] -= p_matrix.rows[0];
        rows[1] -= p_matrix.rows[1];
        rows[2] -= p_matrix.rows[2];
    }
    _FORCE_INLINE_ Basis operator-(const Basis &p_matrix) const {
        Basis ret(*this);
        ret -= p_matrix;
        return ret;
    }
    _FORCE_INLINE_ void operator*=(const real_t p_val) {
        rows[0] *= p_val;
        rows[1] *= p_val;
        rows[2] *= p_val;
    }
    _FORCE_INLINE_ Basis operator*(const real_t p_val) const {
        Basis ret(*this);
        ret *= p_val;
        return ret;
    }

    _FORCE_INLINE_ void set(real_t p_xx, real_t p_xy, real_t p_xz, real_t p_yx, real_t p_yy, real_t p_yz,
                            real_t p_zx, real_t p_zy, real_t p_zz) {
        rows[0] = Vector3(p_xx, p_xy, p_xz);
        rows[1] = Vector3(p_yx, p_yy, p_yz);
        rows[2] = Vector3(p_zx, p_zy, p_zz);
    }
    _FORCE_INLINE_ void set_columns(const Vector3 &p_x, const Vector3 &p_y, const Vector3 &p_z) {
        set_column(0, p_x);
        set_column(1, p_y);
        set_column(2, p_z);
    }
    _FORCE_INLINE_ Vector3 get_column(int p_index) const {
        return Vector3(rows[0][p_index], rows[1][p_index], rows[2][p_index]);
    }
    _FORCE_INLINE_ void set_column(int p_index, const Vector3 &p_value) {
        rows[0][p_index] = p_value.x;
        rows[1][p_index] = p_value.y;
        rows[2][p_index] = p_value.z;
    }
    _FORCE_INLINE_ Vector3 get_main_diagonal() const { return Vector3(rows[0][0], rows[1][1], rows[2][2]); }
    _FORCE_INLINE_ void set_zero() {
        rows[0].zero();
        rows[1].zero();
        rows[2].zero();
    }

    // Gram-Schmidt on the columns X, then Y, then Z; a zero column stays zero.
    void orthonormalize();
    Basis orthonormalized() const;

    Basis(real_t p_xx, real_t p_xy, real_t p_xz, real_t p_yx, real_t p_yy, real_t p_yz, real_t p_zx,
          real_t p_zy, real_t p_zz) {
        set(p_xx, p_xy, p_xz, p_yx, p_yy, p_yz, p_zx, p_zy, p_zz);
    }
    Basis(const Quaternion &p_quaternion) { set_quaternion(p_quaternion); }
    Basis(const Vector3 &p_axis, real_t p_angle) { set_axis_angle(p_axis, p_angle); }
    // The three vectors are the columns (the axes).
    _FORCE_INLINE_ Basis(const Vector3 &p_x_axis, const Vector3 &p_y_axis, const Vector3 &p_z_axis) {
        set_columns(p_x_axis, p_y_axis, p_z_axis);
    }
    _FORCE_INLINE_ Basis() {}
};

} // namespace godot
