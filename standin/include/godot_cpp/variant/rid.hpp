// A handle to a server-side resource (a physics body, a shape); 0 is invalid.
#pragma once

#include <cstdint>

namespace godot {
class RID;
}

namespace standin {
// The stand-in's servers create their handles here.
godot::RID make_rid(uint64_t p_id);
// A handle with an id no other handle of this process has had.
godot::RID allocate_rid();
} // namespace standin

namespace godot {

class RID {
    uint64_t id_ = 0;

    friend RID standin::make_rid(uint64_t p_id);

public:
    RID() = default;

    int64_t get_id() const { return static_cast<int64_t>(id_); }
    bool is_valid() const { return id_ != 0; }
    bool is_null() const { return id_ == 0; }

    bool operator==(const RID &p_other) const { return id_ == p_other.id_; }
    bool operator!=(const RID &p_other) const { return id_ != p_other.id_; }
    bool operator<(const RID &p_other) const { return id_ < p_other.id_; }
    bool operator<=(const RID &p_other) const { return id_ <= p_other.id_; }
    bool operator>(const RID &p_other) const { return id_ > p_other.id_; }
    bool operator>=(const RID &p_other) const { return id_ >= p_other.id_; }
};

} // namespace godot
