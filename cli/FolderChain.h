#pragma once

#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace pexa::cli {

// The folders of one path, each open relative to the one above it, kept from one use to the next.
// Reaching a folder opens only the levels that differ from the folder reached before, so going
// through the files of a tree in path order resolves each folder once, however deep the tree. At
// most one descriptor is open per level of the current path. Safe to share between threads.
class FolderChain
{
public:
    FolderChain() = default;
    ~FolderChain();
    FolderChain(const FolderChain&) = delete;
    FolderChain& operator=(const FolderChain&) = delete;

    // A new descriptor of the folder that holds `file` (the caller closes it), making missing
    // folders on the way when `create` is set; -1 on failure, with errno set and `error` naming the
    // level that failed and why.
    int openFolderOf(const std::filesystem::path& file, bool create, std::string& error);

private:
    struct Level
    {
        std::string name;
        int fd;
    };

    int reach(const std::vector<std::string_view>& names, bool create, std::string& error);
    void dropFrom(std::size_t depth);

    std::mutex m_mutex;
    std::vector<Level> m_levels;
};

} // namespace pexa::cli
