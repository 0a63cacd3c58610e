// End-to-end runs of pexa-rewrite with the writer's own dictionaries. Expected texts come from the
// literal rewrite with the dictionary the options describe.
#include "BuiltinDictionary.h"
#include "PhraseSubstitution.h"
#include "ProgramRun.h"
#include "Utf8.h"

#include <gtest/gtest.h>

using namespace pexa;
namespace fs = std::filesystem;

namespace {

std::string literalRewrite(std::u16string_view article, std::vector<PhraseEntry> entries)
{
    return utf8::encode(applyDictionaryLiterally(article, PhraseDictionary::fromPairs(entries)));
}

std::vector<PhraseEntry> builtinWithout(std::u16string_view skippedSource)
{
    const PhraseDictionary builtin = loadBuiltinDictionary();
    std::vector<PhraseEntry> entries;
    for (const PhraseEntry& entry : builtin.entries())
        if (entry.source != skippedSource)
            entries.push_back(entry);
    return entries;
}

const std::u16string article =
    u"大喜过望，安全第一。系统运行良好，免费使用，数据库服务器已上线。\n";

} // namespace

TEST(OwnDictionaryProgramTest, UserEntriesInUtf8AndGbkFollowTheBuiltinOnesLessTheSkipped)
{
    ScratchFolder scratch;
    const fs::path mine = scratch.write("mine.txt", "# 技术词\n数据库=资料库\n服务器=伺服器\n");
    const fs::path gbk = scratch.write("gbk.txt", "\xCF\xB5\xCD\xB3\x3D\xCC\xE5\xCF\xB5\r\n"
                                                  "\xB0\xB2\xC8\xAB\x3D\xCE\xC8\xCD\xD7\r\n");
    const fs::path off = scratch.write("off.txt", "安全\n");
    const ProgramRun run = runProgram(
        scratch,
        {"--dictionary", mine.string(), "--dictionary=" + gbk.string(), "--without", off.string()},
        utf8::encode(article));
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<PhraseEntry> entries = builtinWithout(u"安全");
    entries.insert(
        entries.end(),
        {{u"数据库", u"资料库"}, {u"服务器", u"伺服器"}, {u"系统", u"体系"}, {u"安全", u"稳妥"}});
    EXPECT_EQ(run.out, literalRewrite(article, entries));
    EXPECT_NE(run.out.find("资料库"), std::string::npos);
}

TEST(OwnDictionaryProgramTest, AMalformedLineStopsTheRunBeforeAnythingIsWritten)
{
    ScratchFolder scratch;
    const fs::path input = scratch.write("in/a.txt", utf8::encode(article));
    const fs::path bad = scratch.write("bad.txt", "系统=体系\n\n坏行\n");
    const fs::path out = scratch / "out";
    const ProgramRun run =
        runProgram(scratch, {"--dictionary", bad.string(), "-o", out.string(), "--compare",
                             (scratch / "page.html").string(), input.string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(bad.string() + ":3: no \"=\""), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(fs::exists(scratch / "page.html"));
}

TEST(OwnDictionaryProgramTest, OnlyTheUsersHundredThousandEntriesWithNoBuiltin)
{
    ScratchFolder scratch;
    std::string file;
    std::vector<PhraseEntry> entries;
    std::u16string text;
    // Sources "甲<n>乙" with a cascade from each entry to the next-but-one.
    for (int n = 0; n < 100000; ++n) {
        const std::u16string number = utf8::decode(std::to_string(n)).value();
        const std::u16string next = utf8::decode(std::to_string(n + 2)).value();
        entries.push_back({u"甲" + number + u"乙", u"甲" + next + u"乙"});
        file += utf8::encode(entries.back().source + u"=" + entries.back().replacement) + "\n";
        if (n % 997 == 0)
            text += entries.back().source + u"，";
    }
    const fs::path mine = scratch.write("mine.txt", file);
    const ProgramRun run =
        runProgram(scratch, {"--no-builtin", "--dictionary", mine.string()}, utf8::encode(text));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, literalRewrite(text, entries));
    EXPECT_NE(run.out.find("甲100001乙"), std::string::npos);
}

TEST(OwnDictionaryProgramTest, OptionsThatCannotGoTogetherAreRefused)
{
    ScratchFolder scratch;
    const fs::path mine = scratch.write("mine.txt", "系统=体系\n");
    EXPECT_EQ(runProgram(scratch, {"--no-builtin"}).status, 2);
    EXPECT_EQ(runProgram(scratch, {"--no-builtin", "--dictionary", mine.string(), "--without",
                                   mine.string()})
                  .status,
              2);
    const ProgramRun missing = runProgram(scratch, {"--dictionary", "nowhere.txt"}, "系统");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("nowhere.txt: "), std::string::npos);
}
