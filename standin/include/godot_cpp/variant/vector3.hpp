// Three-component single-precision vector.
#pragma once

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>

namespace godot {

struct [[nodiscard]] Vector3 {
    static const int AXIS_COUNT = 3;

    enum Axis {
        AXIS_X,
        AXIS_Y,
        AXIS_Z,
    };

    real_t x = 0;
    real_t y = 0;
    real_t z = 0;

    _FORCE_INLINE_ const real_t &operator[](const int p_axis) const {
        return p_axis == 0 ? x : (p_axis == 1 ? y : z);
    }
    _FORCE_INLINE_ real_t &operator[](const int p_axis) { return p_axis == 0 ? x : (p_axis == 1 ? y : z); }

    Vector3 min(const Vector3 &p_v) const { return Vector3(MIN(x, p_v.x), MIN(y, p_v.y), MIN(z, p_v.z)); }
    Vector3 max(const Vector3 &p_v) const { return Vector3(MAX(x, p_v.x), MAX(y, p_v.y), MAX(z, p_v.z)); }

    _FORCE_INLINE_ real_t length() const {
        real_t x2 = x * x;
        real_t y2 = y * y;
        real_t z2 = z * z;
        return Math::sqrt(x2 + y2 + z2);
    }
    _FORCE_INLINE_ real_t length_squared() const {
        real_t x2 = x * x;
        real_t y2 = y * y;
        real_t z2 = z * z;
        return x2 + y2 + z2;
    }

    // A zero vector normalizes to zero.
    _FORCE_INLINE_ void normalize() {
        real_t lengthsq = length_squared();
        if (lengthsq == 0) {
            x = y = z = 0;
        } else {
            real_t len = Math::sqrt(lengthsq);
            x /= len;
            y /= len;
            z /= len;
        }
    }
    _FORCE_INLINE_ Vector3 normalized() const {
        Vector3 v = *this;
        v.normalize();
        return v;
    }
    _FORCE_INLINE_ bool is_normalized() const {
        return Math::is_equal_approx(length_squared(), 1.0f, real_t(UNIT_EPSILON));
    }
    _FORCE_INLINE_ Vector3 inverse() const { return Vector3(1.0f / x, 1.0f / y, 1.0f / z); }

    // Scaled down to p_len when longer; a zero vector stays zero.
    Vector3 limit_length(const real_t p_len = 1.0) const;

    _FORCE_INLINE_ void zero() { x = y = z = 0; }

    _FORCE_INLINE_ Vector3 lerp(const Vector3 &p_to, const real_t p_weight) const {
        return Vector3(Math::lerp(x, p_to.x, p_weight), Math::lerp(y, p_to.y, p_weight),
                       Math::lerp(z, p_to.z, p_weight));
    }

    _FORCE_INLINE_ Vector3 cross(const Vector3 &p_with) const {
        return Vector3((y * p_with.z) - (z * p_with.y), (z * p_with.x) - (x * p_with.z),
                       (x * p_with.y) - (y * p_with.x));
    }
    _FORCE_INLINE_ real_t dot(const Vector3 &p_with) const {
        return x * p_with.x + y * p_with.y + z * p_with.z;
    }

    _FORCE_INLINE_ Vector3 abs() const { return Vector3(Math::abs(x), Math::abs(y), Math::abs(z)); }

    _FORCE_INLINE_ real_t distance_to(const Vector3 &p_to) const { return (p_to - *this).length(); }
    _FORCE_INLINE_ real_t distance_squared_to(const Vector3 &p_to) const {
        return (p_to - *this).length_squared();
    }
    _FORCE_INLINE_ Vector3 direction_to(const Vector3 &p_to) const {
        Vector3 ret(p_to.x - x, p_to.y - y, p_to.z - z);
        ret.normalize();
        return ret;
    }

    bool is_equal_approx(const Vector3 &p_v) const {
        return Math::is_equal_approx(x, p_v.x) && Math::is_equal_approx(y, p_v.y) &&
               Math::is_equal_approx(z, p_v.z);
    }
    bool is_zero_approx() const {
        return Math::is_zero_approx(x) && Math::is_zero_approx(y) && Math::is_zero_approx(z);
    }
    // No component is NaN or infinite.
    bool is_finite() const { return Math::is_finite(x) && Math::is_finite(y) && Math::is_finite(z); }

