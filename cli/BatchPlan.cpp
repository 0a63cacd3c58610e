#include "BatchPlan.h"

#include "FolderChain.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
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
// problem under its path (the folder's path in `paths` and its name).
std::optional<Entry> lookAt(int folderFd, const PathTree& paths, PathTree::Id folder,
                            const std::string& name, std::vector<std::string>& problems)
{
    struct stat info
    {
    };
    const auto problem = [&](const std::string& reason) {
        problems.push_back((fs::path(paths.text(folder)) / name).string() + ": " + reason);
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
std::optional<std::vector<Entry>> listFolder(int fd, const PathTree& paths, PathTree::Id folder,
                                             std::string& error, std::vector<std::string>& problems)
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
        if (std::optional<Entry> entry = lookAt(fd, paths, folder, name, problems))
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

// A folder being searched: its descriptor, its path and the path of its results, and the entries
// still to visit. Its sub-folders are opened relative to it, so no path is resolved from the top
// again; it is closed as soon as its last entry has been visited, so at most one folder per level
// of the current path is open.
struct OpenFolder
{
    int fd;
    PathTree::Id input;
    PathTree::Id output;
    std::vector<Entry> entries;
    std::size_t next = 0;
};

// Opens the folder `input` of `parentFd` (or from the working folder, with AT_FDCWD) and adds its
// entries to `stack`, or notes why it cannot be read. A sub-folder is never entered through a link
// that took its place since it was looked at.
void enterFolder(int parentFd, PathTree::Id input, PathTree::Id output,
                 std::vector<OpenFolder>& stack, BatchPlan& plan)
{
    const int noLinks = parentFd == AT_FDCWD ? 0 : O_NOFOLLOW;
    const int fd = ::openat(parentFd, plan.paths.name(input).c_str(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC | noLinks);
    std::string error;
    if (fd < 0)
        error = std::strerror(errno);
    else if (std::optional<std::vector<Entry>> entries =
                 listFolder(fd, plan.paths, input, error, plan.problems))
        return stack.push_back({fd, input, output, std::move(*entries)});
    else
        ::close(fd);
    plan.problems.push_back(plan.paths.text(input) + ": cannot search the folder (" + error + ")");
}

// The .txt files under `folder` in path order, each with its result under the output folder
// `outputRoot` (`outputDir`)/<folder name>. Depth first, one entry at a time, each path one name
// in its folder's: the cost grows with the number of entries, not with the depth of the tree.
void addFolder(const std::string& folder, const fs::path& outputDir, PathTree::Id outputRoot,
               BatchPlan& plan)
{
    // The results keep the folder's own name: "-o out day1 day2" gives out/day1/... and
    // out/day2/...
    const std::string resultName = comparablePath(folder).filename().string();
    FileIdentities skipped; // results of this run or an earlier one are no input
    for (const fs::path& output : {outputDir, outputDir / resultName})
        if (const std::optional<FileIdentity> identity = identityOf(output))
            skipped.insert(*identity);

    const std::size_t jobsBefore = plan.jobs.size();
    const std::size_t problemsBefore = plan.problems.size();
    std::vector<OpenFolder> stack;
    enterFolder(AT_FDCWD, plan.paths.add(PathTree::none, folder),
                plan.paths.add(outputRoot, resultName), stack, plan);
    while (!stack.empty()) {
        OpenFolder& open = stack.back();
        if (open.next == open.entries.size()) {
            ::close(open.fd);
            stack.pop_back();
            continue;
        }
        const Entry& entry = open.entries[open.next++];
        if (entry.kind == Entry::Kind::Folder && skipped.contains(entry.identity))
            continue;
        const PathTree::Id input = plan.paths.add(open.input, entry.name);
        const PathTree::Id output = plan.paths.add(open.output, entry.name);
        if (entry.kind == Entry::Kind::Article)
            plan.jobs.push_back({input, output, entry.identity});
        else
            enterFolder(open.fd, input, output, stack, plan); // may move `open`
    }
    if (plan.jobs.size() == jobsBefore && plan.problems.size() == problemsBefore)
        plan.problems.push_back(folder + ": no .txt files in the folder");
}

// A file as the command line gives it: a path from the working folder, which may lead through
// folders.
PathTree::Id givenFile(PathTree& paths, const std::string& path)
{
    return paths.add(paths.add(PathTree::none, ""), path);
}

// The identity of what `path` names, its folder reached through `folders`.
std::optional<FileIdentity> identityIn(FolderChain& folders, PathTree::Id path)
{
    std::string ignored;
    const int folderFd = folders.openFolderOf(path, ignored);
    if (folderFd < 0)
        return std::nullopt;
    struct stat info
    {
    };
    const bool found = ::fstatat(folderFd, folders.paths().name(path).c_str(), &info, 0) == 0;
    ::close(folderFd);
    if (!found)
        return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino};
}

// Drops repeated inputs (the same file under any name), skips inputs whose result would land on
// another one's, and refuses the run when a result would land on an input.
void checkTargets(BatchPlan& plan)
{
    std::map<FileIdentity, PathTree::Id> inputPaths; // the first path of each input file
    for (const Job& job : plan.jobs)
        if (job.identity)
            inputPaths.emplace(*job.identity, job.input);

    FolderChain outputFolders(plan.paths, MissingFolders::Fail);
    std::set<FileIdentity> seenInputs;
    std::set<fs::path> seenMissingInputs;
    // Every result is one path of the tree, however it was reached -> the input it comes from.
    std::map<PathTree::Id, PathTree::Id> targets;
    std::vector<Job> kept;
    for (Job& job : plan.jobs) {
        const bool repeated =
            job.identity ? !seenInputs.insert(*job.identity).second
                         : !seenMissingInputs.insert(comparablePath(plan.labelOf(job))).second;
        if (repeated)
            continue;
        if (const std::optional<FileIdentity> target = identityIn(outputFolders, job.output)) {
            if (const auto input = inputPaths.find(*target); input != inputPaths.end()) {
                plan.refusal = "the result of " + plan.labelOf(job) + " would replace the input " +
                               plan.paths.text(input->second) + "; choose another --output-dir";
                return;
            }
        }
        if (const auto [earlier, isNew] = targets.emplace(job.output, job.input); !isNew) {
            plan.problems.push_back(plan.labelOf(job) +
                                    ": its result would replace the result of " +
                                    plan.paths.text(earlier->second) + "; skipped");
            continue;
        }
        kept.push_back(std::move(job));
    }
    plan.jobs = std::move(kept);
    for (const auto& [identity, path] : inputPaths)
        plan.inputs.insert(identity);
}

} // namespace

std::string BatchPlan::labelOf(const Job& job) const
{
    return job.input == PathTree::none ? "<standard input>" : paths.text(job.input);
}

BatchPlan planBatch(const Options& options)
{
    BatchPlan plan;
    if (options.inputs.empty()) {
        plan.jobs.emplace_back();
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
            plan.jobs.push_back({givenFile(plan.paths, input), PathTree::none, {}});
        return plan;
    }
    const fs::path outputDir = *options.outputDir;
    const PathTree::Id outputRoot = plan.paths.add(PathTree::none, outputDir.string());
    for (const std::string& input : options.inputs) {
        std::error_code ignored;
        if (fs::is_directory(input, ignored))
            addFolder(input, outputDir, outputRoot, plan);
        else
            plan.jobs.push_back({givenFile(plan.paths, input),
                                 plan.paths.add(outputRoot, fs::path(input).filename().string()),
                                 identityOf(input)});
    }
    checkTargets(plan);
    return plan;
}

} // namespace pexa::cli
