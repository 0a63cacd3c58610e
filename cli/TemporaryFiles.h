#pragma once

#include <string>

// The temporary files a result is written to before it is renamed onto its target, kept in one
// list so that none is left behind when the program is stopped by a signal.
namespace pexa::cli {

struct TemporaryFile
{
    int fd = -1;       // -1 when it could not be created; errno tells why
    int folderFd = -1; // the folder it is in, open until the file is renamed or removed
    std::string name;  // its name in that folder
};

// Every temporary file's name starts with this. It is short, so a result may have the longest name
// the folder allows, and it never ends in ".txt", so a stale one is never taken for an article.
inline constexpr std::string_view temporaryPrefix = ".pexa-";

// Creates a new, empty temporary file in the open folder `folderFd`, with the permissions an
// ordinary new file gets (0666 less the umask), and lists it until it is renamed or removed. The
// folder must stay open until then.
TemporaryFile createTemporaryIn(int folderFd);

// Renames the (closed) temporary file onto `targetName` in its folder; 0 on success, else the errno
// of the failure.
int renameTemporary(const TemporaryFile& temporary, const std::string& targetName);

// Removes the temporary file.
void removeTemporary(const TemporaryFile& temporary);

// From now on SIGINT, SIGTERM and SIGHUP remove the listed temporary files and then end the program
// as the signal would, with the status a shell expects (130 for SIGINT, 143 for SIGTERM...). Blocks
// the three signals in the calling thread and leaves them to a thread of its own, so it must be
// called before any other thread is started. Once per program.
void removeTemporariesOnSignals();

} // namespace pexa::cli
