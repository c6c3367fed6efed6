// Hostile replica packets built from a stream of bytes, and the check that a decoder's answer to one is
// sound. Shared by the bounded random-input test and the fuzz target.
#pragma once

#include "network_inputs.hpp"

#include "net/replica_packet.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace brinewake_test {

// Mostly finite values, so that whole records get through; sometimes anything at all.
template <typename Source> float next_wire_float(Source &p_source) {
    if (p_source.next() < 224) {
        const double value = (double(next_u32(p_source)) / 4294967295.0 - 0.5) * 400.0;
        return static_cast<float>(value);
    }
    return next_float(p_source);
}

// Counts, lengths and fields near the valid format: few records, lengths off by a little, any kind
// byte, flags mostly 0 or 1.
template <typename Source> godot::PackedByteArray next_replica_packet(Source &p_source) {
    const uint8_t shape = p_source.next();
    size_t shots = p_source.next() % 4;
    size_t items = p_source.next() % 4;
    if (shape < 16) {
        shots = next_u32(p_source) & 0xFFFFu;
        items = next_u32(p_source) & 0xFFFFu;
    }
    size_t size = 4 + 38 * shots + 22 * items;
    if (shape >= 16 && shape < 48) {
        size = p_source.next() % 10; // around the header
    } else if (shape >= 48 && shape < 80) {
        size = size + (p_source.next() % 7) - 3; // a little off
    } else if (shape < 16) {
        size = p_source.next() % 200;
    }
    godot::PackedByteArray packet;
    if (size == 0) {
        return packet;
    }
    packet.resize(int64_t(size));
    std::vector<uint8_t> bytes;
    bytes.reserve(size + 38);
    auto put = [&bytes](uint64_t p_value, int p_width) {
        for (int i = 0; i < p_width; ++i) {
            bytes.push_back(uint8_t(p_value >> (8 * i)));
        }
    };
    auto put_float = [&](float p_value) {
        uint32_t bits;
        std::memcpy(&bits, &p_value, sizeof(bits));
        put(bits, 4);
    };
    put(shots, 2);
    put(items, 2);
    const size_t records = shots + items;
    for (size_t r = 0; r < records && bytes.size() < size; ++r) {
        put(uint64_t(next_int(p_source)), 8);
        put(p_source.next(), 1);
        const uint8_t flag = p_source.next();
        put(flag < 224 ? (flag & 1u) : flag, 1);
        const int floats = r < shots ? 7 : 3;
        for (int f = 0; f < floats; ++f) {
            put_float(next_wire_float(p_source));
        }
    }
    uint8_t *out = packet.ptrw();
    for (size_t i = 0; i < size; ++i) {
        out[i] = i < bytes.size() ? bytes[i] : p_source.next();
    }
    return packet;
}

namespace detail {

inline bool finite_vector(const godot::Variant &p_value) {
    return p_value.get_type() == godot::Variant::VECTOR3 && godot::Vector3(p_value).is_finite();
}

inline bool ordered_keys(const godot::Dictionary &p_dictionary, const char *const *p_keys, int p_count) {
    const godot::Array keys = p_dictionary.keys();
    if (keys.size() != p_count) {
        return false;
    }
    for (int i = 0; i < p_count; ++i) {
        if (keys[i] != godot::Variant(p_keys[i])) {
            return false;
        }
    }
    return true;
}

inline std::string record_problem(const godot::Variant &p_record, bool p_shot) {
    static const char *const SHOT_KEYS[] = {"id", "kind", "burning", "position", "velocity", "age"};
    static const char *const ITEM_KEYS[] = {"id", "kind", "active", "position"};
    if (p_record.get_type() != godot::Variant::DICTIONARY) {
        return "record is no dictionary";
    }
    const godot::Dictionary record = p_record;
    if (!(p_shot ? ordered_keys(record, SHOT_KEYS, 6) : ordered_keys(record, ITEM_KEYS, 4))) {
        return "keys";
    }
    const godot::Variant kind = record["kind"];
    if (kind.get_type() != godot::Variant::INT || int64_t(kind) < 0 || int64_t(kind) > 255) {
        return "kind";
    }
    if (record["id"].get_type() != godot::Variant::INT ||
        record[p_shot ? "burning" : "active"].get_type() != godot::Variant::BOOL) {
        return "id or flag type";
    }
    if (!finite_vector(record["position"])) {
        return "position";
    }
    if (p_shot) {
        const godot::Variant age = record["age"];
        if (!finite_vector(record["velocity"]) || age.get_type() != godot::Variant::FLOAT ||
            !std::isfinite(double(age))) {
            return "velocity or age";
        }
    }
    return std::string();
}

} // namespace detail

// What is wrong with a decoder's answer to p_bytes, or an empty string. p_before_* are the arrays the
// caller held before; a refusal must leave them in place, an acceptance must describe the bytes so
// exactly that encoding the arrays again gives them back (flag bytes as 0 or 1).
inline std::string replica_decode_problem(const uint8_t *p_bytes, size_t p_size, bool p_accepted,
                                          const godot::Array &p_shots, const godot::Array &p_items,
                                          const godot::Array &p_before_shots,
                                          const godot::Array &p_before_items) {
    if (!p_accepted) {
        if (!p_shots.is_same_instance(p_before_shots) || !p_items.is_same_instance(p_before_items)) {
            return "refused, but the arrays were replaced";
        }
        return std::string();
    }
    if (p_size < 4) {
        return "accepted fewer than 4 bytes";
    }
    const size_t shots = size_t(p_bytes[0]) | (size_t(p_bytes[1]) << 8);
    const size_t items = size_t(p_bytes[2]) | (size_t(p_bytes[3]) << 8);
    if (p_size != 4 + 38 * shots + 22 * items) {
        return "accepted a packet of the wrong length";
    }
    if (p_shots.size() != int64_t(shots) || p_items.size() != int64_t(items)) {
        return "record counts";
    }
    for (int64_t i = 0; i < p_shots.size(); ++i) {
        const std::string problem = detail::record_problem(p_shots[i], true);
        if (!problem.empty()) {
            return "shot " + std::to_string(i) + ": " + problem;
        }
    }
    for (int64_t i = 0; i < p_items.size(); ++i) {
        const std::string problem = detail::record_problem(p_items[i], false);
        if (!problem.empty()) {
            return "item " + std::to_string(i) + ": " + problem;
        }
    }
    std::vector<uint8_t> expected(p_bytes, p_bytes + p_size);
    for (size_t i = 0; i < shots + items; ++i) {
        const size_t flag = i < shots ? 4 + 38 * i + 9 : 4 + 38 * shots + 22 * (i - shots) + 9;
        expected[flag] = expected[flag] != 0 ? 1 : 0;
    }
    const godot::PackedByteArray again = brinewake::encode_replica_packet(p_shots, p_items);
    if (again.size() != int64_t(p_size) || std::memcmp(again.ptr(), expected.data(), p_size) != 0) {
        return "encoding the decoded arrays gives other bytes";
    }
    return std::string();
}

} // namespace brinewake_test
