#include "BatchPlan.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

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
        outputs.push_back(job.output);
    return outputs;
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
    EXPECT_EQ(plan.jobs[0].input, scratch / "articles/a.txt");
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
    EXPECT_EQ(plan.jobs[0].input, first);
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
    EXPECT_EQ(planBatch(Options{}).jobs.at(0).label, "<standard input>");
}
