#include "rules/wave_field.hpp"

namespace brinewake {

// The exported arrays and the summation rely on exactly three records.
static_assert(sizeof(WAVES) / sizeof(WAVES[0]) == 3, "the sea has three waves");

} // namespace brinewake
