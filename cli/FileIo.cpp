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

// Reads the file `name` of the open folder `folderFd` (or a path, with AT_FDCWD).
ReadOutcome readFileIn(int folderFd, const char* name)
{
    ReadOutcome outcome;
    const int fd = ::openat(folderFd, name, O_RDONLY | O_CLOEXEC);
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

// Whether `name` in the open folder is one of `untouchable`.
bool isUntouchable(int folderFd, const std::string& name, const FileIdentities& untouchable)
{
    struct stat info
    {
    };
    return !untouchable.empty() && ::fstatat(folderFd, name.c_str(), &info, 0) == 0 &&
           untouchable.contains({info.st_dev, info.st_ino});
}

// Writes `bytes` to a temporary file in the open folder and renames it onto `name` there.
std::string writeFileIn(int folderFd, const std::string& name, std::string_view bytes,
                        const FileIdentities& untouchable)
{
    constexpr std::string_view isAnInput =
        "it is one of the inputs under another name; not replaced";
    if (isUntouchable(folderFd, name, untouchable))
        return std::string(isAnInput);
    const TemporaryFile temporary = createTemporaryIn(folderFd);
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
    if (isUntouchable(folderFd, name, untouchable)) {
        removeTemporary(temporary);
        return std::string(isAnInput);
    }
    if (const int renameError = renameTemporary(temporary, name); renameError != 0)
        return renameError == EISDIR ? "a folder of that name is in the way"
                                     : reasonFromErrno("cannot write", renameError);
    return {};
}

} // namespace

ReadOutcome readWholeFile(const std::filesystem::path& path)
{
    return readFileIn(AT_FDCWD, path.c_str());
}

ReadOutcome readWholeFile(FolderChain& folders, PathTree::Id file)
{
    std::string ignored;
    const int folderFd = folders.openFolderOf(file, ignored);
    if (folderFd < 0)
        return {{}, reasonFromErrno("cannot open", errno)};
    ReadOutcome outcome = readFileIn(folderFd, folders.paths().name(file).c_str());
    ::close(folderFd);
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
    PathTree paths;
    const PathTree::Id folder = paths.add(PathTree::none, target.parent_path().string());
    FolderChain folders(paths, MissingFolders::Make);
    return writeFileAtomically(folders, paths.add(folder, target.filename().string()), bytes,
                               untouchable);
}

std::string writeFileAtomically(FolderChain& folders, PathTree::Id target, std::string_view bytes,
                                const FileIdentities& untouchable)
{
    std::string folderError;
    const int folderFd = folders.openFolderOf(target, folderError);
    if (folderFd < 0)
        return "cannot create the folder " + folderError;
    std::string reason = writeFileIn(folderFd, folders.paths().name(target), bytes, untouchable);
    ::close(folderFd);
    return reason;
}

std::string writeStandardOutput(std::string_view bytes)
{
    if (!writeAll(STDOUT_FILENO, bytes))
        return reasonFromErrno("cannot write to standard output", errno);
    return {};
}

} // namespace pexa::cli
