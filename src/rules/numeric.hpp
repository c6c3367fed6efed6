// Numeric rules every unit shares: finiteness tests, saturating rounding to single precision, and the
// one way a direction is normalized.
#pragma once

#include <godot_cpp/variant/vector3.hpp>

#include <cfloat>
#include <cmath>

namespace brinewake {

// Finite: neither NaN nor infinite, tested as |v| <= the largest finite value of the type.
inline bool is_finite_single(float p_value) {
    return std::fabs(p_value) <= FLT_MAX;
}
inline bool is_finite_double(double p_value) {
    return std::fabs(p_value) <= DBL_MAX;
}

// Rounds to single precision; finite values beyond the single range saturate to +-FLT_MAX instead of
// the undefined out-of-range conversion. NaN and infinities pass through.
inline float round_to_single(double p_value) {
    if (is_finite_double(p_value)) {
        if (p_value > static_cast<double>(FLT_MAX)) {
            return FLT_MAX;
        }
        if (p_value < -static_cast<double>(FLT_MAX)) {
            return -FLT_MAX;
        }
    }
    return static_cast<float>(p_value);
}

// The unit vector along p_vector in single precision, or (0, 0, 0) when p_vector has a non-finite
// component or a zero squared length. Every combat direction is normalized this way.
inline godot::Vector3 safe_normalized(const godot::Vector3 &p_vector) {
    if (!is_finite_single(p_vector.x) || !is_finite_single(p_vector.y) || !is_finite_single(p_vector.z)) {
        return godot::Vector3();
    }
    const float length_sq = p_vector.x * p_vector.x + p_vector.y * p_vector.y + p_vector.z * p_vector.z;
    if (length_sq == 0.0f) {
        return godot::Vector3();
    }
    const float length = std::sqrt(length_sq);
    return godot::Vector3(p_vector.x / length, p_vector.y / length, p_vector.z / length);
}

} // namespace brinewake
