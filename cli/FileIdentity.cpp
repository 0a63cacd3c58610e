#include "FileIdentity.h"

#include <sys/stat.h>

namespace pexa::cli {

std::optional<FileIdentity> identityOf(const std::filesystem::path& path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino};
}

} // namespace pexa::cli
