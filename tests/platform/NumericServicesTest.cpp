#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "RandomSource.h"
#include "Rounding.h"

using namespace pexa;

TEST(RoundHalfEvenTest, TiesGoToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
}

TEST(RoundHalfEvenTest, RefusesValuesOutside32Bits)
{
    EXPECT_EQ(roundHalfEven(2147483647.0), std::numeric_limits<std::int32_t>::max());
    EXPECT_THROW(roundHalfEven(2147483648.0), std::overflow_error);
    EXPECT_THROW(roundHalfEven(std::numeric_limits<double>::quiet_NaN()), std::overflow_error);
}

TEST(RandomSourceTest, SeededDrawsRepeatAndStayInUnitInterval)
{
    SeededRandom first(42);
    SeededRandom second(42);
    for (int i = 0; i < 1000; ++i) {
        const double draw = first.nextUnit();
        EXPECT_GE(draw, 0.0);
        EXPECT_LT(draw, 1.0);
        EXPECT_EQ(draw, second.nextUnit());
    }
}

TEST(RandomSourceTest, DrawsCarryMoreThan24Bits)
{
    // A draw scaled by a large piece count must reach odd indexes too.
    SeededRandom random(7);
    bool sawFineBits = false;
    for (int i = 0; i < 100 && !sawFineBits; ++i) {
        const double scaled = random.nextUnit() * 0x1.0p24;
        sawFineBits = scaled != static_cast<double>(static_cast<long long>(scaled));
    }
    EXPECT_TRUE(sawFineBits);
}

// The clock is a stand-in that ticks on every reading, so the test needs no real time to pass.
TEST(RandomSourceTest, ClockSourceTakesAFreshSeedOnEveryReseed)
{
    std::uint64_t now = 1000;
    ClockRandom random([&now] { return now++; });
    random.reseed();
    const double afterFirstReseed = random.nextUnit();
    random.reseed();
    EXPECT_NE(random.nextUnit(), afterFirstReseed);

    ClockRandom sameClock([] { return std::uint64_t(1001); });
    sameClock.reseed();
    EXPECT_EQ(sameClock.nextUnit(), afterFirstReseed);
}
