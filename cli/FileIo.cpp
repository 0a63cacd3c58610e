#include "FileIo.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace pexa::cli {
namespace {

std::string reasonFromErrno(const char* what, int error)
{
    if (error == ENOENT)
        return "no such file";
    if (error == EISDIR)
        return "is a folder";
    return std::string(what) + " (" + std::strerror(error) + ")";
}

// Reads until end of file straight into `bytes`, growing it as needed; false with errno set on a
// read error. `expectedSize` (a regular file's size) lets one read take the whole file.
bool readAll(int fd, std::string& bytes, std::size_t expectedSize = 0)
{
    std::size_t filled = 0;
    bytes.resize(std::max<std::size_t>(expectedSize + 1, 1 << 16));
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            bytes.resize(filled);
            return got == 0;
        }
        filled += static_cast<std::size_t>(got);
    }
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Creates a new, empty temporary file beside `target`, named after it and this process, with the
// permissions an ordinary new file gets (0666 less the umask). Returns the descriptor, or -1.
int createTemporaryBeside(const std::filesystem::path& target, std::string& temporaryPath)
{
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = ".";
        name += target.filename().string();
        name += ".part-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
        temporaryPath = (target.parent_path() / name).string();
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

ReadOutcome readWholeFile(const std::filesystem::path& path)
{
    ReadOutcome outcome;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        outcome.error = reasonFromErrno("cannot open", errno);
        return outcome;
    }
    struct stat info
    {
    };
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        outcome.error = "is a folder, not a file";
    } else {
        if (!readAll(fd, outcome.bytes, static_cast<std::size_t>(std::max<off_t>(info.st_size, 0))))
            outcome.error = reasonFromErrno("cannot read", errno);
    }
    ::close(fd);
    return outcome;
}

ReadOutcome readStandardInput()
{
    ReadOutcome outcome;
    if (!readAll(STDIN_FILENO, outcome.bytes))
        outcome.error = reasonFromErrno("cannot read", errno);
    return outcome;
}

std::string writeFileAtomically(const std::filesystem::path& target, std::string_view bytes)
{
    std::error_code folderError;
    std::filesystem::create_directories(target.parent_path(), folderError);
    if (folderError)
        return "cannot create the folder " + target.parent_path().string() + " (" +
               folderError.message() + ")";
    std::string temporary;
    const int fd = createTemporaryBeside(target, temporary);
    if (fd < 0)
        return reasonFromErrno("cannot write in its folder", errno);
    const bool written = writeAll(fd, bytes);
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(temporary.c_str());
        return reasonFromErrno("cannot write", written ? errno : writeError);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.c_str());
        return renameError == EISDIR ? "a folder of that name is in the way"
                                     : reasonFromErrno("cannot write", renameError);
    }
    return {};
}

std::string writeStandardOutput(std::string_view bytes)
{
    if (!writeAll(STDOUT_FILENO, bytes))
        return reasonFromErrno("cannot write to standard output", errno);
    return {};
}

} // namespace pexa::cli
