#include "BatchPlan.h"

#include "ScratchFolder.h"
#include "TemporaryFiles.h"

#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdexcept>
#include <unistd.h>

using namespace pexa::cli;
namespace fs = std::filesystem;

namespace {

Options withOutput(const fs::path& outputDir, std::vector<fs::path> inputs)
{
    Options options;
    options.outputDir = outputDir.string();
    for (const fs::path& input : inputs)
        options.inputs.push_back(input.string());
    return options;
}

std::vector<fs::path> outputsOf(const BatchPlan& plan)
{
    std::vector<fs::path> outputs;
    for (const Job& job : plan.jobs)
        outputs.push_back(plan.paths.text(job.output));
    return outputs;
}

fs::path inputOf(const BatchPlan& plan, std::size_t job)
{
    return plan.paths.text(plan.jobs.at(job).input);
}

} // namespace

TEST(BatchPlanTest, FoldersAreSearchedForTextFilesUnderTheirOwnName)
{
    ScratchFolder scratch;
    scratch.write("day1/b.txt", "");
    scratch.write("day1/a.TXT", "");
    scratch.write("day1/notes.md", "");
    scratch.write("day1/sub/c.txt", "");
    const fs::path out = scratch / "out";
    const BatchPlan plan = planBatch(withOutput(out, {scratch / "day1"}));
    EXPECT_TRUE(plan.refusal.empty() && plan.problems.empty());
    EXPECT_EQ(outputsOf(plan), (std::vector<fs::path>{out / "day1/a.TXT", out / "day1/b.txt",
                                                      out / "day1/sub/c.txt"}));
}

TEST(BatchPlanTest, TheOutputFolderInsideAnInputFolderIsLeftOut)
{
    ScratchFolder scratch;
    scratch.write("articles/a.txt", "");
    scratch.write("articles/out/articles/a.txt", ""); // a result of an earlier run
    const BatchPlan plan = planBatch(withOutput(scratch / "articles/out", {scratch / "articles"}));
    ASSERT_EQ(plan.jobs.size(), 1u);
    EXPECT_EQ(inputOf(plan, 0), scratch / "articles/a.txt");
}

TEST(BatchPlanTest, ARunThatWouldReplaceAnInputIsRefused)
{
    ScratchFolder scratch;
    const fs::path article = scratch.write("a.txt", "");
    EXPECT_NE(planBatch(withOutput(scratch.path(), {article})).refusal, "");
    // Also when the result would land on another input of the same run.
    const fs::path other = scratch.write("x/a.txt", "");
    const BatchPlan plan = planBatch(withOutput(scratch.path(), {other, article}));
    EXPECT_NE(plan.refusal.find("would replace the input"), std::string::npos) << plan.refusal;
}

TEST(BatchPlanTest, TwoInputsWithTheSameResultNameKeepTheFirst)
{
    ScratchFolder scratch;
    const fs::path first = scratch.write("x/a.txt", "");
    const fs::path second = scratch.write("y/a.txt", "");
    const BatchPlan plan = planBatch(withOutput(scratch / "out", {first, second, first}));
    ASSERT_EQ(plan.jobs.size(), 1u);
    EXPECT_EQ(inputOf(plan, 0), first);
    ASSERT_EQ(plan.problems.size(), 1u);
    EXPECT_NE(plan.problems[0].find(second.string()), std::string::npos);
}

TEST(BatchPlanTest, WithoutAnOutputFolderOnlyOneFileMayBeGiven)
{
    ScratchFolder scratch;
    Options options;
    options.inputs = {(scratch / "a.txt").string()};
    EXPECT_EQ(planBatch(options).jobs.size(), 1u);
    options.inputs.push_back((scratch / "b.txt").string());
    EXPECT_EQ(planBatch(options).refusal, "several inputs need --output-dir");
    options.inputs = {scratch.path().string()};
    EXPECT_NE(planBatch(options).refusal.find("is a folder"), std::string::npos);
    const BatchPlan fromStandardInput = planBatch(Options{});
    EXPECT_EQ(fromStandardInput.labelOf(fromStandardInput.jobs.at(0)), "<standard input>");
}

namespace {

bool mentions(const std::vector<std::string>& messages, const std::string& part)
{
    return std::any_of(messages.begin(), messages.end(), [&](const std::string& message) {
        return message.find(part) != std::string::npos;
    });
}

// Gives up root's right to read any folder while it lives, so that permissions apply to the test.
class WithoutRootPrivileges
{
public:
    WithoutRootPrivileges() : m_wasRoot(::geteuid() == 0)
    {
        constexpr uid_t nobody = 65534;
        if (m_wasRoot && ::seteuid(nobody) != 0)
            throw std::runtime_error("cannot drop root privileges");
    }
    ~WithoutRootPrivileges()
    {
        if (m_wasRoot && ::seteuid(0) != 0)
            std::abort();
    }
    WithoutRootPrivileges(const WithoutRootPrivileges&) = delete;
    WithoutRootPrivileges& operator=(const WithoutRootPrivileges&) = delete;

private:
    bool m_wasRoot;
};

} // namespace

