#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <algorithm>
#include <list>
#include <unordered_map>
#include <utility>
#include <vector>

namespace godot {

namespace internal {

struct ArrayData {
    std::vector<Variant> items;
};

struct DictionaryData {
    // Insertion order; list nodes keep references to values stable while other keys come and go.
    std::list<std::pair<Variant, Variant>> entries;
    std::unordered_multimap<uint32_t, std::list<std::pair<Variant, Variant>>::iterator> index;

    using Iterator = std::list<std::pair<Variant, Variant>>::iterator;

    Iterator find(const Variant &p_key) {
        auto range = index.equal_range(p_key.hash());
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second->first.hash_compare(p_key)) {
                return it->second;
            }
        }
        return entries.end();
    }

    Variant &insert(const Variant &p_key, const Variant &p_value) {
        entries.emplace_back(p_key, p_value);
        Iterator it = std::prev(entries.end());
        index.emplace(p_key.hash(), it);
        return it->second;
    }

    void remove(Iterator p_entry) {
        auto range = index.equal_range(p_entry->first.hash());
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second == p_entry) {
                index.erase(it);
                break;
            }
        }
        entries.erase(p_entry);
    }
};

namespace {

Variant &scratch_variant() {
    static thread_local Variant value;
    value = Variant();
    return value;
}

// StringName keys are stored as String keys, so both spellings meet.
Variant normalized_key(const Variant &p_key) {
    if (p_key.get_type() == Variant::STRING_NAME) {
        return Variant(p_key.operator String());
    }
    return p_key;
}

} // namespace

} // namespace internal

// Array

Array::Array() : data_(std::make_shared<internal::ArrayData>()) {}

int64_t Array::size() const {
    return static_cast<int64_t>(data_->items.size());
}
bool Array::is_empty() const {
    return data_->items.empty();
}
void Array::clear() {
    data_->items.clear();
}

int64_t Array::resize(int64_t p_size) {
    ERR_FAIL_COND_V(p_size < 0, ERR_INVALID_PARAMETER);
    data_->items.resize(static_cast<size_t>(p_size));
    return OK;
}

void Array::push_back(const Variant &p_value) {
    data_->items.push_back(p_value);
}
void Array::append(const Variant &p_value) {
    data_->items.push_back(p_value);
}

void Array::append_array(const Array &p_array) {
    const std::vector<Variant> copy = p_array.data_->items; // p_array may be this array
    data_->items.insert(data_->items.end(), copy.begin(), copy.end());
}

int64_t Array::insert(int64_t p_position, const Variant &p_value) {
    if (p_position < 0) {
        p_position += size();
    }
    ERR_FAIL_INDEX_V(p_position, size() + 1, ERR_INVALID_PARAMETER);
    data_->items.insert(data_->items.begin() + static_cast<std::ptrdiff_t>(p_position), p_value);
    return OK;
}

void Array::remove_at(int64_t p_position) {
    if (p_position < 0) {
        p_position += size();
    }
    ERR_FAIL_INDEX(p_position, size());
    data_->items.erase(data_->items.begin() + static_cast<std::ptrdiff_t>(p_position));
}

void Array::erase(const Variant &p_value) {
    const int64_t at = find(p_value);
    if (at >= 0) {
        data_->items.erase(data_->items.begin() + static_cast<std::ptrdiff_t>(at));
    }
}

void Array::push_front(const Variant &p_value) {
    data_->items.insert(data_->items.begin(), p_value);
}

Variant Array::pop_back() {
    if (data_->items.empty()) {
        return Variant();
    }
    Variant value = data_->items.back();
    data_->items.pop_back();
    return value;
}

Variant Array::pop_front() {
    if (data_->items.empty()) {
        return Variant();
    }
    Variant value = data_->items.front();
    data_->items.erase(data_->items.begin());
    return value;
}

Variant Array::front() const {
    ERR_FAIL_COND_V_MSG(data_->items.empty(), Variant(), "Can't take value from empty array.");
    return data_->items.front();
}

