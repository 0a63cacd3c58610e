#include "CommandLine.h"

#include <gtest/gtest.h>

using namespace pexa::cli;

TEST(CommandLineTest, ReadsEveryOptionInBothForms)
{
    const CommandLine parsed =
        parseCommandLine({"--shuffle", "--seed=7", "--traditional", "--stats", "-j", "3",
                          "--output-dir", "out", "--protect-file", "terms.txt", "a.txt", "dir"});
    ASSERT_EQ(parsed.action, Action::Run) << parsed.error;
    const Options& options = parsed.options;
    EXPECT_TRUE(options.shuffle && options.traditional && options.stats);
    EXPECT_EQ(options.seed, 7u);
    EXPECT_EQ(options.jobs, 3u);
    EXPECT_EQ(options.outputDir, "out");
    EXPECT_EQ(options.protectFiles, std::vector<std::string>{"terms.txt"});
    EXPECT_EQ(options.inputs, (std::vector<std::string>{"a.txt", "dir"}));
}

TEST(CommandLineTest, ProtectedTermsSplitAtEitherCommaAndAccumulate)
{
    const CommandLine parsed =
        parseCommandLine({"--protect", "百度, 安全卫士，Pexa Pro,,", "--protect=张三"});
    ASSERT_EQ(parsed.action, Action::Run) << parsed.error;
    EXPECT_EQ(parsed.options.protectedTerms,
              (std::vector<std::u16string>{u"百度", u"安全卫士", u"Pexa Pro", u"张三"}));
}

TEST(CommandLineTest, TermFilesGiveOneTermALineWithoutBlankLines)
{
    EXPECT_EQ(termsOfLines(u"百度\r\n\r\n  安全卫士 \n#话题\n"),
              (std::vector<std::u16string>{u"百度", u"安全卫士", u"#话题"}));
}

TEST(CommandLineTest, MistakesAreRefusedWithTheReason)
{
    auto refusal = [](std::vector<std::string> arguments) {
        const CommandLine parsed = parseCommandLine(arguments);
        return parsed.action == Action::RefuseUsage ? parsed.error : "accepted";
    };
    EXPECT_EQ(refusal({"--frobnicate"}), "unknown option --frobnicate");
    EXPECT_EQ(refusal({"--jobs", "0"}), "--jobs needs a number of at least 1, not 0");
    EXPECT_EQ(refusal({"--seed", "x", "--shuffle"}), "--seed needs a whole number, not x");
    EXPECT_EQ(refusal({"--seed", "5"}), "--seed only applies together with --shuffle");
    EXPECT_EQ(refusal({"-o", "out"}), "--output-dir needs files or folders to rewrite");
    EXPECT_EQ(refusal({"a.txt", "--protect"}), "--protect needs a value");
    EXPECT_EQ(refusal({"--stats=yes"}), "--stats takes no value");
}

TEST(CommandLineTest, HelpAndVersionWinAndDoubleDashEndsOptions)
{
    EXPECT_EQ(parseCommandLine({"a.txt", "--help"}).action, Action::ShowHelp);
    EXPECT_EQ(parseCommandLine({"--version"}).action, Action::ShowVersion);
    const CommandLine parsed = parseCommandLine({"--", "--stats"});
    EXPECT_EQ(parsed.options.inputs, std::vector<std::string>{"--stats"});
    EXPECT_FALSE(parsed.options.stats);
}