TEST(BatchPlanTest, AnOutputFolderReachingAnInputUnderAnotherPathIsRefused)
{
    // The output folder holds the input itself under another name: a hard link here, as a bind
    // mount or a share mounted twice would show it.
    ScratchFolder scratch;
    const fs::path article = scratch.write("src/a.txt", "大喜过望");
    fs::create_directories(scratch / "out");
    fs::create_hard_link(article, scratch / "out/a.txt");
    const BatchPlan plan = planBatch(withOutput(scratch / "out", {article}));
    EXPECT_NE(plan.refusal.find("would replace the input " + article.string()), std::string::npos)
        << plan.refusal;
}

TEST(BatchPlanTest, TheSameFileUnderTwoPathsIsRewrittenOnce)
{
    ScratchFolder scratch;
    const fs::path article = scratch.write("src/a.txt", "大喜过望");
    fs::create_hard_link(article, scratch / "src/b.txt");
    const BatchPlan plan = planBatch(withOutput(scratch / "out", {scratch / "src"}));
    ASSERT_EQ(plan.jobs.size(), 1u);
    EXPECT_EQ(inputOf(plan, 0), article);
    EXPECT_EQ(plan.inputs.size(), 1u);
}

TEST(BatchPlanTest, AnUnreadableSubFolderIsNamedAndTheRestOfItsFolderIsStillSearched)
{
    ScratchFolder scratch;
    fs::permissions(scratch.path(), fs::perms::all);
    scratch.write("in/a.txt", "");
    scratch.write("in/locked/hidden.txt", "");
    scratch.write("in/z.txt", "");
    scratch.write("in/zz/deeper.txt", "");
    fs::permissions(scratch / "in/locked", fs::perms::none);
    BatchPlan plan;
    {
        const WithoutRootPrivileges unprivileged;
        plan = planBatch(withOutput(scratch / "out", {scratch / "in"}));
    }
    fs::permissions(scratch / "in/locked", fs::perms::owner_all);
    EXPECT_EQ(outputsOf(plan),
              (std::vector<fs::path>{scratch / "out/in/a.txt", scratch / "out/in/z.txt",
                                     scratch / "out/in/zz/deeper.txt"}));
    ASSERT_EQ(plan.problems.size(), 1u);
    EXPECT_EQ(plan.problems[0],
              (scratch / "in/locked").string() + ": cannot search the folder (Permission denied)");
}

TEST(BatchPlanTest, ALinkToNothingIsNamedAsAProblem)
{
    ScratchFolder scratch;
    scratch.write("in/a.txt", "");
    fs::create_symlink(scratch / "gone.txt", scratch / "in/b.txt");
    const BatchPlan plan = planBatch(withOutput(scratch / "out", {scratch / "in"}));
    EXPECT_EQ(plan.jobs.size(), 1u);
    EXPECT_TRUE(mentions(plan.problems, (scratch / "in/b.txt").string() + ": a link to nothing"));
}

TEST(BatchPlanTest, AStaleTemporaryFileIsNeverTakenForAnArticle)
{
    ScratchFolder scratch;
    scratch.write("in/a.txt", "");
    const int folderFd = ::open((scratch / "in").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const TemporaryFile stale = createTemporaryIn(folderFd);
    ASSERT_GE(stale.fd, 0);
    ::close(stale.fd); // left behind, as by a program that was killed
    const BatchPlan plan = planBatch(withOutput(scratch / "out", {scratch / "in"}));
    EXPECT_EQ(outputsOf(plan), (std::vector<fs::path>{scratch / "out/in/a.txt"}));
    EXPECT_TRUE(fs::exists(scratch / "in" / stale.name));
    removeTemporary(stale);
    ::close(folderFd);
}

TEST(BatchPlanTest, EveryFileOfADeepTreeIsPlannedAndNamedByItsWholePath)
{
    // Two trees of one name, 300 levels deep with an article on each: the second tree's results
    // would land on the first's, and every message names both whole paths.
    constexpr int levels = 300;
    ScratchFolder scratch;
    std::vector<fs::path> outputs;
    std::vector<std::string> problems;
    std::string folder; // below the tree's top: "d/d/.../"
    for (int level = 0; level < levels; ++level) {
        const fs::path first = scratch.write("x/day/" + folder + "a.txt", "");
        const fs::path second = scratch.write("y/day/" + folder + "a.txt", "");
        outputs.push_back(scratch / "out/day" / (folder + "a.txt"));
        problems.push_back(second.string() + ": its result would replace the result of " +
                           first.string() + "; skipped");
        if (level + 1 < levels)
            folder += "d/";
    }
    const fs::path link = scratch / "x/day" / (folder + "b.txt");
    fs::create_symlink(scratch / "gone.txt", link);
    problems.insert(problems.begin(), link.string() + ": a link to nothing; skipped");

    const BatchPlan plan =
        planBatch(withOutput(scratch / "out", {scratch / "x/day", scratch / "y/day"}));
    EXPECT_EQ(outputsOf(plan), outputs);
    EXPECT_EQ(plan.problems, problems);
}
