#include "Rounding.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace pexa {

std::int32_t roundHalfEven(double value)
{
    // Half-way cases go to the even neighbour; the remainder test keeps this independent of the
    // floating-point environment's current rounding mode.
    double rounded = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5)
        rounded = 2.0 * std::round(value / 2.0);
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (!(rounded >= lowest && rounded <= highest))
        throw std::overflow_error("value does not fit in a 32-bit integer");
    return static_cast<std::int32_t>(rounded);
}

} // namespace pexa
