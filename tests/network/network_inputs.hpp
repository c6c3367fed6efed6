// Hostile network input built from a stream of bytes: packets near the valid format, and boat states
// and combat match states with arbitrary keys, types and values. Shared by the bounded random-input test
// (bytes from a seeded generator) and the fuzz targets (bytes from the fuzzer).
#pragma once

#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/quaternion.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace brinewake_test {

// Bytes from a fuzzer's input; zeros once it runs out.
class InputBytes {
public:
    InputBytes(const uint8_t *p_data, size_t p_size) : data(p_data), size(p_size) {}
    uint8_t next() { return position < size ? data[position++] : 0; }
    bool exhausted() const { return position >= size; }

private:
    const uint8_t *data;
    size_t size;
    size_t position = 0;
};

// Bytes from a seeded generator (splitmix64), for reproducible bounded runs.
class SeededBytes {
public:
    explicit SeededBytes(uint64_t p_seed) : state(p_seed) {}
    uint8_t next() {
        if (available == 0) {
            uint64_t z = (state += 0x9E3779B97F4A7C15ull);
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            buffer = z ^ (z >> 31);
            available = 8;
        }
        --available;
        const uint8_t value = uint8_t(buffer & 0xFFu);
        buffer >>= 8;
        return value;
    }
    bool exhausted() const { return false; }

private:
    uint64_t state;
    uint64_t buffer = 0;
    int available = 0;
};

template <typename Source> uint32_t next_u32(Source &p_source) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value |= uint32_t(p_source.next()) << (8 * i);
    }
    return value;
}

template <typename Source> uint64_t next_u64(Source &p_source) {
    return uint64_t(next_u32(p_source)) | (uint64_t(next_u32(p_source)) << 32);
}

