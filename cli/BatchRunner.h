#pragma once

#include "ArticleRewriter.h"
#include "BatchPlan.h"

#include <cstddef>
#include <string>

namespace pexa::cli {

struct RunSettings
{
    RewriteSettings rewrite;
    unsigned jobs = 1;  // worker threads
    bool stats = false; // per-file report and closing summary on standard error
    bool showProgress = false;
};

// Rewrites every job of the plan, `jobs` at a time, and tells on standard error what failed and,
// with stats, what changed. A failed file never stops the others. Returns the exit status: 0 when
// every file was rewritten, 1 when some failed (including the plan's problems).
int runBatch(const BatchPlan& plan, const PhraseDictionary& dictionary,
             const RunSettings& settings);

// "12 replacements, change rate 23.4%", with a warning when the rate was measured piece by piece.
std::string changeSummary(std::size_t replacements, const ChangeRate& rate);

// The per-file report line: "a.txt: 12 replacements, change rate 23.4%".
std::string statsLine(const std::string& label, std::size_t replacements, const ChangeRate& rate);

} // namespace pexa::cli
