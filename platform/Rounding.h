#pragma once

#include <cstdint>

namespace pexa {

// Rounds to the nearest 32-bit integer, ties to the even neighbour: 2.5 gives 2, 3.5 gives 4.
// Throws std::overflow_error when the result does not fit in 32 bits (or the value is NaN).
std::int32_t roundHalfEven(double value);

} // namespace pexa
