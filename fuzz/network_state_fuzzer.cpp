// Arbitrary state dictionaries, built from the fuzzer's bytes, applied to a frozen boat. Aborts when
// the boat takes up a non-finite or out-of-range value.
#include "fuzz_support.hpp"
#include "network_inputs.hpp"

#include "match_scene.hpp"

#include <godot_cpp/variant/dictionary.hpp>

#include <cstdio>
#include <cstdlib>

namespace {

struct World {
    brinewake_test::MatchScene scene;
    godot::RigidBody3D *remote = nullptr;

    World() {
        remote = scene.add_boat();
        brinewake_fuzz::require(remote != nullptr, "no boat");
        remote->call("set_freeze_enabled", true);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *p_data, size_t p_size) {
    World &w = brinewake_fuzz::shared_world<World>();
    brinewake_test::InputBytes source(p_data, p_size);
    // Several dictionaries per input, so that one input can walk the boat through its states.
    for (int round = 0; round < 4 && !source.exhausted(); ++round) {
        const godot::Dictionary state = brinewake_test::next_state(source);
        w.remote->call("apply_network_state", state);
        brinewake_fuzz::require_sound(brinewake_test::boat_problem(w.remote), "boat");
    }
    return 0;
}
