#pragma once

#include "FileIdentity.h"
#include "FolderChain.h"

#include <filesystem>
#include <string>
#include <string_view>

// File access for the batch: whole files in, whole files out, and a reason in plain words when
// something cannot be done.
namespace pexa::cli {

struct ReadOutcome
{
    std::string bytes;
    std::string error; // "no such file", "is a folder", "cannot read (Permission denied)"...

    bool ok() const { return error.empty(); }
};

ReadOutcome readWholeFile(const std::filesystem::path& path);
// The same for the file `file` of the chain's paths, its folder reached through `folders`.
ReadOutcome readWholeFile(FolderChain& folders, PathTree::Id file);
ReadOutcome readStandardInput();

// Writes `bytes` to a temporary file beside `target` and renames it onto the target, so the
// target is either the complete new file or untouched. Creates missing folders on the way. Refuses
// when the target, just before it would be replaced, is one of `untouchable` (the run's inputs,
// under whatever name). Returns the reason on failure (the temporary file is removed), empty on
// success.
std::string writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                                const FileIdentities& untouchable = {});
// The same for the target `target` of the chain's paths, its folder reached (and made) through
// `folders`.
std::string writeFileAtomically(FolderChain& folders, PathTree::Id target, std::string_view bytes,
                                const FileIdentities& untouchable);

// Writes all of `bytes` to standard output; the reason on failure, empty on success.
std::string writeStandardOutput(std::string_view bytes);

} // namespace pexa::cli
