// Just enough of the shading language's single-precision vector types and built-in functions for the
// generated sea include to compile as C++, so the test evaluates that very text.
#pragma once

#include <cmath>

namespace glsl {

struct vec2 {
    float x, y;
    vec2(float p_x, float p_y) : x(p_x), y(p_y) {}
};

struct vec3 {
    float x, y, z;
    vec3(float p_x, float p_y, float p_z) : x(p_x), y(p_y), z(p_z) {}
};

inline vec2 operator+(vec2 p_a, vec2 p_b) {
    return vec2(p_a.x + p_b.x, p_a.y + p_b.y);
}
inline vec2 operator*(vec2 p_a, float p_s) {
    return vec2(p_a.x * p_s, p_a.y * p_s);
}
inline vec2 operator*(float p_s, vec2 p_a) {
    return p_a * p_s;
}

inline float dot(vec2 p_a, vec2 p_b) {
    return p_a.x * p_b.x + p_a.y * p_b.y;
}
inline float sin(float p_x) {
    return std::sin(p_x);
}
inline float cos(float p_x) {
    return std::cos(p_x);
}
inline float floor(float p_x) {
    return std::floor(p_x);
}
// GLSL's definition: x - y * floor(x / y).
inline float mod(float p_x, float p_y) {
    return p_x - p_y * floor(p_x / p_y);
}
inline vec3 normalize(vec3 p_v) {
    const float length = std::sqrt(p_v.x * p_v.x + p_v.y * p_v.y + p_v.z * p_v.z);
    return vec3(p_v.x / length, p_v.y / length, p_v.z / length);
}

} // namespace glsl