    _FORCE_INLINE_ Vector3 &operator+=(const Vector3 &p_v) {
        x += p_v.x;
        y += p_v.y;
        z += p_v.z;
        return *this;
    }
    _FORCE_INLINE_ Vector3 operator+(const Vector3 &p_v) const {
        return Vector3(x + p_v.x, y + p_v.y, z + p_v.z);
    }
    _FORCE_INLINE_ Vector3 &operator-=(const Vector3 &p_v) {
        x -= p_v.x;
        y -= p_v.y;
        z -= p_v.z;
        return *this;
    }
    _FORCE_INLINE_ Vector3 operator-(const Vector3 &p_v) const {
        return Vector3(x - p_v.x, y - p_v.y, z - p_v.z);
    }
    _FORCE_INLINE_ Vector3 &operator*=(const Vector3 &p_v) {
        x *= p_v.x;
        y *= p_v.y;
        z *= p_v.z;
        return *this;
    }
    _FORCE_INLINE_ Vector3 operator*(const Vector3 &p_v) const {
        return Vector3(x * p_v.x, y * p_v.y, z * p_v.z);
    }
    _FORCE_INLINE_ Vector3 &operator/=(const Vector3 &p_v) {
        x /= p_v.x;
        y /= p_v.y;
        z /= p_v.z;
        return *this;
    }
    _FORCE_INLINE_ Vector3 operator/(const Vector3 &p_v) const {
        return Vector3(x / p_v.x, y / p_v.y, z / p_v.z);
    }

    _FORCE_INLINE_ Vector3 &operator*=(const real_t p_scalar) {
        x *= p_scalar;
        y *= p_scalar;
        z *= p_scalar;
        return *this;
    }
    _FORCE_INLINE_ Vector3 operator*(const real_t p_scalar) const {
        return Vector3(x * p_scalar, y * p_scalar, z * p_scalar);
    }
    _FORCE_INLINE_ Vector3 &operator/=(const real_t p_scalar) {
        x /= p_scalar;
        y /= p_scalar;
        z /= p_scalar;
        return *this;
    }
    _FORCE_INLINE_ Vector3 operator/(const real_t p_scalar) const {
        return Vector3(x / p_scalar, y / p_scalar, z / p_scalar);
    }

    _FORCE_INLINE_ Vector3 operator-() const { return Vector3(-x, -y, -z); }

    _FORCE_INLINE_ bool operator==(const Vector3 &p_v) const {
        return x == p_v.x && y == p_v.y && z == p_v.z;
    }
    _FORCE_INLINE_ bool operator!=(const Vector3 &p_v) const {
        return x != p_v.x || y != p_v.y || z != p_v.z;
    }
    _FORCE_INLINE_ bool operator<(const Vector3 &p_v) const {
        if (x == p_v.x) {
            if (y == p_v.y) {
                return z < p_v.z;
            }
            return y < p_v.y;
        }
        return x < p_v.x;
    }

    _FORCE_INLINE_ Vector3() {}
    _FORCE_INLINE_ Vector3(const real_t p_x, const real_t p_y, const real_t p_z) {
        x = p_x;
        y = p_y;
        z = p_z;
    }
};

_FORCE_INLINE_ Vector3 operator*(const float p_scalar, const Vector3 &p_vec) {
    return p_vec * p_scalar;
}
_FORCE_INLINE_ Vector3 operator*(const double p_scalar, const Vector3 &p_vec) {
    return p_vec * static_cast<real_t>(p_scalar);
}
_FORCE_INLINE_ Vector3 operator*(const int32_t p_scalar, const Vector3 &p_vec) {
    return p_vec * static_cast<real_t>(p_scalar);
}
_FORCE_INLINE_ Vector3 operator*(const int64_t p_scalar, const Vector3 &p_vec) {
    return p_vec * static_cast<real_t>(p_scalar);
}

} // namespace godot