// Mostly the values that break arithmetic, sometimes ordinary ones.
template <typename Source> double next_double(Source &p_source) {
    static const double specials[] = {0.0,
                                      -0.0,
                                      1.0,
                                      -1.0,
                                      50.0,
                                      80.0,
                                      0.5,
                                      std::numeric_limits<double>::quiet_NaN(),
                                      -std::numeric_limits<double>::quiet_NaN(),
                                      std::numeric_limits<double>::infinity(),
                                      -std::numeric_limits<double>::infinity(),
                                      DBL_MAX,
                                      -DBL_MAX,
                                      DBL_MIN,
                                      std::numeric_limits<double>::denorm_min(),
                                      1e300,
                                      -1e300,
                                      double(FLT_MAX) * 2.0,
                                      double(INT64_MAX),
                                      -9.2233720368547758e18,
                                      1e-9,
                                      5e-9};
    const uint8_t pick = p_source.next();
    if (pick < 128) {
        return specials[pick % (sizeof(specials) / sizeof(specials[0]))];
    }
    if (pick < 192) {
        return (double(next_u32(p_source)) / 4294967295.0 - 0.5) * 200.0;
    }
    uint64_t bits = next_u64(p_source);
    double value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

template <typename Source> float next_float(Source &p_source) {
    const uint8_t pick = p_source.next();
    if (pick < 200) {
        const double value = next_double(p_source);
        // Out of the single range: infinities of the same sign (no undefined narrowing).
        if (std::fabs(value) > double(FLT_MAX)) {
            return value > 0.0 ? std::numeric_limits<float>::infinity()
                               : -std::numeric_limits<float>::infinity();
        }
        return static_cast<float>(value);
    }
    uint32_t bits = next_u32(p_source);
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

template <typename Source> int64_t next_int(Source &p_source) {
    static const int64_t specials[] = {0,
                                       1,
                                       -1,
                                       2,
                                       5,
                                       6,
                                       7,
                                       60,
                                       61,
                                       255,
                                       256,
                                       INT32_MAX,
                                       INT32_MIN,
                                       int64_t(1) << 32,
                                       (int64_t(1) << 32) + 1,
                                       INT64_MAX,
                                       INT64_MIN};
    const uint8_t pick = p_source.next();
    if (pick < 160) {
        return specials[pick % (sizeof(specials) / sizeof(specials[0]))];
    }
    return int64_t(next_u64(p_source));
}

template <typename Source> godot::Vector3 next_vector3(Source &p_source) {
    const float x = next_float(p_source);
    const float y = next_float(p_source);
    return godot::Vector3(x, y, next_float(p_source));
}

template <typename Source> godot::Variant next_variant(Source &p_source, int p_depth);

template <typename Source> godot::Array next_array(Source &p_source, int p_depth) {
    godot::Array array;
    const int count = p_source.next() % 5;
    for (int i = 0; i < count; ++i) {
        array.push_back(next_variant(p_source, p_depth + 1));
    }
    return array;
}

template <typename Source> godot::Variant next_variant(Source &p_source, int p_depth) {
    switch (p_source.next() % 16) {
    case 0:
        return godot::Variant();
    case 1:
        return godot::Variant(bool(p_source.next() & 1));
    case 2:
    case 3:
        return godot::Variant(next_int(p_source));
    case 4:
    case 5:
    case 6:
        return godot::Variant(next_double(p_source));
    case 7: {
        static const char *texts[] = {"", "12", "nan", "inf", "-3.5", "transform", "1e400"};
        return godot::Variant(godot::String(texts[p_source.next() % 7]));
    }
    case 8: {
        const float x = next_float(p_source);
        return godot::Variant(godot::Vector2(x, next_float(p_source)));
    }
    case 9:
    case 10:
        return godot::Variant(next_vector3(p_source));
    case 11:
    case 12: {
        godot::Basis basis;
        if (p_source.next() & 1) {
            for (int i = 0; i < 3; ++i) {
                basis.rows[i] = next_vector3(p_source);
            }
        } else {
            const float angle = float(p_source.next()) * 0.05f;
            basis = godot::Basis(godot::Vector3(0.0f, 1.0f, 0.0f), angle);
        }
        return godot::Variant(godot::Transform3D(basis, next_vector3(p_source)));
    }
    case 13:
        if (p_depth < 2) {
            return godot::Variant(next_array(p_source, p_depth));
        }
        return godot::Variant(next_int(p_source));
    case 14: {
        godot::PackedByteArray bytes;
        const int count = p_source.next() % 8;
        for (int i = 0; i < count; ++i) {
            bytes.push_back(p_source.next());
        }
        return godot::Variant(bytes);
    }
    default:
        if (p_depth < 2) {
            godot::Dictionary nested;
            nested["health"] = next_variant(p_source, p_depth + 1);
            return godot::Variant(nested);
        }
        return godot::Variant(next_double(p_source));
    }
}

inline const char *const STATE_KEYS[] = {"transform",         "velocity", "time",   "health",
                                         "respawn_remaining", "boost",    "weapon", "ammo"};

// A state dictionary: known keys (some missing, some repeated with other values, some as
// StringName), junk keys, values of any type.
template <typename Source> godot::Dictionary next_state(Source &p_source) {
    godot::Dictionary state;
    const int entries = p_source.next() % 14;
    for (int i = 0; i < entries; ++i) {
        const uint8_t pick = p_source.next();
        godot::Variant key;
        if (pick < 200) {
            const char *name = STATE_KEYS[pick % 8];
            key =
                (pick & 0x80) ? godot::Variant(godot::StringName(name)) : godot::Variant(godot::String(name));
        } else if (pick < 230) {
            static const char *junk[] = {"", "Health", "ammo ", "weapons", "respawn"};
            key = godot::Variant(godot::String(junk[pick % 5]));
        } else {
            key = godot::Variant(next_int(p_source));
        }
        if (p_source.next() < 64) {
            // An "ammo" value that is an array of numbers more often than chance would give.
            godot::Array ammo;
            const int count = p_source.next() % 4;
            for (int k = 0; k < count; ++k) {
                ammo.push_back(p_source.next() & 1 ? godot::Variant(next_int(p_source))
                                                   : godot::Variant(next_double(p_source)));
            }
            state[key] = ammo;
        } else {
            state[key] = next_variant(p_source, 0);
        }
    }
    return state;
}

inline const char *const MATCH_ENTRY_KEYS[] = {"id",     "kind",   "position", "velocity", "age",
                                               "anchor", "active", "timer",    "burning"};

// A value for a match-state entry: mostly of the type a save writes for the key, sometimes anything.
template <typename Source> godot::Variant next_entry_value(Source &p_source, const char *p_key) {
    if (p_source.next() < 48) {
        return next_variant(p_source, 1);
    }
    const std::string key = p_key;
    if (key == "id") {
        return godot::Variant(next_int(p_source));
    }
    if (key == "kind") {
        static const int64_t kinds[] = {0, 1, 0, 1, 100, 101, 2, -1, 255, 256, int64_t(1) << 32};
        return p_source.next() < 200 ? godot::Variant(kinds[p_source.next() % 11])
                                     : godot::Variant(next_int(p_source));
    }
    if (key == "position" || key == "velocity" || key == "anchor") {
        return godot::Variant(next_vector3(p_source));
    }
    if (key == "active" || key == "burning") {
        return godot::Variant(bool(p_source.next() & 1));
    }
    return godot::Variant(next_double(p_source));
}

// A shot or item entry: the save's keys, some missing or repeated, some as StringName; sometimes no
// dictionary at all.
template <typename Source> godot::Variant next_match_entry(Source &p_source) {
    if (p_source.next() < 24) {
        return next_variant(p_source, 1);
    }
    godot::Dictionary entry;
    const int count = p_source.next() % 8;
    for (int i = 0; i < count; ++i) {
        const uint8_t pick = p_source.next();
        const char *name = MATCH_ENTRY_KEYS[pick % 9];
        const godot::Variant key =
            (pick & 0x80) ? godot::Variant(godot::StringName(name)) : godot::Variant(godot::String(name));
        entry[key] = next_entry_value(p_source, name);
    }
    return godot::Variant(entry);
}

// A match state: "next_id", "shots" and "items" of any shape, each sometimes missing or of another type.
template <typename Source> godot::Dictionary next_match_state(Source &p_source) {
    godot::Dictionary state;
    if (p_source.next() & 1) {
        state["next_id"] =
            p_source.next() < 200 ? godot::Variant(next_int(p_source)) : next_variant(p_source, 1);
    }
    for (const char *list : {"shots", "items"}) {
        const uint8_t pick = p_source.next();
        if (pick < 24) {
            continue;
        }
        if (pick < 40) {
            state[list] = next_variant(p_source, 1);
            continue;
        }
        godot::Array entries;
        const int count = p_source.next() % 6;
        for (int i = 0; i < count; ++i) {
            entries.push_back(next_match_entry(p_source));
        }
        state[list] = entries;
    }
    return state;
}

// Bytes near the packet format: right or wrong length, count, special floats.
template <typename Source>
godot::PackedByteArray next_packet(Source &p_source, const uint8_t *p_valid, size_t p_size) {
    godot::PackedByteArray packet;
    const uint8_t shape = p_source.next();
    size_t size = p_size;
    if (shape < 40) {
        size = p_source.next() % 130;
    } else if (shape < 80) {
        size = 90 + 4 * size_t(p_source.next() % 6) + (shape & 1);
    }
    if (size == 0) {
        return packet;
    }
    packet.resize(int64_t(size));
    uint8_t *bytes = packet.ptrw();
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = i < p_size ? p_valid[i] : p_source.next();
    }
    if (size >= 90 && shape >= 40) {
        bytes[89] = uint8_t((size - 90) / 4);
    }
    const int edits = p_source.next() % 6;
    for (int e = 0; e < edits && size >= 4; ++e) {
        const size_t field = 4 * size_t(p_source.next() % (size / 4));
        const float value = next_float(p_source);
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof(bits));
        for (int b = 0; b < 4; ++b) {
            bytes[field + size_t(b)] = uint8_t(bits >> (8 * b));
        }
    }
    if ((p_source.next() & 3) == 0) {
        bytes[p_source.next() % size] = p_source.next();
    }
    return packet;
}

