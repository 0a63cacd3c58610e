#include <gtest/gtest.h>

#include "PhraseSubstitution.h"

using namespace pexa;

namespace {

using Engine = std::u16string (*)(std::u16string_view, const PhraseDictionary&);

std::u16string rewriteFast(std::u16string_view text, const PhraseDictionary& dictionary)
{
    return PhraseRewriter(dictionary).rewrite(text);
}

// Every case runs on the literal reference and on the fast rewriter the program uses.
class SubstitutionTest : public testing::TestWithParam<Engine>
{
protected:
    static std::u16string rewrite(std::u16string_view text,
                                  const std::vector<std::u16string>& entries)
    {
        return GetParam()(text, PhraseDictionary::fromEntries(entries));
    }
};

// Names the cases "Literal/…/engine" and "Fast/…/engine" rather than after a function address.
std::string engineName(const testing::TestParamInfo<Engine>&)
{
    return "engine";
}

INSTANTIATE_TEST_SUITE_P(Literal, SubstitutionTest, testing::Values(&applyDictionaryLiterally),
                         engineName);
INSTANTIATE_TEST_SUITE_P(Fast, SubstitutionTest, testing::Values(&rewriteFast), engineName);

} // namespace

TEST_P(SubstitutionTest, CascadesFollowDictionaryOrder)
{
    EXPECT_EQ(rewrite(u"大喜过望", {u"大喜过望=大失所望", u"大失所望=事与愿违"}), u"事与愿违");
    // In the other order the second entry comes too late to see the first one's output.
    EXPECT_EQ(rewrite(u"大喜过望", {u"大失所望=事与愿违", u"大喜过望=大失所望"}), u"大失所望");
    EXPECT_EQ(rewrite(u"免费使用", {u"免费使用=无偿使用", u"使用=运用"}), u"无偿运用");
}

TEST_P(SubstitutionTest, ReversePairLeavesEveryAAndEveryBAsA)
{
    EXPECT_EQ(rewrite(u"防范和防备", {u"防范=防备", u"防备=防范"}), u"防范和防范");
}

TEST_P(SubstitutionTest, EarlierShortEntryPreemptsLaterLongerOne)
{
    EXPECT_EQ(rewrite(u"冷酷无情", {u"冷酷=冷漠", u"冷酷无情=无情无义"}), u"冷漠无情");
}

TEST_P(SubstitutionTest, EmptySourceChangesNothingAndEmptyReplacementDeletes)
{
    EXPECT_EQ(rewrite(u"摆布", {u"=摆布=支配"}), u"摆布");
    EXPECT_EQ(rewrite(u"非常好非常", {u"非常="}), u"好");
}

TEST_P(SubstitutionTest, LatinLettersMatchCaseSensitively)
{
    EXPECT_EQ(rewrite(u"App app APP", {u"app=应用"}), u"App 应用 APP");
}

TEST_P(SubstitutionTest, LineBreaksAndBlanksSurvive)
{
    EXPECT_EQ(rewrite(u"安全\r\n第二行\n  安全", {u"安全=平安"}), u"平安\r\n第二行\n  平安");
}

TEST_P(SubstitutionTest, DeletionJoinsItsNeighboursIntoANewMatch)
{
    EXPECT_EQ(rewrite(u"安不全", {u"不=", u"安全=平安"}), u"平安");
}

TEST_P(SubstitutionTest, ReplacementMatchesAcrossItsEdgesForLaterEntries)
{
    EXPECT_EQ(rewrite(u"非常好，常好", {u"非=平", u"平常=普通"}), u"普通好，常好");
    EXPECT_EQ(rewrite(u"ab", {u"b=ab", u"aa=c"}), u"cb");
}

TEST_P(SubstitutionTest, ReplacementHoldingPunctuationKeepsCascading)
{
    EXPECT_EQ(rewrite(u"甲乙", {u"甲=丙，丁", u"丁乙=戊", u"丙=己"}), u"己，戊");
}

TEST_P(SubstitutionTest, SameSourceTwiceOnlyTheFirstApplies)
{
    EXPECT_EQ(rewrite(u"安全", {u"安全=平安", u"安全=稳妥"}), u"平安");
}

TEST(RewriteArticleTest, MissingInputIsReportedNotRewritten)
{
    const PhraseRewriter rewriter(PhraseDictionary::fromEntries({u"安全=平安"}));
    EXPECT_FALSE(rewriteArticle(u"", rewriter));
    EXPECT_FALSE(rewriteArticle(u"请输入要伪原创的内容\n", rewriter));
    EXPECT_FALSE(rewriteArticle(u"正文安全。请输入要伪原创的内容", rewriter));
    EXPECT_EQ(rewriteArticle(u"   ", rewriter), u"   ");
    EXPECT_EQ(rewriteArticle(u"安全第一", rewriter), u"平安第一");
}
