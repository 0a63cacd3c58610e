#include "FolderChain.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pexa::cli {
namespace fs = std::filesystem;
namespace {

// Opens the folder `name` in `parentFd`, first making it when asked and missing.
int openLevel(int parentFd, const std::string& name, bool create)
{
    constexpr int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    int fd = ::openat(parentFd, name.c_str(), flags);
    if (fd < 0 && errno == ENOENT && create) {
        if (::mkdirat(parentFd, name.c_str(), 0777) != 0 && errno != EEXIST)
            return -1;
        fd = ::openat(parentFd, name.c_str(), flags);
    }
    return fd;
}

// The names of the folders on the way to `file`, read straight from its text: a path object per
// level would cost more than the file itself in a deep tree.
std::vector<std::string_view> foldersOnTheWayTo(const fs::path& file)
{
    const std::string_view path = file.native();
    std::vector<std::string_view> names;
    if (path.starts_with('/'))
        names.emplace_back("/");
    std::size_t start = 0;
    for (std::size_t end = path.find('/'); end != std::string_view::npos;
         start = end + 1, end = path.find('/', start))
        if (end > start)
            names.push_back(path.substr(start, end - start));
    if (names.empty())
        names.emplace_back(".");
    return names;
}

} // namespace

FolderChain::~FolderChain()
{
    dropFrom(0);
}

void FolderChain::dropFrom(std::size_t depth)
{
    while (m_levels.size() > depth) {
        ::close(m_levels.back().fd);
        m_levels.pop_back();
    }
}

int FolderChain::openFolderOf(const fs::path& file, bool create, std::string& error)
{
    const std::lock_guard lock(m_mutex);
    const int fd = reach(foldersOnTheWayTo(file), create, error);
    if (fd < 0)
        return -1;
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) {
        const int failure = errno;
        error = file.parent_path().string() + " (" + std::strerror(failure) + ")";
        errno = failure;
    }
    return copy;
}

int FolderChain::reach(const std::vector<std::string_view>& names, bool create, std::string& error)
{
    std::size_t kept = 0;
    while (kept < m_levels.size() && kept < names.size() && m_levels[kept].name == names[kept])
        ++kept;
    dropFrom(kept);
    for (std::size_t depth = kept; depth < names.size(); ++depth) {
        const int parentFd = depth == 0 ? AT_FDCWD : m_levels.back().fd;
        const std::string name(names[depth]);
        const int fd = openLevel(parentFd, name, create);
        if (fd < 0) {
            const int failure = errno;
            fs::path reached;
            for (std::size_t level = 0; level <= depth; ++level)
                reached /= names[level];
            error = reached.string() + " (" + std::strerror(failure) + ")";
            errno = failure;
            return -1;
        }
        m_levels.push_back({name, fd});
    }
    return m_levels.back().fd;
}

} // namespace pexa::cli
