// End-to-end runs of pexa-rewrite on files the tests create. Expected texts come from the engine's
// own operations, so the tests hold for whatever the built-in dictionary holds.
#include "BuiltinDictionary.h"
#include "ChangeReport.h"
#include "PhraseSubstitution.h"
#include "ProgramRun.h"
#include "ProtectedRewrite.h"
#include "ScriptConverter.h"
#include "SentenceShuffle.h"
#include "Utf8.h"

#include <gtest/gtest.h>

using namespace pexa;
namespace fs = std::filesystem;

namespace {

const PhraseRewriter& builtinRewriter()
{
    static const PhraseRewriter rewriter(loadBuiltinDictionary());
    return rewriter;
}

// A text with many sentences and sources from all over the built-in dictionary, so that the
// dictionary has work to do.
std::u16string sampleArticle()
{
    std::u16string article = u"今天天气很好，我们出去走走。";
    const std::vector<PhraseEntry>& entries = builtinRewriter().dictionary().entries();
    for (std::size_t position = 0; position < entries.size(); position += 17)
        article += entries[position].source + u"的例子，" + entries[position].source + u"。\r\n";
    return article;
}

std::string utf8Of(std::u16string_view text)
{
    return utf8::encode(text);
}

std::string windowResult(std::u16string_view article)
{
    return utf8Of(rewriteArticle(article, builtinRewriter()).value());
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::vector<fs::path> filesUnder(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files.push_back(entry.path().lexically_relative(folder));
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

TEST(ProgramTest, StandardInputGoesToStandardOutputAsTheWindowRewritesIt)
{
    ScratchFolder scratch;
    const ProgramRun run = runProgram(scratch, {}, utf8Of(sampleArticle()));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, windowResult(sampleArticle()));
    EXPECT_EQ(run.err, "");
}

TEST(ProgramTest, ABadFileAmongGoodOnesFailsAloneAndLeavesNoPartialOutput)
{
    ScratchFolder scratch;
    const fs::path first = scratch.write("in/first.txt", utf8Of(sampleArticle()));
    const fs::path broken = scratch.write("in/broken.txt", "\xB0\xB2\xFF\xFF");
    const fs::path last = scratch.write("in/last.txt", "大喜过望");
    const fs::path missing = scratch / "in/missing.txt";
    const fs::path out = scratch / "out";

    const ProgramRun run = runProgram(scratch, {"-o", out.string(), first.string(), broken.string(),
                                                missing.string(), last.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, broken.string() + ": neither UTF-8 nor GB18030/GBK text"))
        << run.err;
    EXPECT_TRUE(contains(run.err, missing.string() + ": no such file")) << run.err;
    EXPECT_TRUE(contains(run.err, "2 of 4 files rewritten")) << run.err;
    EXPECT_EQ(filesUnder(out), (std::vector<fs::path>{"first.txt", "last.txt"}));
    EXPECT_EQ(ScratchFolder::read(out / "first.txt"), windowResult(sampleArticle()));
    EXPECT_EQ(ScratchFolder::read(out / "last.txt"), windowResult(u"大喜过望"));
}

TEST(ProgramTest, AnOutputFolderThatCannotBeMadeIsNamed)
{
    ScratchFolder scratch;
    const fs::path article = scratch.write("a.txt", "安全");
    const fs::path notAFolder = scratch.write("taken", "a file where the output folder should be");
    const ProgramRun run = runProgram(scratch, {"-o", notAFolder.string(), article.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, article.string() + ": cannot write the result " +
                                      (notAFolder / "a.txt").string()))
        << run.err;
    EXPECT_EQ(ScratchFolder::read(notAFolder), "a file where the output folder should be");
}

TEST(ProgramTest, GbkInputComesOutAsUtf8)
{
    ScratchFolder scratch;
    // 大喜过望，安全第一。 in GBK.
    const fs::path article =
        scratch.write("gbk.txt", "\xB4\xF3\xCF\xB2\xB9\xFD\xCD\xFB\xA3\xAC\xB0\xB2\xC8\xAB\xB5\xDA"
                                 "\xD2\xBB\xA1\xA3");
    const ProgramRun run = runProgram(scratch, {article.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, windowResult(u"大喜过望，安全第一。"));
}

namespace {

// An article "L。LR。" and the term made of L's last and R's first character, for two sources L and
// R that the dictionary changes, chosen so that protecting the term makes a difference: a source
// then crosses each edge of the term.
struct EdgeCase
{
    std::u16string article;
    std::u16string term;
    std::u16string firstSentence;
};

EdgeCase termAcrossTwoSources()
{
    std::vector<std::u16string> changing;
    for (const PhraseEntry& entry : builtinRewriter().dictionary().entries()) {
        if (entry.source.size() >= 2 && builtinRewriter().rewrite(entry.source) != entry.source)
            changing.push_back(entry.source);
    }
    for (const std::u16string& left : changing) {
        for (const std::u16string& right : changing) {
            const std::u16string term = {left.back(), right.front()};
            const std::u16string article = left + u"。" + left + right + u"。";
            if (rewriteProtected(article, builtinRewriter(), ProtectedTerms({term})).text !=
                builtinRewriter().rewrite(article))
                return {article, term, left + u"。"};
        }
    }
    return {};
}

} // namespace

TEST(ProgramTest, ProtectedTermsOverlappingSourcesAtBothEdgesStayWhole)
{
    const EdgeCase edge = termAcrossTwoSources();
    ASSERT_FALSE(edge.term.empty()) << "the dictionary has no two sources to test with";
    ScratchFolder scratch;
    const fs::path file = scratch.write("a.txt", utf8Of(edge.article));
    const ProgramRun run = runProgram(scratch, {"--protect", utf8Of(edge.term), file.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::u16string expected =
        rewriteProtected(edge.article, builtinRewriter(), ProtectedTerms({edge.term})).text;
    EXPECT_EQ(run.out, utf8Of(expected));
    EXPECT_NE(expected.find(edge.term, edge.firstSentence.size()), std::u16string::npos);
    // The first sentence is rewritten as without protection.
    EXPECT_TRUE(expected.starts_with(builtinRewriter().rewrite(edge.firstSentence)));

    // The same term from a file with CR LF lines and a blank line.
    const fs::path terms = scratch.write("terms.txt", "\r\n" + utf8Of(edge.term) + "\r\n");
    EXPECT_EQ(runProgram(scratch, {"--protect-file", terms.string(), file.string()}).out, run.out);
}

TEST(ProgramTest, TheSameSeedGivesTheSameShuffle)
{
    ScratchFolder scratch;
    const fs::path file = scratch.write("a.txt", utf8Of(sampleArticle()));
    const ProgramRun first = runProgram(scratch, {"--shuffle", "--seed", "42", file.string()});
    const ProgramRun second = runProgram(scratch, {"--shuffle", "--seed=42", file.string()});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, second.out);
    SeededRandom random(42);
    const std::u16string rewritten = builtinRewriter().rewrite(sampleArticle());
    EXPECT_EQ(first.out, utf8Of(shuffleSentences(rewritten, random).text));
}

TEST(ProgramTest, TraditionalConversionComesAfterTheRewrite)
{
    ScratchFolder scratch;
    const fs::path file = scratch.write("a.txt", utf8Of(sampleArticle()));
    const ProgramRun run = runProgram(scratch, {"--traditional", file.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    const ScriptConverter converter;
    EXPECT_EQ(run.out, utf8Of(converter.convert(builtinRewriter().rewrite(sampleArticle()),
                                                Script::Traditional)));
}

TEST(ProgramTest, LineEndsAndByteOrderMarkAreKept)
{
    ScratchFolder scratch;
    const fs::path file = scratch.write("a.txt", "\xEF\xBB\xBF第一行\r\n第二行\n");
    const ProgramRun run = runProgram(scratch, {file.string()});
    EXPECT_EQ(run.out, "\xEF\xBB\xBF" + windowResult(u"第一行\r\n第二行\n"));
    EXPECT_TRUE(contains(run.out, "\r\n") && contains(run.out, "行\n"));
}

TEST(ProgramTest, AnEmptyFileGivesAnEmptyResult)
{
    ScratchFolder scratch;
    const fs::path file = scratch.write("empty.txt", "");
    const ProgramRun run = runProgram(scratch, {"-o", (scratch / "out").string(), file.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(scratch / "out/empty.txt"));
    EXPECT_EQ(ScratchFolder::read(scratch / "out/empty.txt"), "");
}

TEST(ProgramTest, TheWindowsInputPlaceholderIsRefusedAsTheWindowRefusesIt)
{
    ScratchFolder scratch;
    const fs::path file = scratch.write("a.txt", "正文。请输入要伪原创的内容");
    const ProgramRun run = runProgram(scratch, {file.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(contains(run.err, "not rewritten")) << run.err;
}

TEST(ProgramTest, StatsReportEachFileAndTheBatch)
{
    ScratchFolder scratch;
    const std::u16string article = sampleArticle();
    const fs::path file = scratch.write("in/a.txt", utf8Of(article));
    scratch.write("in/b.txt", "123, 456.");
    const ProgramRun run =
        runProgram(scratch, {"--stats", "-j", "2", "-o", (scratch / "out").string(),
                             (scratch / "in").string()});
    EXPECT_EQ(run.status, 0) << run.err;
    std::u16string literal = article;
    const std::size_t replacements =
        applyDictionaryLiterallyInPlace(literal, builtinRewriter().dictionary());
    const ChangeRate rate = measureChangeRate(article, builtinRewriter().rewrite(article));
    EXPECT_GT(replacements, 0u);
    EXPECT_TRUE(contains(run.err, file.string() + ": " + std::to_string(replacements) +
                                      " replacements, change rate " + rate.percentText() + "\n"))
        << run.err;
    EXPECT_TRUE(contains(run.err, "b.txt: 0 replacements, change rate 0.0%\n")) << run.err;
    EXPECT_TRUE(contains(run.err, "2 of 2 files rewritten: " + std::to_string(replacements) +
                                      " replacements, change rate "))
        << run.err;
    EXPECT_EQ(run.out, "");
}

TEST(ProgramTest, AnOutputFolderThatWouldReplaceAnInputIsRefusedBeforeAnythingIsWritten)
{
    ScratchFolder scratch;
    const fs::path first = scratch.write("a.txt", "大喜过望");
    const fs::path second = scratch.write("sub/b.txt", "大喜过望");
    const ProgramRun run =
        runProgram(scratch, {"-o", scratch.path().string(), second.string(), first.string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(contains(run.err, "would replace the input")) << run.err;
    EXPECT_FALSE(fs::exists(scratch / "b.txt"));
    EXPECT_EQ(ScratchFolder::read(first), "大喜过望");
}

TEST(ProgramTest, HelpVersionAndWrongUsage)
{
    ScratchFolder scratch;
    EXPECT_TRUE(contains(runProgram(scratch, {"--help"}).out, "Usage: pexa-rewrite"));
    EXPECT_EQ(runProgram(scratch, {"--version"}).status, 0);
    const ProgramRun wrong = runProgram(scratch, {"--jobs", "none"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(contains(wrong.err, "--jobs needs a number")) << wrong.err;
}

TEST(ProgramTest, DeeplyNestedFoldersAreWalkedAndRewrittenWhole)
{
    // 1500 levels, one article each: more levels than a process may usually hold descriptors, and
    // every file is reached through its folder's, not through its whole path.
    constexpr int levels = 1500;
    ScratchFolder scratch;
    const fs::path folder = scratch / "in";
    fs::path relative;
    for (int level = 0; level < levels; ++level) {
        scratch.write((fs::path("in") / relative / "a.txt").string(), "大喜过望");
        relative /= "d";
    }
    fs::create_directories(scratch / "in" / relative);
    const ProgramRun run = runProgram(scratch, {"-o", (scratch / "out").string(), folder.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    int rewritten = 0;
    for (const auto& entry : fs::recursive_directory_iterator(scratch / "out/in"))
        if (entry.is_regular_file()) {
            EXPECT_EQ(entry.path().filename(), "a.txt");
            EXPECT_EQ(ScratchFolder::read(entry.path()), windowResult(u"大喜过望"));
            ++rewritten;
        }
    EXPECT_EQ(rewritten, levels);
}
