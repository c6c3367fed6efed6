// The engine's Dictionary: insertion-ordered key/value pairs shared by reference. StringName keys are
// stored as String keys, so both spellings find the same entry.
#pragma once

#include <cstdint>
#include <memory>

namespace godot {

class Variant;
class Array;

namespace internal {
struct DictionaryData;
}

class Dictionary {
    std::shared_ptr<internal::DictionaryData> data_;

public:
    Dictionary();

    int64_t size() const;
    bool is_empty() const;
    void clear();
    bool has(const Variant &p_key) const;
    bool has_all(const Array &p_keys) const;
    bool erase(const Variant &p_key);
    // The value for p_key, or p_default when the key is absent (the dictionary does not change).
    Variant get(const Variant &p_key, const Variant &p_default) const;
    Variant get_or_add(const Variant &p_key, const Variant &p_default);
    bool set(const Variant &p_key, const Variant &p_value);
    Variant find_key(const Variant &p_value) const;
    Array keys() const;
    Array values() const;
    void merge(const Dictionary &p_dictionary, bool p_overwrite = false);
    Dictionary duplicate(bool p_deep = false) const;
    bool is_same_instance(const Dictionary &p_other) const { return data_ == p_other.data_; }

    // Missing key: the const form reports an error and yields nil without inserting (the engine
    // aborts here); the other form inserts the key with a nil value and returns that value.
    const Variant &operator[](const Variant &p_key) const;
    Variant &operator[](const Variant &p_key);

    // Same keys with equal values, in any order.
    bool operator==(const Dictionary &p_other) const;
    bool operator!=(const Dictionary &p_other) const;
};

} // namespace godot

#include <godot_cpp/variant/variant.hpp>