Variant Array::back() const {
    ERR_FAIL_COND_V_MSG(data_->items.empty(), Variant(), "Can't take value from empty array.");
    return data_->items.back();
}

bool Array::has(const Variant &p_value) const {
    return find(p_value) >= 0;
}

int64_t Array::find(const Variant &p_what, int64_t p_from) const {
    if (p_from < 0) {
        p_from += size();
        if (p_from < 0) {
            p_from = 0;
        }
    }
    for (int64_t i = p_from; i < size(); ++i) {
        if (data_->items[static_cast<size_t>(i)] == p_what) {
            return i;
        }
    }
    return -1;
}

int64_t Array::count(const Variant &p_value) const {
    int64_t n = 0;
    for (const Variant &item : data_->items) {
        n += item == p_value ? 1 : 0;
    }
    return n;
}

Variant Array::get(int64_t p_index) const {
    ERR_FAIL_INDEX_V(p_index, size(), Variant());
    return data_->items[static_cast<size_t>(p_index)];
}

void Array::set(int64_t p_index, const Variant &p_value) {
    ERR_FAIL_INDEX(p_index, size());
    data_->items[static_cast<size_t>(p_index)] = p_value;
}

void Array::reverse() {
    std::reverse(data_->items.begin(), data_->items.end());
}

Array Array::slice(int64_t p_begin, int64_t p_end, int64_t p_step, bool p_deep) const {
    Array out;
    ERR_FAIL_COND_V_MSG(p_step == 0, out, "Slice step cannot be zero.");
    const int64_t n = size();
    if (n == 0) {
        return out;
    }
    auto clamp_index = [n](int64_t p_i, int64_t p_low, int64_t p_high) {
        if (p_i < 0) {
            p_i += n;
        }
        return p_i < p_low ? p_low : (p_i > p_high ? p_high : p_i);
    };
    if (p_step > 0) {
        const int64_t begin = clamp_index(p_begin, 0, n);
        const int64_t end = clamp_index(p_end, 0, n);
        for (int64_t i = begin; i < end; i += p_step) {
            out.push_back(p_deep ? data_->items[static_cast<size_t>(i)].duplicate(true)
                                 : data_->items[static_cast<size_t>(i)]);
        }
    } else {
        const int64_t begin = clamp_index(p_begin, -1, n - 1);
        const int64_t end = clamp_index(p_end, -1, n - 1);
        for (int64_t i = begin; i > end; i += p_step) {
            out.push_back(p_deep ? data_->items[static_cast<size_t>(i)].duplicate(true)
                                 : data_->items[static_cast<size_t>(i)]);
        }
    }
    return out;
}

Array Array::duplicate(bool p_deep) const {
    Array out;
    out.data_->items.reserve(data_->items.size());
    for (const Variant &item : data_->items) {
        out.data_->items.push_back(p_deep ? item.duplicate(true) : item);
    }
    return out;
}

const Variant &Array::operator[](int64_t p_index) const {
    if (p_index < 0 || p_index >= size()) {
        _err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, p_index, size(), "p_index", "self->size()");
        return internal::scratch_variant();
    }
    return data_->items[static_cast<size_t>(p_index)];
}

Variant &Array::operator[](int64_t p_index) {
    if (p_index < 0 || p_index >= size()) {
        _err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, p_index, size(), "p_index", "self->size()");
        return internal::scratch_variant();
    }
    return data_->items[static_cast<size_t>(p_index)];
}

const Variant *Array::begin() const {
    return data_->items.data();
}
const Variant *Array::end() const {
    return data_->items.data() + data_->items.size();
}
Variant *Array::begin() {
    return data_->items.data();
}
Variant *Array::end() {
    return data_->items.data() + data_->items.size();
}

bool Array::operator==(const Array &p_other) const {
    if (data_ == p_other.data_) {
        return true;
    }
    if (size() != p_other.size()) {
        return false;
    }
    for (size_t i = 0; i < data_->items.size(); ++i) {
        if (!data_->items[i].hash_compare(p_other.data_->items[i])) {
            return false;
        }
    }
    return true;
}

