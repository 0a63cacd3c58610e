#include "WorkerThreads.h"

#include <system_error>

namespace pexa::cli {

std::jthread startThread(std::function<void()> work)
{
    return std::jthread(std::move(work));
}

HelperThreads::HelperThreads(std::size_t wanted, const std::function<void()>& work,
                             const ThreadStarter& start)
{
    m_threads.reserve(wanted);
    for (std::size_t i = 0; i < wanted; ++i) {
        try {
            m_threads.push_back(start(work));
        } catch (const std::system_error& refused) {
            m_shortfall = refused.code().message();
            return;
        }
    }
}

} // namespace pexa::cli
