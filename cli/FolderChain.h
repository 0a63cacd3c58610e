#pragma once

#include "PathTree.h"

#include <mutex>
#include <string>
#include <vector>

namespace pexa::cli {

// What reaching a folder that does not exist does.
enum class MissingFolders
{
    Fail,
    Make,
};

// The folders of one path of a PathTree, each open relative to the one above it, kept from one use
// to the next. Reaching a folder opens only the levels that differ from the folder reached before,
// and finds them by walking up from the new folder to the deepest level still open, so going
// through the files of a tree in path order opens each folder once and costs the same per file
// however deep the tree. At most one descriptor is open per level of the current path. A level
// that could not be opened stays failed, with its reason, while the chain holds it, so the files
// below it fail at once. Safe to share between threads.
class FolderChain
{
public:
    FolderChain(const PathTree& paths, MissingFolders missing);
    ~FolderChain();
    FolderChain(const FolderChain&) = delete;
    FolderChain& operator=(const FolderChain&) = delete;

    const PathTree& paths() const { return m_paths; }

    // A new descriptor of the folder that holds `file` (the caller closes it); -1 on failure, with
    // errno set and `error` naming the folder that failed and why. `file` must lie in a folder.
    int openFolderOf(PathTree::Id file, std::string& error);

private:
    struct Level
    {
        PathTree::Id folder;
        int fd; // -1: this folder or one above it could not be opened
    };

    // The first level that could not be opened: errno and "its/path (reason)".
    struct Failure
    {
        int error = 0;
        std::string message;
    };

    bool holds(PathTree::Id folder) const;
    int reach(PathTree::Id folder);
    void openLevel(PathTree::Id folder);
    void dropFrom(std::size_t depth);

    const PathTree& m_paths;
    const MissingFolders m_missing;
    std::mutex m_mutex;
    std::vector<Level> m_levels; // m_levels[depth] holds a folder of that depth
    Failure m_failure;
};

} // namespace pexa::cli
