#include "RandomSource.h"

#include <chrono>

namespace pexa {
namespace {

std::uint64_t clockSeed()
{
    return static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

} // namespace

double SeededRandom::nextUnit()
{
    // The top 53 bits of a 64-bit draw fill a double's mantissa exactly.
    return static_cast<double>(m_engine() >> 11) * 0x1.0p-53;
}

ClockRandom::ClockRandom() : SeededRandom(clockSeed()) {}

void ClockRandom::reseed()
{
    m_engine.seed(clockSeed());
}

} // namespace pexa
