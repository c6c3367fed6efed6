// Single-precision rotation quaternion (x, y, z imaginary, w real); the default is the identity.
#pragma once

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>
#include <godot_cpp/variant/vector3.hpp>

namespace godot {

struct [[nodiscard]] Quaternion {
    real_t x = 0;
    real_t y = 0;
    real_t z = 0;
    real_t w = 1;

    _FORCE_INLINE_ real_t &operator[](int p_idx) {
        return p_idx == 0 ? x : (p_idx == 1 ? y : (p_idx == 2 ? z : w));
    }
    _FORCE_INLINE_ const real_t &operator[](int p_idx) const {
        return p_idx == 0 ? x : (p_idx == 1 ? y : (p_idx == 2 ? z : w));
    }

    _FORCE_INLINE_ real_t dot(const Quaternion &p_q) const {
        return x * p_q.x + y * p_q.y + z * p_q.z + w * p_q.w;
    }
    _FORCE_INLINE_ real_t length_squared() const { return dot(*this); }
    real_t length() const { return Math::sqrt(length_squared()); }
    void normalize() { *this /= length(); }
    Quaternion normalized() const { return *this / length(); }
    bool is_normalized() const { return Math::is_equal_approx(length_squared(), 1.0f, real_t(UNIT_EPSILON)); }
    Quaternion inverse() const { return Quaternion(-x, -y, -z, w); }
    bool is_finite() const {
        return Math::is_finite(x) && Math::is_finite(y) && Math::is_finite(z) && Math::is_finite(w);
    }
    bool is_equal_approx(const Quaternion &p_q) const {
        return Math::is_equal_approx(x, p_q.x) && Math::is_equal_approx(y, p_q.y) &&
               Math::is_equal_approx(z, p_q.z) && Math::is_equal_approx(w, p_q.w);
    }

    void operator*=(const Quaternion &p_q) {
        real_t xx = w * p_q.x + x * p_q.w + y * p_q.z - z * p_q.y;
        real_t yy = w * p_q.y + y * p_q.w + z * p_q.x - x * p_q.z;
        real_t zz = w * p_q.z + z * p_q.w + x * p_q.y - y * p_q.x;
        w = w * p_q.w - x * p_q.x - y * p_q.y - z * p_q.z;
        x = xx;
        y = yy;
        z = zz;
    }
    Quaternion operator*(const Quaternion &p_q) const {
        Quaternion r = *this;
        r *= p_q;
        return r;
    }

    _FORCE_INLINE_ Vector3 xform(const Vector3 &p_v) const {
        Vector3 u(x, y, z);
        Vector3 uv = u.cross(p_v);
        return p_v + ((uv * w) + u.cross(uv)) * 2.0f;
    }
    _FORCE_INLINE_ Vector3 xform_inv(const Vector3 &p_v) const { return inverse().xform(p_v); }

    _FORCE_INLINE_ void operator+=(const Quaternion &p_q) {
        x += p_q.x;
        y += p_q.y;
        z += p_q.z;
        w += p_q.w;
    }
    _FORCE_INLINE_ void operator-=(const Quaternion &p_q) {
        x -= p_q.x;
        y -= p_q.y;
        z -= p_q.z;
        w -= p_q.w;
    }
    _FORCE_INLINE_ void operator*=(real_t p_s) {
        x *= p_s;
        y *= p_s;
        z *= p_s;
        w *= p_s;
    }
    _FORCE_INLINE_ void operator/=(real_t p_s) { *this *= 1.0f / p_s; }
    _FORCE_INLINE_ Quaternion operator+(const Quaternion &p_q) const {
        return Quaternion(x + p_q.x, y + p_q.y, z + p_q.z, w + p_q.w);
    }
    _FORCE_INLINE_ Quaternion operator-(const Quaternion &p_q) const {
        return Quaternion(x - p_q.x, y - p_q.y, z - p_q.z, w - p_q.w);
    }
    _FORCE_INLINE_ Quaternion operator-() const { return Quaternion(-x, -y, -z, -w); }
    _FORCE_INLINE_ Quaternion operator*(real_t p_s) const {
        return Quaternion(x * p_s, y * p_s, z * p_s, w * p_s);
    }
    _FORCE_INLINE_ Quaternion operator/(real_t p_s) const { return *this * (1.0f / p_s); }

    _FORCE_INLINE_ bool operator==(const Quaternion &p_q) const {
        return x == p_q.x && y == p_q.y && z == p_q.z && w == p_q.w;
    }
    _FORCE_INLINE_ bool operator!=(const Quaternion &p_q) const { return !(*this == p_q); }

    _FORCE_INLINE_ Quaternion() {}
    _FORCE_INLINE_ Quaternion(real_t p_x, real_t p_y, real_t p_z, real_t p_w)
        : x(p_x), y(p_y), z(p_z), w(p_w) {}
};

_FORCE_INLINE_ Quaternion operator*(real_t p_real, const Quaternion &p_quaternion) {
    return p_quaternion * p_real;
}

} // namespace godot
