// Built-in pilots for a match: one simple, deterministic pilot per boat, playing through the script
// interface only. A pilot reads what a script can read (the boats' global transforms, get_health,
// get_ammo, get_selected_weapon, get_speed_boost_remaining and the combat node's get_pickups) and acts
// only through set_controls, select_weapon and set_trigger.
//
// Each pilot seeks a pickup it can use when it lacks rockets or health (or when one lies nearer than
// any opponent), and otherwise closes on the nearest live opponent. It fires a rocket when that
// opponent is straight ahead within rocket range (a fresh press per rocket: rockets are
// semi-automatic) and holds the water cannon's trigger when the opponent is close and ahead. It
// leads its aim by the opponent's motion over the last frame, and holds fire while capsized.
#pragma once

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>
#include <vector>

namespace brinewake_test {

class MatchPilots {
public:
    // p_combat: the match's combat node; p_boat_ids: the instance ids of the boats to fly, one pilot
    // each. Both are looked up again on every drive(), so freed objects simply drop out.
    MatchPilots(const godot::Node3D *p_combat, std::vector<uint64_t> p_boat_ids);

    // Reads the scene and sets every live boat's controls, weapon and trigger for the next physics
    // frame. Call it once before each frame (the aim assumes 60 frames per second). The pickups are read
    // every sixth call; that read (get_pickups builds its Array) is all that drive() allocates.
    void drive();

private:
    struct BoatView {
        bool alive = false;
        double health = 0.0;
        bool tracked = false;    // alive in the previous frame too, so step is known
        godot::Vector3 position; // m, global
        godot::Vector3 step;     // m moved over the last frame
        bool upright = false;    // not capsized
        double heading = 0.0;    // rad: 0 with the bow along world -Z, growing towards +X (to the right)
    };
    struct PickupView {
        int32_t kind = 0;
        double x = 0.0; // m
        double z = 0.0; // m
    };
    struct PilotState {
        bool trigger = false; // what the pilot last set
        int rocket_wait = 0;  // frames until the pilot may press for the next rocket
    };

    void read_pickups();
    void fly(size_t p_index);

    uint64_t combat_id;
    std::vector<uint64_t> boat_ids;
    std::vector<BoatView> views;            // per boat, this frame
    std::vector<PilotState> state;          // per boat, across frames
    std::vector<PickupView> active_pickups; // as last read
    int64_t frames_driven = 0;
    godot::Variant key_kind;
    godot::Variant key_position;
    godot::Variant key_active;
    // Method names, made once: a name built for every call would cost an allocation each time.
    struct Methods {
        godot::StringName get_pickups{"get_pickups"};
        godot::StringName get_health{"get_health"};
        godot::StringName get_ammo{"get_ammo"};
        godot::StringName get_selected_weapon{"get_selected_weapon"};
        godot::StringName get_speed_boost_remaining{"get_speed_boost_remaining"};
        godot::StringName set_controls{"set_controls"};
        godot::StringName select_weapon{"select_weapon"};
        godot::StringName set_trigger{"set_trigger"};
    } methods;
};

} // namespace brinewake_test
