// pexa-rewrite: the command-line rewriter for batches of articles.
#include "BatchRunner.h"
#include "BuiltinDictionary.h"
#include "FileIo.h"
#include "TemporaryFiles.h"
#include "TextCodec.h"
#include "UserDictionary.h"

#include <cstdio>
#include <future>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace pexa;
using namespace pexa::cli;

namespace {

// A walk through a deep tree holds one folder open per level, and the inputs' and the results'
// folders as many again: allow as many open files as the system lets this process have.
void allowAllOpenFiles()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

constexpr int usageStatus = 2;

int refuseUsage(const std::string& reason)
{
    std::fprintf(stderr, "pexa-rewrite: %s\nTry 'pexa-rewrite --help'.\n", reason.c_str());
    return usageStatus;
}

// Adds the terms of every --protect-file; the reason when one cannot be read.
std::string readProtectFiles(Options& options)
{
    for (const std::string& file : options.protectFiles) {
        const ReadOutcome read = readWholeFile(file);
        if (!read.ok())
            return file + ": " + read.error;
        const DecodedArticle decoded = decodeArticle(read.bytes);
        if (!decoded.ok())
            return file + ": " + decoded.error;
        for (std::u16string& term : termsOfLines(decoded.text))
            options.protectedTerms.push_back(std::move(term));
    }
    return {};
}

// Every problem with the dictionary files, at most `shown` of them.
int refuseDictionary(const std::vector<std::string>& problems)
{
    constexpr std::size_t shown = 20;
    for (std::size_t i = 0; i < std::min(shown, problems.size()); ++i)
        std::fprintf(stderr, "pexa-rewrite: %s\n", problems[i].c_str());
    if (problems.size() > shown)
        std::fprintf(stderr, "pexa-rewrite: and %zu more problems\n", problems.size() - shown);
    std::fputs("pexa-rewrite: nothing was rewritten\n", stderr);
    return usageStatus;
}

RunSettings runSettingsFrom(const Options& options)
{
    RunSettings settings;
    settings.rewrite.protectedTerms = options.protectedTerms;
    settings.rewrite.shuffle = options.shuffle;
    settings.rewrite.seed = options.seed;
    settings.rewrite.traditional = options.traditional;
    settings.rewrite.measure = options.stats || options.comparePage.has_value();
    settings.rewrite.trace = options.comparePage.has_value();
    if (options.comparePage)
        settings.comparePage = *options.comparePage;
    settings.page.shuffle = options.shuffle;
    settings.page.traditional = options.traditional;
    // More threads than cores would only take turns on them.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    settings.jobs = options.jobs > 0 ? std::min(options.jobs, cores) : cores;
    settings.stats = options.stats;
    settings.showProgress = ::isatty(STDERR_FILENO) == 1;
    return settings;
}

} // namespace

int main(int argc, char** argv)
{
    CommandLine commandLine = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (commandLine.action) {
    case Action::ShowHelp:
        std::fputs(usageText().c_str(), stdout);
        return 0;
    case Action::ShowVersion:
        std::printf("pexa-rewrite %s\n", PEXA_VERSION);
        return 0;
    case Action::ListBuiltin:
        std::fputs(builtinListing().c_str(), stdout);
        return 0;
    case Action::RefuseUsage:
        return refuseUsage(commandLine.error);
    case Action::Run:
        break;
    }
    removeTemporariesOnSignals(); // before any other thread starts
    allowAllOpenFiles();
    Options& options = commandLine.options;
    // The writer's own files are read and checked first, since a bad line stops the run. The
    // built-in dictionary is made when the rewriter first needs it: compiled in, it takes
    // microseconds, less than a thread to make it on would.
    std::shared_future<PhraseDictionary> dictionary;
    if (usesOwnDictionary(options)) {
        AssembledDictionary assembled = dictionaryFromFiles(options);
        if (!assembled.problems.empty())
            return refuseDictionary(assembled.problems);
        std::promise<PhraseDictionary> ready;
        ready.set_value(std::move(assembled.dictionary));
        dictionary = ready.get_future().share();
    } else {
        dictionary = std::async(std::launch::deferred, loadBuiltinDictionary).share();
    }
    if (std::string reason = readProtectFiles(options); !reason.empty())
        return refuseUsage(reason);
    const BatchPlan plan = planBatch(options);
    if (!plan.refusal.empty())
        return refuseUsage(plan.refusal);
    return runBatch(plan, dictionary, runSettingsFrom(options));
}
