#include "FileIo.h"

#include "TemporaryFiles.h"

#include <algorithm>
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

std::string writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                                const FileIdentities& untouchable)
{
    std::error_code folderError;
    std::filesystem::create_directories(target.parent_path(), folderError);
    if (folderError)
        return "cannot create the folder " + target.parent_path().string() + " (" +
               folderError.message() + ")";
    const TemporaryFile temporary = createTemporaryIn(target.parent_path());
    if (temporary.fd < 0)
        return reasonFromErrno("cannot write in its folder", errno);
    const bool written = writeAll(temporary.fd, bytes);
    const int writeError = errno;
    const bool closed = ::close(temporary.fd) == 0;
    if (!written || !closed) {
        const int error = written ? errno : writeError;
        removeTemporary(temporary);
        return reasonFromErrno("cannot write", error);
    }
    if (const std::optional<FileIdentity> existing = identityOf(target);
        existing && untouchable.contains(*existing)) {
        removeTemporary(temporary);
        return "it is one of the inputs under another name; not replaced";
    }
    if (const int renameError = renameTemporary(temporary, target); renameError != 0)
        return renameError == EISDIR ? "a folder of that name is in the way"
                                     : reasonFromErrno("cannot write", renameError);
    return {};
}

std::string writeStandardOutput(std::string_view bytes)
{
    if (!writeAll(STDOUT_FILENO, bytes))
        return reasonFromErrno("cannot write to standard output", errno);
    return {};
}

} // namespace pexa::cli
