#include "BatchRunner.h"

#include "FileIo.h"
#include "ProgressLine.h"
#include "TextCodec.h"
#include "WorkerThreads.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>

namespace pexa::cli {
namespace {

// The run's one rewriter, built when the first article needs it. With the built-in index compiled
// in this takes microseconds, less than a helper thread to build it on would cost.
using PendingRewriter = std::shared_future<std::shared_ptr<const ArticleRewriter>>;

PendingRewriter buildRewriter(const std::shared_future<PhraseDictionary>& dictionary,
                              RewriteSettings settings)
{
    return std::async(std::launch::deferred,
                      [&dictionary, settings = std::move(settings)]() mutable {
                          return std::make_shared<const ArticleRewriter>(dictionary.get(),
                                                                         std::move(settings));
                      })
        .share();
}

// Where the comparison page's sections go, one per job; none without a page.
using PageSections = std::vector<std::string>;

// The folders of the inputs and of the results. The jobs come in path order, so each folder of a
// tree is opened once however deep it lies.
struct RunFolders
{
    explicit RunFolders(const PathTree& paths)
        : inputs(paths, MissingFolders::Fail), outputs(paths, MissingFolders::Make)
    {
    }

    FolderChain inputs;
    FolderChain outputs;
};

// Reads, rewrites and writes one article of the plan, and makes its section of the page when the
// rewrite was traced; the result's error names what went wrong.
ArticleResult rewriteJob(const BatchPlan& plan, std::size_t index, const PendingRewriter& rewriter,
                         RunFolders& folders, PageSections& sections)
{
    const Job& job = plan.jobs[index];
    ArticleResult failed;
    const ReadOutcome read = job.input == PathTree::none ? readStandardInput()
                                                         : readWholeFile(folders.inputs, job.input);
    if (!read.ok()) {
        failed.error = read.error;
        return failed;
    }
    const DecodedArticle article = decodeArticle(read.bytes);
    if (!article.ok()) {
        failed.error = article.error;
        return failed;
    }
    ArticleResult result = rewriter.get()->rewrite(article.text);
    if (!result.ok())
        return result;
    if (result.traced) {
        sections[index] = articleSection({plan.labelOf(job), article.text, *result.traced,
                                          std::move(result.kept), result.changeRate},
                                         rewriter.get()->dictionary(), index + 1);
        result.traced.reset();
    }
    const std::string bytes = encodeResult(result.text, article.hadByteOrderMark);
    if (job.output == PathTree::none)
        result.error = writeStandardOutput(bytes);
    else if (std::string reason =
                 writeFileAtomically(folders.outputs, job.output, bytes, plan.inputs);
             !reason.empty())
        result.error = "cannot write the result " + plan.paths.text(job.output) + ": " + reason;
    return result;
}

ArticleResult processJob(const BatchPlan& plan, std::size_t index, const PendingRewriter& rewriter,
                         RunFolders& folders, PageSections& sections)
{
    try {
        return rewriteJob(plan, index, rewriter, folders, sections);
    } catch (const std::exception& error) {
        ArticleResult failed;
        failed.error = std::string("could not be rewritten: ") + error.what();
        return failed;
    }
}

struct Totals
{
    std::size_t rewritten = 0;
    std::size_t failed = 0;
    std::size_t replacements = 0;
    ChangeRate changeRate; // summed over the rewritten files
};

class Reporter
{
public:
    Reporter(const BatchPlan& plan, const RunSettings& settings)
        : m_plan(plan), m_settings(settings), m_progress(plan.jobs.size(), settings.showProgress)
    {
    }

    // A message that is no failure of a file.
    void note(const std::string& message)
    {
        const std::lock_guard lock(m_mutex);
        m_progress.clear();
        std::fprintf(stderr, "pexa-rewrite: %s\n", message.c_str());
    }

    void problem(const std::string& message)
    {
        note(message);
        const std::lock_guard lock(m_mutex);
        ++m_totals.failed;
    }

