#include "FolderChain.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace pexa::cli {
namespace fs = std::filesystem;
namespace {

// Opens the folder `name` in `parentFd`, first making it when asked and missing.
int openOrMake(int parentFd, const std::string& name, MissingFolders missing)
{
    constexpr int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    int fd = ::openat(parentFd, name.c_str(), flags);
    if (fd < 0 && errno == ENOENT && missing == MissingFolders::Make) {
        if (::mkdirat(parentFd, name.c_str(), 0777) != 0 && errno != EEXIST)
            return -1;
        fd = ::openat(parentFd, name.c_str(), flags);
    }
    return fd;
}

// The folders on the way down `path`, read straight from its text: "/" first for a path from the
// root, "." alone for the working folder.
std::vector<std::string_view> levelsOf(std::string_view path)
{
    std::vector<std::string_view> names;
    if (path.starts_with('/'))
        names.emplace_back("/");
    for (std::size_t start = 0; start < path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (end > start)
            names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    if (names.empty())
        names.emplace_back(".");
    return names;
}

std::string describe(const std::string& where, int error)
{
    return where + " (" + std::strerror(error) + ")";
}

// Opens the folder `path`, given from the working folder, one level at a time so that missing
// levels can be made; -1 on failure, with errno set and `failedAt` naming the level that failed.
int openFromWorkingFolder(const std::string& path, MissingFolders missing, std::string& failedAt)
{
    int fd = AT_FDCWD;
    fs::path reached;
    for (const std::string_view name : levelsOf(path)) {
        reached /= name;
        const int next = openOrMake(fd, std::string(name), missing);
        const int failure = errno;
        if (fd != AT_FDCWD)
            ::close(fd);
        if (next < 0) {
            failedAt = reached.string();
            errno = failure;
            return -1;
        }
        fd = next;
    }
    return fd;
}

} // namespace

FolderChain::FolderChain(const PathTree& paths, MissingFolders missing)
    : m_paths(paths), m_missing(missing)
{
}

FolderChain::~FolderChain()
{
    dropFrom(0);
}

void FolderChain::dropFrom(std::size_t depth)
{
    while (m_levels.size() > depth) {
        if (m_levels.back().fd >= 0)
            ::close(m_levels.back().fd);
        m_levels.pop_back();
    }
}

bool FolderChain::holds(PathTree::Id folder) const
{
    const std::size_t depth = m_paths.depth(folder);
    return depth < m_levels.size() && m_levels[depth].folder == folder;
}

int FolderChain::openFolderOf(PathTree::Id file, std::string& error)
{
    const std::lock_guard lock(m_mutex);
    const PathTree::Id folder = m_paths.folderOf(file);
    const int fd = reach(folder);
    if (fd < 0) {
        error = m_failure.message;
        errno = m_failure.error;
        return -1;
    }
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) {
        const int failure = errno;
        error = describe(m_paths.text(folder), failure);
        errno = failure;
    }
    return copy;
}

int FolderChain::reach(PathTree::Id folder)
{
    std::vector<PathTree::Id> way; // the folders to open, deepest first
    PathTree::Id held = folder;
    for (; held != PathTree::none && !holds(held); held = m_paths.folderOf(held))
        way.push_back(held);
    dropFrom(held == PathTree::none ? 0 : m_paths.depth(held) + 1);
    for (auto step = way.rbegin(); step != way.rend(); ++step)
        openLevel(*step);
    return m_levels.back().fd;
}

// Opens `folder` in the chain's last level, or from the working folder when it is the top of its
// tree; below a level that failed, it fails too.
void FolderChain::openLevel(PathTree::Id folder)
{
    int fd = -1;
    if (m_levels.empty()) {
        std::string failedAt;
        fd = openFromWorkingFolder(m_paths.name(folder), m_missing, failedAt);
        if (const int failure = errno; fd < 0)
            m_failure = {failure, describe(failedAt, failure)};
    } else if (m_levels.back().fd >= 0) {
        fd = openOrMake(m_levels.back().fd, m_paths.name(folder), m_missing);
        if (const int failure = errno; fd < 0)
            m_failure = {failure, describe(m_paths.text(folder), failure)};
    }
    m_levels.push_back({folder, fd});
}

} // namespace pexa::cli
