#pragma once

#include <cstddef>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

// Threads for the batch that never bring the program down: when the system refuses a thread (a
// process limit, no memory for its stack), the work is done by fewer threads instead.
namespace pexa::cli {

// The launch policy for std::async: a thread of its own when the system gives one, else the work
// runs in whoever waits for its result (the standard library falls back so when starting the
// thread fails for want of resources).
inline constexpr std::launch onThreadIfPossible = std::launch::async | std::launch::deferred;

// Starts a thread running `work`; throws std::system_error when the system refuses.
using ThreadStarter = std::function<std::jthread(std::function<void()>)>;

std::jthread startThread(std::function<void()> work);

// Threads running `work` beside the calling thread: `wanted` of them, or as many as the system
// allows. Joined when destroyed.
class HelperThreads
{
public:
    HelperThreads(std::size_t wanted, const std::function<void()>& work,
                  const ThreadStarter& start = startThread);

    std::size_t count() const { return m_threads.size(); }
    // Why fewer than wanted were started; empty when all were.
    const std::string& shortfall() const { return m_shortfall; }

private:
    std::vector<std::jthread> m_threads;
    std::string m_shortfall;
};

} // namespace pexa::cli
