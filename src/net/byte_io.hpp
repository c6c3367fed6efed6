// Little-endian field writer and strict field reader for the wire formats.
//
// Bytes are assembled with shifts and floats travel as their IEEE 754 bit patterns, so neither the
// host's byte order nor any struct layout enters the format. Neither class allocates.
#pragma once

#include "rules/numeric.hpp"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace brinewake {

// Writes fields one after another into a buffer whose size the caller guarantees.
class ByteWriter {
public:
    explicit ByteWriter(uint8_t *p_bytes) : bytes(p_bytes) {}

    void put_u8(uint8_t p_value) { bytes[position++] = p_value; }
    void put_u16(uint16_t p_value) {
        bytes[position++] = static_cast<uint8_t>(p_value & 0xFFu);
        bytes[position++] = static_cast<uint8_t>((p_value >> 8) & 0xFFu);
    }
    void put_u32(uint32_t p_value) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes[position++] = static_cast<uint8_t>((p_value >> shift) & 0xFFu);
        }
    }
    void put_u64(uint64_t p_value) {
        for (int shift = 0; shift < 64; shift += 8) {
            bytes[position++] = static_cast<uint8_t>((p_value >> shift) & 0xFFu);
        }
    }
    void put_i32(int32_t p_value) { put_u32(static_cast<uint32_t>(p_value)); }
    void put_i64(int64_t p_value) { put_u64(static_cast<uint64_t>(p_value)); }
    void put_f32(float p_value) {
        uint32_t bits;
        std::memcpy(&bits, &p_value, sizeof(bits));
        put_u32(bits);
    }
    void put_f64(double p_value) {
        uint64_t bits;
        std::memcpy(&bits, &p_value, sizeof(bits));
        put_u64(bits);
    }
    size_t get_position() const { return position; }

private:
    uint8_t *bytes;
    size_t position = 0;
};

// Reads fields in order. Each read checks that the field lies wholly inside the data (and a float
// that it is finite); the first failing read clears the flag and every later read fails unread.
class ByteReader {
public:
    ByteReader(const uint8_t *p_bytes, size_t p_size) : bytes(p_bytes), size(p_bytes ? p_size : 0) {}

    bool read_u8(uint8_t &r_value) {
        if (!take(1)) {
            return false;
        }
        r_value = bytes[position - 1];
        return true;
    }
    bool read_u16(uint16_t &r_value) {
        if (!take(2)) {
            return false;
        }
        const uint8_t *field = bytes + position - 2;
        r_value = static_cast<uint16_t>(field[0] | (field[1] << 8));
        return true;
    }
    bool read_u32(uint32_t &r_value) {
        if (!take(4)) {
            return false;
        }
        const uint8_t *field = bytes + position - 4;
        r_value = static_cast<uint32_t>(field[0]) | (static_cast<uint32_t>(field[1]) << 8) |
                  (static_cast<uint32_t>(field[2]) << 16) | (static_cast<uint32_t>(field[3]) << 24);
        return true;
    }
    bool read_u64(uint64_t &r_value) {
        if (!take(8)) {
            return false;
        }
        const uint8_t *field = bytes + position - 8;
        uint64_t value = 0;
        for (int i = 7; i >= 0; --i) {
            value = (value << 8) | static_cast<uint64_t>(field[i]);
        }
        r_value = value;
        return true;
    }
    // Two's complement, without relying on the implementation's unsigned-to-signed conversion.
    bool read_i32(int32_t &r_value) {
        uint32_t bits;
        if (!read_u32(bits)) {
            return false;
        }
        r_value = bits <= 0x7FFFFFFFu ? static_cast<int32_t>(bits) : -static_cast<int32_t>(~bits) - 1;
        return true;
    }
    bool read_i64(int64_t &r_value) {
        uint64_t bits;
        if (!read_u64(bits)) {
            return false;
        }
        r_value =
            bits <= 0x7FFFFFFFFFFFFFFFull ? static_cast<int64_t>(bits) : -static_cast<int64_t>(~bits) - 1;
        return true;
    }
    bool read_finite_f32(float &r_value) {
        uint32_t bits;
        if (!read_u32(bits)) {
            return false;
        }
        float value;
        std::memcpy(&value, &bits, sizeof(value));
        if (!is_finite_single(value)) {
            ok = false;
            return false;
        }
        r_value = value;
        return true;
    }
    bool read_finite_f64(double &r_value) {
        uint64_t bits;
        if (!read_u64(bits)) {
            return false;
        }
        double value;
        std::memcpy(&value, &bits, sizeof(value));
        if (!is_finite_double(value)) {
            ok = false;
            return false;
        }
        r_value = value;
        return true;
    }

    bool is_ok() const { return ok; }
    // Every read succeeded and every byte was read.
    bool consumed_exactly() const { return ok && position == size; }

private:
    const uint8_t *bytes;
    size_t size;
    size_t position = 0;
    bool ok = true;

    bool take(size_t p_count) {
        if (!ok || size - position < p_count) {
            ok = false;
            return false;
        }
        position += p_count;
        return true;
    }
};

} // namespace brinewake
