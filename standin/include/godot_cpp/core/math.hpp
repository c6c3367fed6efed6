// Scalar maths of the binding layer: float and double overloads, so that real_t code stays in float.
#pragma once

#include <godot_cpp/core/defs.hpp>

#include <cmath>

namespace godot {

#define Math_SQRT12 0.7071067811865475244008443621048490
#define Math_SQRT2 1.4142135623730950488016887242
#define Math_LN2 0.6931471805599453094172321215
#define Math_PI 3.1415926535897932384626433833
#define Math_TAU 6.2831853071795864769252867666
#define Math_E 2.7182818284590452353602874714
#define Math_INF INFINITY
#define Math_NAN NAN

#undef ABS
#undef SIGN
#undef MIN
#undef MAX
#undef CLAMP

template <typename T> constexpr T ABS(T m_v) {
    return m_v < 0 ? -m_v : m_v;
}

template <typename T> constexpr const T SIGN(const T m_v) {
    return m_v == 0 ? 0.0f : (m_v < 0 ? -1.0f : +1.0f);
}

template <typename T, typename T2> constexpr auto MIN(const T m_a, const T2 m_b) {
    return m_a < m_b ? m_a : m_b;
}

template <typename T, typename T2> constexpr auto MAX(const T m_a, const T2 m_b) {
    return m_a > m_b ? m_a : m_b;
}

template <typename T, typename T2, typename T3>
constexpr auto CLAMP(const T m_a, const T2 m_min, const T3 m_max) {
    return m_a < m_min ? m_min : (m_a > m_max ? m_max : m_a);
}

namespace Math {

#define CMP_EPSILON 0.00001f
#define CMP_EPSILON2 (CMP_EPSILON * CMP_EPSILON)
#define UNIT_EPSILON 0.001

inline double fmod(double p_x, double p_y) {
    return std::fmod(p_x, p_y);
}
inline float fmod(float p_x, float p_y) {
    return std::fmod(p_x, p_y);
}
inline double fposmod(double p_x, double p_y) {
    double value = std::fmod(p_x, p_y);
    if ((value < 0 && p_y > 0) || (value > 0 && p_y < 0)) {
        value += p_y;
    }
    return value + 0.0;
}
inline float fposmod(float p_x, float p_y) {
    float value = std::fmod(p_x, p_y);
    if ((value < 0 && p_y > 0) || (value > 0 && p_y < 0)) {
        value += p_y;
    }
    return value + 0.0f;
}
inline int64_t posmod(int64_t p_x, int64_t p_y) {
    int64_t value = p_x % p_y;
    if ((value < 0 && p_y > 0) || (value > 0 && p_y < 0)) {
        value += p_y;
    }
    return value;
}

inline double floor(double p_x) {
    return std::floor(p_x);
}
inline float floor(float p_x) {
    return std::floor(p_x);
}
inline double ceil(double p_x) {
    return std::ceil(p_x);
}
inline float ceil(float p_x) {
    return std::ceil(p_x);
}
inline double round(double p_x) {
    return std::round(p_x);
}
inline float round(float p_x) {
    return std::round(p_x);
}
inline double exp(double p_x) {
    return std::exp(p_x);
}
inline float exp(float p_x) {
    return std::exp(p_x);
}
inline double log(double p_x) {
    return std::log(p_x);
}
inline float log(float p_x) {
    return std::log(p_x);
}
inline double pow(double p_x, double p_y) {
    return std::pow(p_x, p_y);
}
inline float pow(float p_x, float p_y) {
    return std::pow(p_x, p_y);
}
inline double sqrt(double p_x) {
    return std::sqrt(p_x);
}
inline float sqrt(float p_x) {
    return std::sqrt(p_x);
}

inline double sin(double p_x) {
    return std::sin(p_x);
}
inline float sin(float p_x) {
    return std::sin(p_x);
}
inline double cos(double p_x) {
    return std::cos(p_x);
}
inline float cos(float p_x) {
    return std::cos(p_x);
}
inline double tan(double p_x) {
    return std::tan(p_x);
}
inline float tan(float p_x) {
    return std::tan(p_x);
}
inline double asin(double p_x) {
    return std::asin(p_x);
}
inline float asin(float p_x) {
    return std::asin(p_x);
}
inline double acos(double p_x) {
    return std::acos(p_x);
}
inline float acos(float p_x) {
    return std::acos(p_x);
}
inline double atan(double p_x) {
    return std::atan(p_x);
}
inline float atan(float p_x) {
    return std::atan(p_x);
}
inline double atan2(double p_y, double p_x) {
    return std::atan2(p_y, p_x);
}
inline float atan2(float p_y, float p_x) {
    return std::atan2(p_y, p_x);
}

inline double lerp(double p_from, double p_to, double p_weight) {
    return p_from + (p_to - p_from) * p_weight;
}
inline float lerp(float p_from, float p_to, float p_weight) {
    return p_from + (p_to - p_from) * p_weight;
}
inline double inverse_lerp(double p_from, double p_to, double p_value) {
    return (p_value - p_from) / (p_to - p_from);
}
inline float inverse_lerp(float p_from, float p_to, float p_value) {
    return (p_value - p_from) / (p_to - p_from);
}

inline double deg_to_rad(double p_y) {
    return p_y * Math_PI / 180.0;
}
inline float deg_to_rad(float p_y) {
    return p_y * static_cast<float>(Math_PI) / 180.0f;
}
inline double rad_to_deg(double p_y) {
    return p_y * 180.0 / Math_PI;
}
inline float rad_to_deg(float p_y) {
    return p_y * 180.0f / static_cast<float>(Math_PI);
}

template <typename T> inline T clamp(T p_x, T p_min, T p_max) {
    if (p_x < p_min) {
        return p_min;
    }
    if (p_x > p_max) {
        return p_max;
    }
    return p_x;
}

template <typename T> inline T min(T p_a, T p_b) {
    return p_a < p_b ? p_a : p_b;
}

template <typename T> inline T max(T p_a, T p_b) {
    return p_a > p_b ? p_a : p_b;
}

template <typename T> inline T sign(T p_x) {
    return static_cast<T>(SIGN(p_x));
}

template <typename T> inline T abs(T p_x) {
    return std::abs(p_x);
}

inline float absf(float p_x) {
    return std::fabs(p_x);
}
inline double absd(double p_x) {
    return std::fabs(p_x);
}

inline bool is_nan(float p_x) {
    return std::isnan(p_x);
}
inline bool is_nan(double p_x) {
    return std::isnan(p_x);
}
inline bool is_inf(float p_x) {
    return std::isinf(p_x);
}
inline bool is_inf(double p_x) {
    return std::isinf(p_x);
}
inline bool is_finite(float p_x) {
    return std::isfinite(p_x);
}
inline bool is_finite(double p_x) {
    return std::isfinite(p_x);
}

inline bool is_equal_approx(float p_a, float p_b, float p_tolerance) {
    if (p_a == p_b) {
        return true; // also equal infinities
    }
    return std::fabs(p_a - p_b) < p_tolerance;
}
inline bool is_equal_approx(float p_a, float p_b) {
    if (p_a == p_b) {
        return true;
    }
    float tolerance = CMP_EPSILON * std::fabs(p_a);
    if (tolerance < CMP_EPSILON) {
        tolerance = CMP_EPSILON;
    }
    return std::fabs(p_a - p_b) < tolerance;
}
inline bool is_equal_approx(double p_a, double p_b, double p_tolerance) {
    if (p_a == p_b) {
        return true;
    }
    return std::fabs(p_a - p_b) < p_tolerance;
}
inline bool is_equal_approx(double p_a, double p_b) {
    if (p_a == p_b) {
        return true;
    }
    double tolerance = double(CMP_EPSILON) * std::fabs(p_a);
    if (tolerance < double(CMP_EPSILON)) {
        tolerance = double(CMP_EPSILON);
    }
    return std::fabs(p_a - p_b) < tolerance;
}
inline bool is_zero_approx(float p_x) {
    return std::fabs(p_x) < CMP_EPSILON;
}
inline bool is_zero_approx(double p_x) {
    return std::fabs(p_x) < double(CMP_EPSILON);
}

inline double move_toward(double p_from, double p_to, double p_delta) {
    return std::fabs(p_to - p_from) <= p_delta ? p_to : p_from + std::copysign(p_delta, p_to - p_from);
}
inline float move_toward(float p_from, float p_to, float p_delta) {
    return std::fabs(p_to - p_from) <= p_delta ? p_to : p_from + std::copysign(p_delta, p_to - p_from);
}

inline double snapped(double p_value, double p_step) {
    if (p_step != 0) {
        p_value = std::floor(p_value / p_step + 0.5) * p_step;
    }
    return p_value;
}

} // namespace Math
} // namespace godot
