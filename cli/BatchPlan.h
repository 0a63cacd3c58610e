#pragma once

#include "CommandLine.h"

#include <filesystem>
#include <string>
#include <vector>

namespace pexa::cli {

// One article to rewrite: where it comes from and where its result goes.
struct Job
{
    std::filesystem::path input;  // empty: standard input
    std::filesystem::path output; // empty: standard output
    std::string label;            // how messages name the article
};

struct BatchPlan
{
    std::vector<Job> jobs;
    std::vector<std::string> problems; // "name: reason" for inputs that cannot be rewritten
    std::string refusal;               // when set, nothing may run, for this reason
};

// Turns the inputs into jobs. A file's result goes to the output folder under the file's name; a
// folder is searched for .txt files, whose results go to the output folder under the folder's name
// with its sub-folders kept (the output folder itself is left out of the search). Refuses a run in
// which some result would land on an input file.
BatchPlan planBatch(const Options& options);

} // namespace pexa::cli
