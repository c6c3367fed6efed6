// A name: compares equal to any String or StringName with the same text.
#pragma once

#include <godot_cpp/variant/string.hpp>

#include <iosfwd>

namespace godot {

class StringName {
    String text_;

public:
    StringName() = default;
    StringName(const char *p_latin1) : text_(p_latin1) {}
    StringName(const String &p_text) : text_(p_text) {}

    bool is_empty() const { return text_.is_empty(); }
    int64_t length() const { return text_.length(); }
    const String &text() const { return text_; }
    uint32_t hash() const { return text_.hash(); }
    CharString utf8() const { return text_.utf8(); }

    bool operator==(const StringName &p_other) const { return text_ == p_other.text_; }
    bool operator!=(const StringName &p_other) const { return text_ != p_other.text_; }
    bool operator==(const String &p_other) const { return text_ == p_other; }
    bool operator!=(const String &p_other) const { return text_ != p_other; }
    bool operator==(const char *p_other) const { return text_ == p_other; }
    bool operator!=(const char *p_other) const { return text_ != p_other; }
    bool operator<(const StringName &p_other) const { return text_ < p_other.text_; }

    String operator+(const String &p_other) const { return text_ + p_other; }
    String operator+(const char *p_other) const { return text_ + p_other; }
};

inline String::String(const StringName &p_name) : String(p_name.text()) {}

std::ostream &operator<<(std::ostream &p_stream, const StringName &p_name);

} // namespace godot