    void fileDone(const Job& job, const ArticleResult& result)
    {
        const std::lock_guard lock(m_mutex);
        // The file's path is put together only when a line names it.
        const bool namesTheFile = !result.notes.empty() || !result.ok() || m_settings.stats;
        const std::string label = namesTheFile ? m_plan.labelOf(job) : std::string();
        if (namesTheFile)
            m_progress.clear();
        for (const std::string& note : result.notes)
            std::fprintf(stderr, "pexa-rewrite: %s: %s\n", label.c_str(), note.c_str());
        if (!result.ok()) {
            std::fprintf(stderr, "pexa-rewrite: %s: %s\n", label.c_str(), result.error.c_str());
            ++m_totals.failed;
        } else {
            ++m_totals.rewritten;
            m_totals.replacements += result.replacements;
            m_totals.changeRate.changedCharacters += result.changeRate.changedCharacters;
            m_totals.changeRate.resultCharacters += result.changeRate.resultCharacters;
            m_totals.changeRate.exact &= result.changeRate.exact;
            if (m_settings.stats)
                std::fprintf(stderr, "%s\n",
                             statsLine(label, result.replacements, result.changeRate).c_str());
        }
        m_progress.fileDone();
    }

    const Totals& totals() const { return m_totals; }

    // The closing summary of a batch; returns the exit status.
    int finish(std::size_t fileCount)
    {
        m_progress.clear();
        if (fileCount > 1 && (m_settings.stats || m_totals.failed > 0)) {
            std::string summary = std::to_string(m_totals.rewritten) + " of " +
                                  std::to_string(m_totals.rewritten + m_totals.failed) +
                                  " files rewritten";
            if (m_settings.stats)
                summary +=
                    ": " + changeSummary(m_totals.replacements, m_totals.changeRate) + " overall";
            std::fprintf(stderr, "%s\n", summary.c_str());
        }
        return m_totals.failed > 0 ? 1 : 0;
    }

private:
    const BatchPlan& m_plan;
    const RunSettings& m_settings;
    std::mutex m_mutex;
    ProgressLine m_progress;
    Totals m_totals;
};

// The page with the sections of the articles rewritten. Returns whether it was written.
bool writeComparisonPage(const std::filesystem::path& path, PageSections& sections,
                         const PageSettings& settings, Reporter& reporter,
                         const FileIdentities& inputs)
{
    std::erase(sections, std::string());
    const std::string page = comparisonPage(sections, settings, reporter.totals().replacements,
                                            reporter.totals().changeRate);
    const std::string reason = writeFileAtomically(std::filesystem::absolute(path), page, inputs);
    if (!reason.empty())
        reporter.note("cannot write the comparison page " + path.string() + ": " + reason);
    return reason.empty();
}

} // namespace

std::string changeSummary(std::size_t replacements, const ChangeRate& rate)
{
    std::string line = std::to_string(replacements) +
                       (replacements == 1 ? " replacement" : " replacements") + ", change rate " +
                       rate.percentText();
    if (!rate.exact)
        line += " (measured piece by piece, may be a little high)";
    return line;
}

std::string statsLine(const std::string& label, std::size_t replacements, const ChangeRate& rate)
{
    return label + ": " + changeSummary(replacements, rate);
}

int runBatch(const BatchPlan& plan, const std::shared_future<PhraseDictionary>& dictionary,
             const RunSettings& settings)
{
    Reporter reporter(plan, settings);
    for (const std::string& problem : plan.problems)
        reporter.problem(problem);

    // Files are shared out among the workers; with fewer files than workers, the spare threads help
    // with the long articles.
    const std::size_t workers =
        std::max<std::size_t>(1, std::min<std::size_t>(settings.jobs, plan.jobs.size()));
    RewriteSettings rewriteSettings = settings.rewrite;
    rewriteSettings.threadsPerArticle = std::max<unsigned>(1, settings.jobs / workers);
    const PendingRewriter rewriter = buildRewriter(dictionary, std::move(rewriteSettings));

    PageSections sections(settings.comparePage ? plan.jobs.size() : 0);
    RunFolders folders(plan.paths);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t index = next++; index < plan.jobs.size(); index = next++)
            reporter.fileDone(plan.jobs[index],
                              processJob(plan, index, rewriter, folders, sections));
    };
    {
        const HelperThreads helpers(workers - 1, work);
        if (!helpers.shortfall().empty())
            reporter.note("could start only " + std::to_string(helpers.count() + 1) + " of " +
                          std::to_string(workers) + " workers (" + helpers.shortfall() +
                          "); going on with those");
        work();
    } // joins the helpers
    bool pageWritten = true;
    if (settings.comparePage) {
        PageSettings page = settings.page;
        page.dictionarySize = rewriter.get()->dictionary().size();
        pageWritten =
            writeComparisonPage(*settings.comparePage, sections, page, reporter, plan.inputs);
    }
    const int status = reporter.finish(plan.jobs.size() + plan.problems.size());
    return pageWritten ? status : 1;
}

} // namespace pexa::cli
