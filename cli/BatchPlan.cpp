#include "BatchPlan.h"

#include "FolderChain.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace pexa::cli {
namespace fs = std::filesystem;
namespace {

bool hasTextExtension(std::string_view name)
{
    constexpr std::string_view extension = ".txt";
    if (name.size() <= extension.size())
        return false;
    const std::string_view end = name.substr(name.size() - extension.size());
    return std::equal(end.begin(), end.end(), extension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
    });
}

fs::path comparablePath(const fs::path& path)
{
    std::error_code ignored;
    const fs::path canonical = fs::weakly_canonical(fs::absolute(path, ignored), ignored);
    return canonical.empty() ? path.lexically_normal() : canonical;
}

// A folder entry the search cares about.
struct Entry
{
    enum class Kind
    {
        Article,
        Folder,
    };
    std::string name;
    Kind kind;
    FileIdentity identity;
};

// What the entry `name` of the open folder `folderFd` is: an article (a .txt file, also through a
// link), a folder (not through a link, so a link cannot lead the search round in a circle), or
// nothing of interest. An entry that cannot be looked at, or a link to nothing, is noted as a
// problem under its path.
std::optional<Entry> lookAt(int folderFd, const fs::path& folder, const std::string& name,
                            std::vector<std::string>& problems)
{
    struct stat info
    {
    };
    const auto problem = [&](const std::string& reason) {
        problems.push_back((folder / name).string() + ": " + reason);
        return std::nullopt;
    };
    if (::fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return problem(std::string("cannot be looked at (") + std::strerror(errno) + ")");
    const FileIdentity identity{info.st_dev, info.st_ino};
    if (S_ISDIR(info.st_mode))
        return Entry{name, Entry::Kind::Folder, identity};
    if (S_ISLNK(info.st_mode) && ::fstatat(folderFd, name.c_str(), &info, 0) != 0)
        return problem(errno == ENOENT
                           ? "a link to nothing; skipped"
                           : std::string("cannot follow the link (") + std::strerror(errno) + ")");
    if (S_ISREG(info.st_mode) && hasTextExtension(name))
        return Entry{name, Entry::Kind::Article, {info.st_dev, info.st_ino}};
    return std::nullopt;
}

// The entries of the open folder `fd` that the search cares about, in name order; the reason when
// the folder cannot be read.
std::optional<std::vector<Entry>> listFolder(int fd, const fs::path& folder, std::string& error,
                                             std::vector<std::string>& problems)
{
    const int listingFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    DIR* listing = listingFd < 0 ? nullptr : ::fdopendir(listingFd);
    if (!listing) {
        error = std::strerror(errno);
        if (listingFd >= 0)
            ::close(listingFd);
        return std::nullopt;
    }
    std::vector<Entry> entries;
    for (;;) {
        errno = 0;
        const dirent* item = ::readdir(listing);
        if (!item)
            break;
        const std::string name = item->d_name;
        if (name == "." || name == ".." || (item->d_type == DT_REG && !hasTextExtension(name)))
            continue;
        if (std::optional<Entry> entry = lookAt(fd, folder, name, problems))
            entries.push_back(std::move(*entry));
    }
    const int readError = errno;
    ::closedir(listing);
    if (readError != 0) {
        error = std::strerror(readError);
        return std::nullopt;
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

// A folder being searched: its descriptor, its path, its path below the searched folder, and the
// entries still to visit. Its sub-folders are opened relative to it, so no path is resolved from
// the top again; it is closed as soon as its last entry has been visited, so at most one folder per
// level of the current path is open.
struct OpenFolder
{
    int fd;
    fs::path path;
    fs::path relative;
    std::vector<Entry> entries;
    std::size_t next = 0;
};

// Opens the folder `name` of `parentFd` (or the path `path`, with AT_FDCWD) and adds its entries to
// `stack`, or notes why it cannot be read. A sub-folder is never entered through a link that took
// its place since it was looked at.
void enterFolder(int parentFd, const fs::path& name, const fs::path& path, const fs::path& relative,
                 std::vector<OpenFolder>& stack, BatchPlan& plan)
{
    const int noLinks = parentFd == AT_FDCWD ? 0 : O_NOFOLLOW;
    const int fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | noLinks);
    std::string error;
    if (fd < 0)
        error = std::strerror(errno);
    else if (std::optional<std::vector<Entry>> entries = listFolder(fd, path, error, plan.problems))
        return stack.push_back({fd, path, relative, std::move(*entries)});
    else
        ::close(fd);
    plan.problems.push_back(path.string() + ": cannot search the folder (" + error + ")");
}

// The .txt files under `folder` in path order, each with its result under `outputDir`/<folder
// name>. Depth first, one entry at a time, with each path built once from its folder's: the cost
// grows with the number of entries, not with the depth of the tree.
void addFolder(const fs::path& folder, const fs::path& outputDir, BatchPlan& plan)
{
    // The results keep the folder's own name: "-o out day1 day2" gives out/day1/... and
    // out/day2/...
    const fs::path resultFolder = outputDir / comparablePath(folder).filename();
    FileIdentities skipped; // results of this run or an earlier one are no input
    for (const fs::path& output : {outputDir, resultFolder})
        if (const std::optional<FileIdentity> identity = identityOf(output))
            skipped.insert(*identity);

    const std::size_t jobsBefore = plan.jobs.size();
    const std::size_t problemsBefore = plan.problems.size();
    std::vector<OpenFolder> stack;
    enterFolder(AT_FDCWD, folder, folder, {}, stack, plan);
    while (!stack.empty()) {
        OpenFolder& open = stack.back();
        if (open.next == open.entries.size()) {
            ::close(open.fd);
            stack.pop_back();
            continue;
        }
        const Entry& entry = open.entries[open.next++];
        const fs::path path = open.path / entry.name;
        const fs::path relative = open.relative / entry.name;
        if (entry.kind == Entry::Kind::Article)
            plan.jobs.push_back({path, resultFolder / relative, path.string(), entry.identity});
        else if (!skipped.contains(entry.identity))
            enterFolder(open.fd, entry.name, path, relative, stack, plan); // may move `open`
    }
    if (plan.jobs.size() == jobsBefore && plan.problems.size() == problemsBefore)
        plan.problems.push_back(folder.string() + ": no .txt files in the folder");
}

// The identity of what `path` names, its folder reached through `folders`.
std::optional<FileIdentity> identityIn(FolderChain& folders, const fs::path& path)
{
    std::string ignored;
    const int folderFd = folders.openFolderOf(path, false, ignored);
    if (folderFd < 0)
        return std::nullopt;
    struct stat info
    {
    };
    const bool found = ::fstatat(folderFd, path.filename().c_str(), &info, 0) == 0;
    ::close(folderFd);
    if (!found)
        return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino};
}

// Drops repeated inputs (the same file under any name), skips inputs whose result would land on
// another one's, and refuses the run when a result would land on an input.
void checkTargets(BatchPlan& plan, const fs::path& outputDir)
{
    std::map<FileIdentity, std::string> inputLabels;
    for (const Job& job : plan.jobs)
        if (job.identity)
            inputLabels.emplace(*job.identity, job.label);

    const fs::path outputKey = comparablePath(outputDir);
    FolderChain outputFolders;
    std::set<FileIdentity> seenInputs;
    std::set<fs::path> seenMissingInputs;
    // Result path from the output folder (normal form, so its text compares as the path) -> label.
    std::map<std::string, std::string> targets;
    std::vector<Job> kept;
    for (Job& job : plan.jobs) {
        const bool repeated = job.identity
                                  ? !seenInputs.insert(*job.identity).second
                                  : !seenMissingInputs.insert(comparablePath(job.input)).second;
        if (repeated)
            continue;
        if (const std::optional<FileIdentity> target = identityIn(outputFolders, job.output)) {
            if (const auto input = inputLabels.find(*target); input != inputLabels.end()) {
                plan.refusal = "the result of " + job.label + " would replace the input " +
                               input->second + "; choose another --output-dir";
                return;
            }
        }
        const fs::path targetKey = outputKey / job.output.lexically_relative(outputDir);
        if (const auto [earlier, isNew] = targets.emplace(targetKey.native(), job.label); !isNew) {
            plan.problems.push_back(job.label + ": its result would replace the result of " +
                                    earlier->second + "; skipped");
            continue;
        }
        kept.push_back(std::move(job));
    }
    plan.jobs = std::move(kept);
    for (const auto& [identity, label] : inputLabels)
        plan.inputs.insert(identity);
}

} // namespace

BatchPlan planBatch(const Options& options)
{
    BatchPlan plan;
    if (options.inputs.empty()) {
        plan.jobs.push_back({{}, {}, "<standard input>", {}});
        return plan;
    }
    if (!options.outputDir) {
        const std::string& input = options.inputs.front();
        std::error_code ignored;
        if (options.inputs.size() > 1)
            plan.refusal = "several inputs need --output-dir";
        else if (fs::is_directory(input, ignored))
            plan.refusal = input + " is a folder; give --output-dir to rewrite a folder";
        else
            plan.jobs.push_back({input, {}, input, {}});
        return plan;
    }
    const fs::path outputDir = *options.outputDir;
    for (const std::string& input : options.inputs) {
        std::error_code ignored;
        if (fs::is_directory(input, ignored))
            addFolder(input, outputDir, plan);
        else
            plan.jobs.push_back(
                {input, outputDir / fs::path(input).filename(), input, identityOf(input)});
    }
    checkTargets(plan, outputDir);
    return plan;
}

} // namespace pexa::cli
