// Arbitrary bytes as a replica packet: the strict decoder must refuse them leaving the caller's arrays
// in place, or accept them into dictionaries that encode back to the same bytes. Aborts otherwise.
#include "fuzz_support.hpp"
#include "replica_inputs.hpp"

#include "net/replica_packet.hpp"

#include <godot_cpp/variant/array.hpp>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *p_data, size_t p_size) {
    const godot::Array before_shots;
    const godot::Array before_items;
    godot::Array shots = before_shots;
    godot::Array items = before_items;
    const bool accepted = brinewake::decode_replica_packet(p_data, p_size, shots, items);
    const std::string problem = brinewake_test::replica_decode_problem(p_data, p_size, accepted, shots, items,
                                                                       before_shots, before_items);
    brinewake_fuzz::require_sound(problem, "decode");
    return 0;
}
