#pragma once

#include "ArticleRewriter.h"
#include "BatchPlan.h"
#include "ComparisonPage.h"

#include <cstddef>
#include <future>
#include <string>

namespace pexa::cli {

struct RunSettings
{
    RewriteSettings rewrite;
    unsigned jobs = 1;  // threads: files at a time, or parts of one long article
    bool stats = false; // per-file report and closing summary on standard error
    bool showProgress = false;
    std::optional<std::filesystem::path> comparePage; // the side-by-side page, written at the end
    PageSettings page;
};

// Rewrites every job of the plan, `jobs` at a time, and tells on standard error what failed and,
// with stats, what changed. A failed file never stops the others. Returns the exit status: 0 when
// every file was rewritten, 1 when some failed (including the plan's problems) or the comparison
// page could not be written.
//
// The dictionary may still be loading: the run's one rewriter is built on a helper thread while the
// workers read their first articles, which for a single large file hides most of the start-up.
int runBatch(const BatchPlan& plan, const std::shared_future<PhraseDictionary>& dictionary,
             const RunSettings& settings);

// "12 replacements, change rate 23.4%", with a warning when the rate was measured piece by piece.
std::string changeSummary(std::size_t replacements, const ChangeRate& rate);

// The per-file report line: "a.txt: 12 replacements, change rate 23.4%".
std::string statsLine(const std::string& label, std::size_t replacements, const ChangeRate& rate);

} // namespace pexa::cli
