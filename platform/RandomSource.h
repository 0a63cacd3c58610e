#pragma once

#include <cstdint>
#include <functional>
#include <random>

namespace pexa {

// Uniform doubles in [0, 1), each carrying 53 random bits, so a draw scaled by any piece count that a
// text can hold reaches every index.
class RandomSource
{
public:
    virtual ~RandomSource() = default;

    // Starts a fresh sequence; the sentence shuffle calls this before its first draw.
    virtual void reseed() = 0;

    // The next draw, uniform in [0, 1).
    virtual double nextUnit() = 0;
};

// A repeatable sequence from a fixed seed. reseed() keeps the sequence going, so a test or a
// command-line run with a given seed always sees the same draws.
class SeededRandom : public RandomSource
{
public:
    explicit SeededRandom(std::uint64_t seed) : m_engine(seed) {}

    void reseed() override {}
    double nextUnit() override;

protected:
    std::mt19937_64 m_engine;
};

// The product's own source: every reseed() takes a new seed from the clock.
class ClockRandom : public SeededRandom
{
public:
    // Gives the seed: the system's high-resolution clock, or a stand-in that tests control.
    using Clock = std::function<std::uint64_t()>;

    explicit ClockRandom(Clock clock = systemClock);

    void reseed() override;

    // Ticks of the high-resolution clock since its epoch.
    static std::uint64_t systemClock();

private:
    Clock m_clock;
};

} // namespace pexa
