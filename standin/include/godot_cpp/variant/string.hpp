// The engine's text type: a sequence of Unicode code points (UTF-32), copy-on-write like the engine's, so
// copies share the text and never allocate.
#pragma once

#include <godot_cpp/variant/char_string.hpp>

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

namespace godot {

class StringName;

class String {
    // Null while empty.
    std::shared_ptr<std::u32string> data_;

    const std::u32string &text() const { return data_ ? *data_ : empty_text(); }
    std::u32string &write();
    static const std::u32string &empty_text();

public:
    String() = default;
    // Reads Latin-1: each byte is one code point. Use String::utf8() for UTF-8 text.
    String(const char *p_latin1);
    String(const char32_t *p_utf32);
    String(const StringName &p_name);

    static String utf8(const char *p_utf8, int64_t p_len = -1);
    static String num(double p_num, int p_decimals = -1);
    static String num_int64(int64_t p_num, int p_base = 10, bool p_capitalize_hex = false);
    static String num_uint64(uint64_t p_num, int p_base = 10, bool p_capitalize_hex = false);
    // Engine spelling of a real number: integral values keep a trailing ".0".
    static String num_real(double p_num, bool p_trailing = true);
    static String chr(char32_t p_char);

    CharString utf8() const;
    CharString ascii() const;

    int64_t length() const { return data_ ? static_cast<int64_t>(data_->size()) : 0; }
    bool is_empty() const { return length() == 0; }
    const char32_t *ptr() const { return text().c_str(); }
    // Code point at p_index; 0 outside the string.
    char32_t operator[](int64_t p_index) const;

    bool begins_with(const String &p_prefix) const;
    bool ends_with(const String &p_suffix) const;
    bool contains(const String &p_what) const { return find(p_what) >= 0; }
    int64_t find(const String &p_what, int64_t p_from = 0) const;
    String substr(int64_t p_from, int64_t p_len = -1) const;
    int64_t to_int() const;
    double to_float() const;
    String quote(const String &p_quotechar = "\"") const;
    uint32_t hash() const;

    String operator+(const String &p_other) const;
    String operator+(const char *p_other) const;
    String operator+(char32_t p_char) const;
    String &operator+=(const String &p_other);
    String &operator+=(const char *p_other);
    String &operator+=(char32_t p_char);

    bool operator==(const String &p_other) const {
        return data_ == p_other.data_ || text() == p_other.text();
    }
    bool operator!=(const String &p_other) const { return !(*this == p_other); }
    bool operator==(const char *p_other) const;
    bool operator!=(const char *p_other) const { return !(*this == p_other); }
    bool operator<(const String &p_other) const { return text() < p_other.text(); }
    bool operator<=(const String &p_other) const { return text() <= p_other.text(); }
    bool operator>(const String &p_other) const { return text() > p_other.text(); }
    bool operator>=(const String &p_other) const { return text() >= p_other.text(); }
};

String operator+(const char *p_left, const String &p_right);
bool operator==(const char *p_left, const String &p_right);
bool operator!=(const char *p_left, const String &p_right);

String itos(int64_t p_value);
String uitos(uint64_t p_value);
String rtos(double p_value);

// Prints the UTF-8 text (test diagnostics).
std::ostream &operator<<(std::ostream &p_stream, const String &p_string);

} // namespace godot
