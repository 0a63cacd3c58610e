#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <sys/types.h>

namespace pexa::cli {

// What makes a file or folder itself, whatever path reaches it: its device and inode. The same
// folder seen through a bind mount, a second mount of a share, a symbolic link or a hard link has
// one identity under all its names.
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;

    friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

using FileIdentities = std::set<FileIdentity>;

// The identity of what `path` names (following symbolic links), or nullopt when it does not exist
// or cannot be reached.
std::optional<FileIdentity> identityOf(const std::filesystem::path& path);

} // namespace pexa::cli
