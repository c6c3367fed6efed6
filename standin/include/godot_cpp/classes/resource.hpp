// The engine's Resource: a shared, reference-counted piece of data.
#pragma once

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/rid.hpp>
#include <godot_cpp/variant/string.hpp>

namespace godot {

class Resource : public RefCounted {
    GDCLASS(Resource, RefCounted)

public:
    void set_name(const String &p_name);
    String get_name() const;
    // A resource without a server-side counterpart has the invalid RID.
    RID get_rid() const;

protected:
    static void _bind_methods();

private:
    String name_;
};

} // namespace godot