bool Array::operator!=(const Array &p_other) const {
    return !(*this == p_other);
}

// Dictionary

Dictionary::Dictionary() : data_(std::make_shared<internal::DictionaryData>()) {}

int64_t Dictionary::size() const {
    return static_cast<int64_t>(data_->entries.size());
}
bool Dictionary::is_empty() const {
    return data_->entries.empty();
}

void Dictionary::clear() {
    data_->index.clear();
    data_->entries.clear();
}

bool Dictionary::has(const Variant &p_key) const {
    return data_->find(internal::normalized_key(p_key)) != data_->entries.end();
}

bool Dictionary::has_all(const Array &p_keys) const {
    for (int64_t i = 0; i < p_keys.size(); ++i) {
        if (!has(p_keys[i])) {
            return false;
        }
    }
    return true;
}

bool Dictionary::erase(const Variant &p_key) {
    auto it = data_->find(internal::normalized_key(p_key));
    if (it == data_->entries.end()) {
        return false;
    }
    data_->remove(it);
    return true;
}

Variant Dictionary::get(const Variant &p_key, const Variant &p_default) const {
    auto it = data_->find(internal::normalized_key(p_key));
    return it == data_->entries.end() ? p_default : it->second;
}

Variant Dictionary::get_or_add(const Variant &p_key, const Variant &p_default) {
    const Variant key = internal::normalized_key(p_key);
    auto it = data_->find(key);
    if (it == data_->entries.end()) {
        return data_->insert(key, p_default);
    }
    return it->second;
}

bool Dictionary::set(const Variant &p_key, const Variant &p_value) {
    operator[](p_key) = p_value;
    return true;
}

Variant Dictionary::find_key(const Variant &p_value) const {
    for (const auto &entry : data_->entries) {
        if (entry.second == p_value) {
            return entry.first;
        }
    }
    return Variant();
}

Array Dictionary::keys() const {
    Array out;
    for (const auto &entry : data_->entries) {
        out.push_back(entry.first);
    }
    return out;
}

Array Dictionary::values() const {
    Array out;
    for (const auto &entry : data_->entries) {
        out.push_back(entry.second);
    }
    return out;
}

void Dictionary::merge(const Dictionary &p_dictionary, bool p_overwrite) {
    const std::list<std::pair<Variant, Variant>> copy = p_dictionary.data_->entries;
    for (const auto &entry : copy) {
        if (p_overwrite || !has(entry.first)) {
            operator[](entry.first) = entry.second;
        }
    }
}

Dictionary Dictionary::duplicate(bool p_deep) const {
    Dictionary out;
    for (const auto &entry : data_->entries) {
        out.data_->insert(p_deep ? entry.first.duplicate(true) : entry.first,
                          p_deep ? entry.second.duplicate(true) : entry.second);
    }
    return out;
}

const Variant &Dictionary::operator[](const Variant &p_key) const {
    auto it = data_->find(internal::normalized_key(p_key));
    if (it == data_->entries.end()) {
        _err_print_error(FUNCTION_STR, __FILE__, __LINE__,
                         "Dictionary key not found: " + p_key.stringify() + ".");
        return internal::scratch_variant();
    }
    return it->second;
}

Variant &Dictionary::operator[](const Variant &p_key) {
    const Variant key = internal::normalized_key(p_key);
    auto it = data_->find(key);
    if (it == data_->entries.end()) {
        return data_->insert(key, Variant());
    }
    return it->second;
}

bool Dictionary::operator==(const Dictionary &p_other) const {
    if (data_ == p_other.data_) {
        return true;
    }
    if (size() != p_other.size()) {
        return false;
    }
    for (const auto &entry : data_->entries) {
        auto other = p_other.data_->find(entry.first);
        if (other == p_other.data_->entries.end() || !entry.second.hash_compare(other->second)) {
            return false;
        }
    }
    return true;
}

bool Dictionary::operator!=(const Dictionary &p_other) const {
    return !(*this == p_other);
}

} // namespace godot
