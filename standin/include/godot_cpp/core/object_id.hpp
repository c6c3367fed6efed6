// An engine instance id: 0 is no object.
#pragma once

#include <cstdint>

namespace godot {

class ObjectID {
    uint64_t id_ = 0;

public:
    ObjectID() = default;
    explicit ObjectID(uint64_t p_id) : id_(p_id) {}
    explicit ObjectID(int64_t p_id) : id_(static_cast<uint64_t>(p_id)) {}

    bool is_valid() const { return id_ != 0; }
    bool is_null() const { return id_ == 0; }
    operator uint64_t() const { return id_; }

    bool operator==(const ObjectID &p_other) const { return id_ == p_other.id_; }
    bool operator!=(const ObjectID &p_other) const { return id_ != p_other.id_; }
    bool operator<(const ObjectID &p_other) const { return id_ < p_other.id_; }
};

} // namespace godot
