#include "RandomSource.h"

#include <chrono>

namespace pexa {

double SeededRandom::nextUnit()
{
    // The top 53 bits of a 64-bit draw fill a double's mantissa exactly.
    return static_cast<double>(m_engine() >> 11) * 0x1.0p-53;
}

ClockRandom::ClockRandom(Clock clock) : SeededRandom(clock()), m_clock(std::move(clock)) {}

void ClockRandom::reseed()
{
    m_engine.seed(m_clock());
}

std::uint64_t ClockRandom::systemClock()
{
    return static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

} // namespace pexa
