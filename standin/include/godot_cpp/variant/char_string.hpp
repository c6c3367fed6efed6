// A byte string produced by String::utf8() / ascii(): owns its bytes, NUL-terminated.
#pragma once

#include <cstdint>
#include <string>

namespace godot {

class CharString {
    std::string data_;

public:
    CharString() = default;
    explicit CharString(std::string p_data) : data_(std::move(p_data)) {}

    const char *get_data() const { return data_.c_str(); }
    const char *ptr() const { return data_.c_str(); }
    // Bytes without the terminating NUL.
    int64_t length() const { return static_cast<int64_t>(data_.size()); }
    // Bytes with the terminating NUL, as the engine counts them (0 when empty).
    int64_t size() const { return data_.empty() ? 0 : static_cast<int64_t>(data_.size()) + 1; }
    bool operator==(const CharString &p_other) const { return data_ == p_other.data_; }
    bool operator!=(const CharString &p_other) const { return data_ != p_other.data_; }
};

} // namespace godot
