// Two-component single-precision vector.
#pragma once

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>

namespace godot {

struct [[nodiscard]] Vector2 {
    static const int AXIS_COUNT = 2;

    enum Axis {
        AXIS_X,
        AXIS_Y,
    };

    real_t x = 0;
    real_t y = 0;

    _FORCE_INLINE_ real_t &operator[](int p_idx) { return p_idx == 0 ? x : y; }
    _FORCE_INLINE_ const real_t &operator[](int p_idx) const { return p_idx == 0 ? x : y; }

    _FORCE_INLINE_ real_t length() const { return Math::sqrt(x * x + y * y); }
    _FORCE_INLINE_ real_t length_squared() const { return x * x + y * y; }

    void normalize() {
        real_t l = x * x + y * y;
        if (l != 0) {
            l = Math::sqrt(l);
            x /= l;
            y /= l;
        }
    }
    Vector2 normalized() const {
        Vector2 v = *this;
        v.normalize();
        return v;
    }
    bool is_normalized() const { return Math::is_equal_approx(length_squared(), 1.0f, real_t(UNIT_EPSILON)); }

    // Scaled down to p_len when longer; a zero vector stays zero.
    Vector2 limit_length(const real_t p_len = 1.0) const;

    real_t distance_to(const Vector2 &p_other) const { return (*this - p_other).length(); }
    real_t distance_squared_to(const Vector2 &p_other) const { return (*this - p_other).length_squared(); }
    real_t dot(const Vector2 &p_other) const { return x * p_other.x + y * p_other.y; }
    real_t cross(const Vector2 &p_other) const { return x * p_other.y - y * p_other.x; }
    Vector2 lerp(const Vector2 &p_to, const real_t p_weight) const {
        return Vector2(Math::lerp(x, p_to.x, p_weight), Math::lerp(y, p_to.y, p_weight));
    }
    Vector2 abs() const { return Vector2(Math::abs(x), Math::abs(y)); }
    real_t angle() const { return Math::atan2(y, x); }

    bool is_equal_approx(const Vector2 &p_v) const {
        return Math::is_equal_approx(x, p_v.x) && Math::is_equal_approx(y, p_v.y);
    }
    bool is_zero_approx() const { return Math::is_zero_approx(x) && Math::is_zero_approx(y); }
    bool is_finite() const { return Math::is_finite(x) && Math::is_finite(y); }

    _FORCE_INLINE_ Vector2 operator+(const Vector2 &p_v) const { return Vector2(x + p_v.x, y + p_v.y); }
    _FORCE_INLINE_ void operator+=(const Vector2 &p_v) {
        x += p_v.x;
        y += p_v.y;
    }
    _FORCE_INLINE_ Vector2 operator-(const Vector2 &p_v) const { return Vector2(x - p_v.x, y - p_v.y); }
    _FORCE_INLINE_ void operator-=(const Vector2 &p_v) {
        x -= p_v.x;
        y -= p_v.y;
    }
    _FORCE_INLINE_ Vector2 operator*(const Vector2 &p_v) const { return Vector2(x * p_v.x, y * p_v.y); }
    _FORCE_INLINE_ Vector2 operator*(const real_t &p_s) const { return Vector2(x * p_s, y * p_s); }
    _FORCE_INLINE_ void operator*=(const real_t &p_s) {
        x *= p_s;
        y *= p_s;
    }
    _FORCE_INLINE_ void operator*=(const Vector2 &p_v) { *this = *this * p_v; }
    _FORCE_INLINE_ Vector2 operator/(const Vector2 &p_v) const { return Vector2(x / p_v.x, y / p_v.y); }
    _FORCE_INLINE_ Vector2 operator/(const real_t &p_s) const { return Vector2(x / p_s, y / p_s); }
    _FORCE_INLINE_ void operator/=(const real_t &p_s) {
        x /= p_s;
        y /= p_s;
    }
    _FORCE_INLINE_ void operator/=(const Vector2 &p_v) { *this = *this / p_v; }
    _FORCE_INLINE_ Vector2 operator-() const { return Vector2(-x, -y); }

    _FORCE_INLINE_ bool operator==(const Vector2 &p_v) const { return x == p_v.x && y == p_v.y; }
    _FORCE_INLINE_ bool operator!=(const Vector2 &p_v) const { return x != p_v.x || y != p_v.y; }

    _FORCE_INLINE_ Vector2() {}
    _FORCE_INLINE_ Vector2(const real_t p_x, const real_t p_y) {
        x = p_x;
        y = p_y;
    }
};

_FORCE_INLINE_ Vector2 operator*(const float p_scalar, const Vector2 &p_vec) {
    return p_vec * p_scalar;
}
_FORCE_INLINE_ Vector2 operator*(const double p_scalar, const Vector2 &p_vec) {
    return p_vec * static_cast<real_t>(p_scalar);
}
_FORCE_INLINE_ Vector2 operator*(const int32_t p_scalar, const Vector2 &p_vec) {
    return p_vec * static_cast<real_t>(p_scalar);
}
_FORCE_INLINE_ Vector2 operator*(const int64_t p_scalar, const Vector2 &p_vec) {
    return p_vec * static_cast<real_t>(p_scalar);
}

} // namespace godot
