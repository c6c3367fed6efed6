// What every fuzz target shares: stop loudly on an unsound result, and one scene world per process.
#pragma once

#include "linked_extension.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace brinewake_fuzz {

inline void require(bool p_condition, const char *p_what) {
    if (!p_condition) {
        std::fprintf(stderr, "unsound: %s\n", p_what);
        std::abort();
    }
}

// p_problem is empty when what was checked is sound.
inline void require_sound(const std::string &p_problem, const char *p_when) {
    if (!p_problem.empty()) {
        std::fprintf(stderr, "unsound %s: %s\n", p_when, p_problem.c_str());
        std::abort();
    }
}

// The target's world, made on the first input once the linked extension is up, and kept for the rest.
template <typename World> World &shared_world() {
    brinewake_test::use_linked_extension();
    static World instance;
    return instance;
}

} // namespace brinewake_fuzz
