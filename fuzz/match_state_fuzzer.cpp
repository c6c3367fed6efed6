// Arbitrary match states, built from the fuzzer's bytes, restored into a combat node among two boats
// (one frozen, one free) and flown for a few frames. Aborts when what a restore keeps is not finite or
// not sendable, or when flight afterwards puts a non-finite value into a boat or a pickup.
#include "fuzz_support.hpp"
#include "network_inputs.hpp"

#include "combat_state.hpp"
#include "match_scene.hpp"

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/variant/dictionary.hpp>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using brinewake_fuzz::require_sound;

struct World {
    brinewake_test::MatchScene scene;
    godot::Node3D *combat = nullptr;

    World() {
        godot::RigidBody3D *remote = scene.add_boat(godot::Vector3(0.0f, 0.7f, 0.0f));
        godot::RigidBody3D *free = scene.add_boat(godot::Vector3(3.0f, 0.7f, -2.0f));
        brinewake_fuzz::require(remote != nullptr && free != nullptr, "no boats");
        remote->call("set_freeze_enabled", true);
        combat = scene.weapon_system_with_boats();
        brinewake_fuzz::require(combat != nullptr, "no combat node");
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *p_data, size_t p_size) {
    World &w = brinewake_fuzz::shared_world<World>();
    brinewake_test::InputBytes source(p_data, p_size);
    // A few restores per input, each flown for a few frames, so that one input can leave projectiles in
    // flight for the next restore to replace.
    for (int round = 0; round < 3 && !source.exhausted(); ++round) {
        w.combat->call("restore_match_state", brinewake_test::next_match_state(source));
        require_sound(brinewake_test::combat_problem(w.combat), "as restored");
        w.scene.step(1 + source.next() % 4);
        require_sound(brinewake_test::pickup_problem(w.combat), "after flight");
        for (size_t b = 0; b < w.scene.boat_count(); ++b) {
            require_sound(brinewake_test::struck_boat_problem(w.scene.boat(b)), "after flight");
        }
    }
    for (size_t b = 0; b < w.scene.boat_count(); ++b) {
        w.scene.boat(b)->call("reset_boat");
    }
    return 0;
}
