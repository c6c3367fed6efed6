// Storage shared by the packed arrays: copy-on-write values, as the engine's packed arrays are.
#pragma once

#include <godot_cpp/core/error_macros.hpp>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace godot {
namespace internal {

// Reports an access past the end the way the engine's array accessors do.
void report_packed_index_error(const char *p_function, int64_t p_index, int64_t p_size);

template <typename T> class PackedArrayStorage {
protected:
    // Null while empty; shared between copies until one of them writes.
    std::shared_ptr<std::vector<T>> data_;

    std::vector<T> &write() {
        if (!data_) {
            data_ = std::make_shared<std::vector<T>>();
        } else if (data_.use_count() > 1) {
            data_ = std::make_shared<std::vector<T>>(*data_);
        }
        return *data_;
    }

    static T &scratch() {
        static thread_local T value;
        value = T();
        return value;
    }

public:
    int64_t size() const { return data_ ? static_cast<int64_t>(data_->size()) : 0; }
    bool is_empty() const { return size() == 0; }

    void clear() { data_.reset(); }

    // New elements are zero. Returns an Error code (0 when done).
    int64_t resize(int64_t p_size) {
        ERR_FAIL_COND_V(p_size < 0, 31);
        if (p_size == 0) {
            data_.reset();
        } else if (p_size != size()) {
            write().resize(static_cast<size_t>(p_size));
        }
        return 0;
    }

    // Both report an index error and return null for an empty array, as the engine does.
    const T *ptr() const {
        if (size() == 0) {
            report_packed_index_error(__FUNCTION__, 0, 0);
            return nullptr;
        }
        return data_->data();
    }
    T *ptrw() {
        if (size() == 0) {
            report_packed_index_error(__FUNCTION__, 0, 0);
            return nullptr;
        }
        return write().data();
    }

    // Outside the array: an index error, and a scratch element instead of the engine's crash.
    const T &operator[](int64_t p_index) const {
        if (p_index < 0 || p_index >= size()) {
            report_packed_index_error(__FUNCTION__, p_index, size());
            return scratch();
        }
        return (*data_)[static_cast<size_t>(p_index)];
    }
    T &operator[](int64_t p_index) {
        if (p_index < 0 || p_index >= size()) {
            report_packed_index_error(__FUNCTION__, p_index, size());
            return scratch();
        }
        return write()[static_cast<size_t>(p_index)];
    }

    void remove_at(int64_t p_index) {
        ERR_FAIL_INDEX(p_index, size());
        std::vector<T> &items = write();
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(p_index));
        if (items.empty()) {
            data_.reset();
        }
    }

    void reverse() {
        if (size() > 1) {
            std::vector<T> &items = write();
            std::reverse(items.begin(), items.end());
        }
    }

    const T *begin() const { return data_ ? data_->data() : nullptr; }
    const T *end() const { return data_ ? data_->data() + data_->size() : nullptr; }
    T *begin() { return data_ ? write().data() : nullptr; }
    T *end() { return data_ ? write().data() + data_->size() : nullptr; }

    bool operator==(const PackedArrayStorage &p_other) const {
        if (size() != p_other.size()) {
            return false;
        }
        for (int64_t i = 0; i < size(); ++i) {
            if (!((*data_)[static_cast<size_t>(i)] == (*p_other.data_)[static_cast<size_t>(i)])) {
                return false;
            }
        }
        return true;
    }
    bool operator!=(const PackedArrayStorage &p_other) const { return !(*this == p_other); }

protected:
    void push(const T &p_value) { write().push_back(p_value); }
    void store(int64_t p_index, const T &p_value) {
        ERR_FAIL_INDEX(p_index, size());
        write()[static_cast<size_t>(p_index)] = p_value;
    }
    T load(int64_t p_index) const {
        ERR_FAIL_INDEX_V(p_index, size(), T());
        return (*data_)[static_cast<size_t>(p_index)];
    }
    void push_all(const PackedArrayStorage &p_other) {
        if (p_other.size() == 0) {
            return;
        }
        const std::vector<T> copy = *p_other.data_;
        std::vector<T> &items = write();
        items.insert(items.end(), copy.begin(), copy.end());
    }
    bool contains(const T &p_value) const {
        for (const T &item : *this) {
            if (item == p_value) {
                return true;
            }
        }
        return false;
    }
    int64_t index_of(const T &p_value, int64_t p_from) const {
        for (int64_t i = p_from < 0 ? 0 : p_from; i < size(); ++i) {
            if ((*data_)[static_cast<size_t>(i)] == p_value) {
                return i;
            }
        }
        return -1;
    }
    template <typename D> D sliced(int64_t p_begin, int64_t p_end) const {
        D out;
        const int64_t n = size();
        if (p_begin < 0) {
            p_begin += n;
        }
        if (p_end < 0) {
            p_end += n;
        }
        p_begin = p_begin < 0 ? 0 : (p_begin > n ? n : p_begin);
        p_end = p_end < 0 ? 0 : (p_end > n ? n : p_end);
        for (int64_t i = p_begin; i < p_end; ++i) {
            out.push((*data_)[static_cast<size_t>(i)]);
        }
        return out;
    }
    void fill_with(const T &p_value) {
        if (size() > 0) {
            for (T &item : write()) {
                item = p_value;
            }
        }
    }
};

} // namespace internal
} // namespace godot
