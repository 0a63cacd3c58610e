#include "WorkerThreads.h"

#include <atomic>
#include <gtest/gtest.h>
#include <system_error>

using namespace pexa::cli;

TEST(WorkerThreadsTest, AThreadTheSystemRefusesMeansFewerWorkersNotAnAbort)
{
    std::atomic<int> runs{0};
    int started = 0;
    const ThreadStarter allowsTwo = [&](std::function<void()> work) {
        if (started == 2)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        ++started;
        return std::jthread(std::move(work));
    };
    {
        const HelperThreads helpers(100, [&] { ++runs; }, allowsTwo);
        EXPECT_EQ(helpers.count(), 2u);
        EXPECT_EQ(helpers.shortfall(),
                  std::make_error_code(std::errc::resource_unavailable_try_again).message());
    }
    EXPECT_EQ(runs, 2);
}
