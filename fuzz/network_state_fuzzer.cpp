// Arbitrary state dictionaries, built from the fuzzer's bytes, applied to a frozen boat. Aborts when
// the boat takes up a non-finite or out-of-range value.
#include "network_inputs.hpp"

#include "linked_extension.hpp"
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
        if (remote == nullptr) {
            std::abort();
        }
        remote->call("set_freeze_enabled", true);
    }
};

World &world() {
    brinewake_test::use_linked_extension();
    static World instance;
    return instance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *p_data, size_t p_size) {
    World &w = world();
    brinewake_test::InputBytes source(p_data, p_size);
    // Several dictionaries per input, so that one input can walk the boat through its states.
    for (int round = 0; round < 4 && !source.exhausted(); ++round) {
        const godot::Dictionary state = brinewake_test::next_state(source);
        w.remote->call("apply_network_state", state);
        const std::string problem = brinewake_test::boat_problem(w.remote);
        if (!problem.empty()) {
            std::fprintf(stderr, "boat: %s\n", problem.c_str());
            std::abort();
        }
    }
    return 0;
}
