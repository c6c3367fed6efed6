// Four-component single-precision vector.
#pragma once

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>

namespace godot {

struct [[nodiscard]] Vector4 {
    static const int AXIS_COUNT = 4;

    enum Axis {
        AXIS_X,
        AXIS_Y,
        AXIS_Z,
        AXIS_W,
    };

    real_t x = 0;
    real_t y = 0;
    real_t z = 0;
    real_t w = 0;

    _FORCE_INLINE_ real_t &operator[](const int p_axis) {
        return p_axis == 0 ? x : (p_axis == 1 ? y : (p_axis == 2 ? z : w));
    }
    _FORCE_INLINE_ const real_t &operator[](const int p_axis) const {
        return p_axis == 0 ? x : (p_axis == 1 ? y : (p_axis == 2 ? z : w));
    }

    _FORCE_INLINE_ real_t length_squared() const { return dot(*this); }
    real_t length() const { return Math::sqrt(length_squared()); }
    void normalize() {
        real_t lengthsq = length_squared();
        if (lengthsq == 0) {
            x = y = z = w = 0;
        } else {
            real_t len = Math::sqrt(lengthsq);
            x /= len;
            y /= len;
            z /= len;
            w /= len;
        }
    }
    Vector4 normalized() const {
        Vector4 v = *this;
        v.normalize();
        return v;
    }
    bool is_finite() const {
        return Math::is_finite(x) && Math::is_finite(y) && Math::is_finite(z) && Math::is_finite(w);
    }
    bool is_equal_approx(const Vector4 &p_v) const {
        return Math::is_equal_approx(x, p_v.x) && Math::is_equal_approx(y, p_v.y) &&
               Math::is_equal_approx(z, p_v.z) && Math::is_equal_approx(w, p_v.w);
    }

    _FORCE_INLINE_ real_t dot(const Vector4 &p_v) const {
        return x * p_v.x + y * p_v.y + z * p_v.z + w * p_v.w;
    }

    _FORCE_INLINE_ void operator+=(const Vector4 &p_v) {
        x += p_v.x;
        y += p_v.y;
        z += p_v.z;
        w += p_v.w;
    }
    _FORCE_INLINE_ void operator-=(const Vector4 &p_v) {
        x -= p_v.x;
        y -= p_v.y;
        z -= p_v.z;
        w -= p_v.w;
    }
    _FORCE_INLINE_ void operator*=(const real_t &p_s) {
        x *= p_s;
        y *= p_s;
        z *= p_s;
        w *= p_s;
    }
    _FORCE_INLINE_ void operator/=(const real_t &p_s) {
        x /= p_s;
        y /= p_s;
        z /= p_s;
        w /= p_s;
    }
    _FORCE_INLINE_ Vector4 operator+(const Vector4 &p_v) const {
        return Vector4(x + p_v.x, y + p_v.y, z + p_v.z, w + p_v.w);
    }
    _FORCE_INLINE_ Vector4 operator-(const Vector4 &p_v) const {
        return Vector4(x - p_v.x, y - p_v.y, z - p_v.z, w - p_v.w);
    }
    _FORCE_INLINE_ Vector4 operator*(const Vector4 &p_v) const {
        return Vector4(x * p_v.x, y * p_v.y, z * p_v.z, w * p_v.w);
    }
    _FORCE_INLINE_ Vector4 operator/(const Vector4 &p_v) const {
        return Vector4(x / p_v.x, y / p_v.y, z / p_v.z, w / p_v.w);
    }
    _FORCE_INLINE_ Vector4 operator-() const { return Vector4(-x, -y, -z, -w); }
    _FORCE_INLINE_ Vector4 operator*(const real_t &p_s) const {
        return Vector4(x * p_s, y * p_s, z * p_s, w * p_s);
    }
    _FORCE_INLINE_ Vector4 operator/(const real_t &p_s) const {
        return Vector4(x / p_s, y / p_s, z / p_s, w / p_s);
    }

    _FORCE_INLINE_ bool operator==(const Vector4 &p_v) const {
        return x == p_v.x && y == p_v.y && z == p_v.z && w == p_v.w;
    }
    _FORCE_INLINE_ bool operator!=(const Vector4 &p_v) const { return !(*this == p_v); }

    _FORCE_INLINE_ Vector4() {}
    _FORCE_INLINE_ Vector4(real_t p_x, real_t p_y, real_t p_z, real_t p_w) {
        x = p_x;
        y = p_y;
        z = p_z;
        w = p_w;
    }
};

_FORCE_INLINE_ Vector4 operator*(const float p_scalar, const Vector4 &p_vec) {
    return p_vec * p_scalar;
}
_FORCE_INLINE_ Vector4 operator*(const double p_scalar, const Vector4 &p_vec) {
    return p_vec * static_cast<real_t>(p_scalar);
}
_FORCE_INLINE_ Vector4 operator*(const int32_t p_scalar, const Vector4 &p_vec) {
    return p_vec * static_cast<real_t>(p_scalar);
}
_FORCE_INLINE_ Vector4 operator*(const int64_t p_scalar, const Vector4 &p_vec) {
    return p_vec * static_cast<real_t>(p_scalar);
}

} // namespace godot
