// What every entry point accepts as controls and wind: the boat's setters, the packet decoder and the
// predictor apply the same rules, so a value means the same wherever it arrives.
#pragma once

#include <godot_cpp/variant/vector2.hpp>

#include <cfloat>
#include <cmath>

namespace brinewake {

// m/s, the longest wind vector a boat or a predictor takes.
inline constexpr float MAX_WIND_LENGTH = 2.0f;

// A throttle or steering input: finite values clamped to [-1, 1], anything else 0.
inline double clamp_control(double p_value) {
    if (!std::isfinite(p_value)) {
        return 0.0;
    }
    return p_value < -1.0 ? -1.0 : (p_value > 1.0 ? 1.0 : p_value);
}

// A finite wind limited to MAX_WIND_LENGTH with its direction kept; a shorter one unchanged. A vector
// whose length overflows single precision is scaled by its larger component first, so that it keeps
// its direction instead of collapsing to zero.
inline godot::Vector2 limit_wind(float p_x, float p_y) {
    float length = std::sqrt(p_x * p_x + p_y * p_y);
    if (!(length > MAX_WIND_LENGTH)) {
        return godot::Vector2(p_x, p_y);
    }
    if (!(length <= FLT_MAX)) {
        const float scale = std::fmax(std::fabs(p_x), std::fabs(p_y));
        p_x /= scale;
        p_y /= scale;
        length = std::sqrt(p_x * p_x + p_y * p_y);
    }
    return godot::Vector2(p_x / length * MAX_WIND_LENGTH, p_y / length * MAX_WIND_LENGTH);
}

} // namespace brinewake
