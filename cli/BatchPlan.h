#pragma once

#include "CommandLine.h"
#include "FileIdentity.h"
#include "PathTree.h"

#include <optional>
#include <string>
#include <vector>

namespace pexa::cli {

// One article to rewrite: where it comes from and where its result goes, as paths of the plan.
struct Job
{
    PathTree::Id input = PathTree::none;  // none: standard input
    PathTree::Id output = PathTree::none; // none: standard output
    std::optional<FileIdentity> identity; // the input's, when it exists
};

struct BatchPlan
{
    std::vector<Job> jobs;
    PathTree paths;                    // the jobs' inputs and outputs
    std::vector<std::string> problems; // "name: reason" for inputs that cannot be rewritten
    std::string refusal;               // when set, nothing may run, for this reason
    FileIdentities inputs;             // every input file: no result may replace one

    // How messages name the article: its input's path as given or found, or "<standard input>".
    std::string labelOf(const Job& job) const;
};

// Turns the inputs into jobs. A file's result goes to the output folder under the file's name; a
// folder is searched for .txt files, whose results go to the output folder under the folder's name
// with its sub-folders kept (the output folder itself is left out of the search). An entry of the
// folder that cannot be looked at, and a link to nothing, is a problem of its own; the search goes
// on past it. Refuses a run in which some result would land on an input file, under whatever path
// the output folder reaches it.
BatchPlan planBatch(const Options& options);

} // namespace pexa::cli
