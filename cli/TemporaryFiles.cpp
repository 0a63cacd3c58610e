#include "TemporaryFiles.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <set>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace pexa::cli {
namespace {

// The temporary files that exist now. Creating and listing one happen under the lock, so the
// cleanup after a signal sees every file that exists.
std::mutex& listLock()
{
    static std::mutex lock;
    return lock;
}

std::set<std::string>& openTemporaries()
{
    static std::set<std::string> paths;
    return paths;
}

std::string base36(unsigned long long value)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[value % 36]);
        value /= 36;
    } while (value != 0);
    return digits;
}

sigset_t cleanupSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    return signals;
}

// Waits for one of the signals, removes the temporary files and ends the program by the signal
// itself. The list stays locked, so no new temporary file can appear meanwhile.
[[noreturn]] void cleanUpWhenSignalled()
{
    const sigset_t signals = cleanupSignals();
    int signal = 0;
    while (::sigwait(&signals, &signal) != 0) {
    }
    listLock().lock();
    for (const std::string& path : openTemporaries())
        ::unlink(path.c_str());
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    std::_Exit(128 + signal); // not reached: the default action ends the program
}

} // namespace

TemporaryFile createTemporaryIn(const std::filesystem::path& folder)
{
    static std::atomic<unsigned long long> serial{0};
    const std::string stem =
        (folder / temporaryPrefix).string() + base36(static_cast<unsigned long long>(::getpid()));
    TemporaryFile temporary;
    const std::lock_guard lock(listLock());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary.path = stem + "-" + base36(serial++);
        temporary.fd =
            ::open(temporary.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (temporary.fd >= 0) {
            openTemporaries().insert(temporary.path);
            return temporary;
        }
        if (errno != EEXIST)
            return temporary;
    }
    return temporary;
}

int renameTemporary(const TemporaryFile& temporary, const std::filesystem::path& target)
{
    const int error = ::rename(temporary.path.c_str(), target.c_str()) == 0 ? 0 : errno;
    if (error != 0)
        ::unlink(temporary.path.c_str());
    const std::lock_guard lock(listLock());
    openTemporaries().erase(temporary.path);
    return error;
}

void removeTemporary(const TemporaryFile& temporary)
{
    ::unlink(temporary.path.c_str());
    const std::lock_guard lock(listLock());
    openTemporaries().erase(temporary.path);
}

void removeTemporariesOnSignals()
{
    const sigset_t signals = cleanupSignals();
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    try {
        std::thread(cleanUpWhenSignalled).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the signals keep their usual effect.
        ::pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    }
}

} // namespace pexa::cli