// What a script sees of a boat after hostile input: every value finite and in range. Returns what
// is wrong, or an empty string.
inline std::string boat_problem(godot::RigidBody3D *p_boat) {
    const double health = p_boat->call("get_health");
    const double respawn = p_boat->call("get_respawn_remaining");
    const double boost = p_boat->call("get_speed_boost_remaining");
    const double time = p_boat->call("get_wave_time");
    const int64_t weapon = p_boat->call("get_selected_weapon");
    const int64_t rockets = p_boat->call("get_ammo", 0);
    const int64_t cannon = p_boat->call("get_ammo", 1);
    if (!(health >= 0.0 && health <= 50.0)) {
        return "health " + std::to_string(health);
    }
    if (!(respawn >= 0.0 && respawn <= DBL_MAX)) {
        return "respawn " + std::to_string(respawn);
    }
    if (!(boost >= 0.0 && boost <= DBL_MAX)) {
        return "boost " + std::to_string(boost);
    }
    if (!std::isfinite(time)) {
        return "wave time " + std::to_string(time);
    }
    if (weapon != 0 && weapon != 1) {
        return "weapon " + std::to_string(weapon);
    }
    if (rockets < 0 || rockets > 6 || cannon < 0 || cannon > 60) {
        return "ammo " + std::to_string(rockets) + ", " + std::to_string(cannon);
    }
    if (!p_boat->get_global_transform().is_finite()) {
        return "transform";
    }
    if (!p_boat->get_linear_velocity().is_finite()) {
        return "velocity";
    }
    return std::string();
}

} // namespace brinewake_test
