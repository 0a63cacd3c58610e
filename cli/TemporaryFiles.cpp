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
#include <utility>

namespace pexa::cli {
namespace {

// The temporary files that exist now. Creating and listing one happen under the lock, so the
// cleanup after a signal sees every file that exists.
std::mutex& listLock()
{
    static std::mutex lock;
    return lock;
}

// A listed temporary file: its folder's descriptor and its name there.
using TemporaryName = std::pair<int, std::string>;

std::set<TemporaryName>& openTemporaries()
{
    static std::set<TemporaryName> names;
    return names;
}

TemporaryName listed(const TemporaryFile& temporary)
{
    return {temporary.folderFd, temporary.name};
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
    for (const auto& [folderFd, name] : openTemporaries())
        ::unlinkat(folderFd, name.c_str(), 0);
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    std::_Exit(128 + signal); // not reached: the default action ends the program
}

} // namespace

TemporaryFile createTemporaryIn(int folderFd)
{
    static std::atomic<unsigned long long> serial{0};
    const std::string stem =
        std::string(temporaryPrefix) + base36(static_cast<unsigned long long>(::getpid()));
    TemporaryFile temporary;
    temporary.folderFd = folderFd;
    const std::lock_guard lock(listLock());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary.name = stem + "-" + base36(serial++);
        temporary.fd = ::openat(folderFd, temporary.name.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (temporary.fd >= 0) {
            openTemporaries().insert(listed(temporary));
            return temporary;
        }
        if (errno != EEXIST)
            return temporary;
    }
    return temporary;
}

int renameTemporary(const TemporaryFile& temporary, const std::string& targetName)
{
    const int error = ::renameat(temporary.folderFd, temporary.name.c_str(), temporary.folderFd,
                                 targetName.c_str()) == 0
                          ? 0
                          : errno;
    if (error != 0)
        ::unlinkat(temporary.folderFd, temporary.name.c_str(), 0);
    const std::lock_guard lock(listLock());
    openTemporaries().erase(listed(temporary));
    return error;
}

void removeTemporary(const TemporaryFile& temporary)
{
    ::unlinkat(temporary.folderFd, temporary.name.c_str(), 0);
    const std::lock_guard lock(listLock());
    openTemporaries().erase(listed(temporary));
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
