// The keys of the combat node's shot and item dictionaries (the match state, the projectile list, the
// replica arrays) and the values absent entries read as. Made once per call, not from text per entry.
#pragma once

#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>

namespace brinewake {

struct CombatKeys {
    const godot::Variant id = "id";
    const godot::Variant kind = "kind";
    const godot::Variant burning = "burning";
    const godot::Variant position = "position";
    const godot::Variant velocity = "velocity";
    const godot::Variant age = "age";
    const godot::Variant anchor = "anchor";
    const godot::Variant active = "active";
    const godot::Variant timer = "timer";
    const godot::Variant zero_integer = int64_t(0);
    const godot::Variant zero_float = 0.0;
    const godot::Variant zero_vector = godot::Vector3();
    const godot::Variant no_flag = false;
};

} // namespace brinewake
