#include "BatchPlan.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

namespace pexa::cli {
namespace fs = std::filesystem;
namespace {

bool isTextFile(const fs::directory_entry& entry)
{
    std::error_code ignored;
    std::string extension = entry.path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".txt" && entry.is_regular_file(ignored);
}

fs::path comparablePath(const fs::path& path)
{
    std::error_code ignored;
    const fs::path canonical = fs::weakly_canonical(fs::absolute(path, ignored), ignored);
    return canonical.empty() ? path.lexically_normal() : canonical;
}

// The .txt files under `folder` in name order, each with its result under `outputDir`/<folder
// name>.
void addFolder(const fs::path& folder, const fs::path& outputDir, BatchPlan& plan)
{
    const fs::path skipped = comparablePath(outputDir);
    std::vector<fs::path> files;
    std::error_code error;
    fs::recursive_directory_iterator walk(folder, error);
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        if (walk->is_directory(error) && comparablePath(walk->path()) == skipped)
            walk.disable_recursion_pending();
        else if (isTextFile(*walk))
            files.push_back(walk->path());
    }
    if (error)
        plan.problems.push_back(folder.string() + ": cannot search the folder (" + error.message() +
                                ")");
    if (!error && files.empty())
        plan.problems.push_back(folder.string() + ": no .txt files in the folder");
    std::sort(files.begin(), files.end());
    // The results keep the folder's own name: "-o out day1 day2" gives out/day1/... and
    // out/day2/...
    const fs::path resultFolder = outputDir / comparablePath(folder).filename();
    for (const fs::path& file : files)
        plan.jobs.push_back({file, resultFolder / file.lexically_relative(folder), file.string()});
}

// Drops repeated inputs, skips inputs whose result would land on another one's, and refuses the
// run when a result would land on an input.
void checkTargets(BatchPlan& plan)
{
    std::map<fs::path, std::string> inputs; // comparable path -> label
    for (const Job& job : plan.jobs)
        inputs.emplace(comparablePath(job.input), job.label);

    std::set<fs::path> seenInputs;
    std::map<fs::path, std::string> targets; // comparable result path -> label
    std::vector<Job> kept;
    for (Job& job : plan.jobs) {
        if (!seenInputs.insert(comparablePath(job.input)).second)
            continue;
        const fs::path target = comparablePath(job.output);
        if (const auto input = inputs.find(target); input != inputs.end()) {
            plan.refusal = "the result of " + job.label + " would replace the input " +
                           input->second + "; choose another --output-dir";
            return;
        }
        if (const auto [earlier, isNew] = targets.emplace(target, job.label); !isNew) {
            plan.problems.push_back(job.label + ": its result would replace the result of " +
                                    earlier->second + "; skipped");
            continue;
        }
        kept.push_back(std::move(job));
    }
    plan.jobs = std::move(kept);
}

} // namespace

BatchPlan planBatch(const Options& options)
{
    BatchPlan plan;
    if (options.inputs.empty()) {
        plan.jobs.push_back({{}, {}, "<standard input>"});
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
            plan.jobs.push_back({input, {}, input});
        return plan;
    }
    const fs::path outputDir = *options.outputDir;
    for (const std::string& input : options.inputs) {
        std::error_code ignored;
        if (fs::is_directory(input, ignored))
            addFolder(input, outputDir, plan);
        else
            plan.jobs.push_back({input, outputDir / fs::path(input).filename(), input});
    }
    checkTargets(plan);
    return plan;
}

} // namespace pexa::cli
