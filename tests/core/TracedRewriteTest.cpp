// The traced rewrite: hand-built cases for what a net change is, and random cases against the
// literal traced rewrite and the ordinary fast rewrite.
#include "TracedRewrite.h"

#include "BuiltinDictionary.h"
#include "RandomCases.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace pexa;
using namespace pexa::cases;

namespace {

TracedRewrite traced(std::vector<std::u16string> entries, std::u16string_view text)
{
    const PhraseRewriter rewriter(PhraseDictionary::fromEntries(entries));
    TracedRewrite fast = rewriteTraced(text, rewriter);
    const TracedRewrite literal = rewriteTracedLiterally(text, rewriter.dictionary());
    EXPECT_EQ(fast.text, literal.text);
    EXPECT_EQ(fast.changes, literal.changes);
    return fast;
}

TracedChange change(TextSpan original, TextSpan result, std::vector<std::int32_t> entries)
{
    return {original, result, std::move(entries)};
}

std::string describeChanges(const std::vector<TracedChange>& changes)
{
    std::ostringstream description;
    for (const TracedChange& c : changes) {
        description << " [" << c.original.begin << "," << c.original.end << ")->[" << c.result.begin
                    << "," << c.result.end << ") by";
        for (std::int32_t entry : c.entries)
            description << " " << entry;
    }
    return description.str();
}

} // namespace

TEST(TracedRewriteTest, ACascadeIsOneChangeWithEveryEntryOfItsChain)
{
    const TracedRewrite rewrite =
        traced({u"大喜过望=大失所望", u"防范=防备", u"大失所望=事与愿违"}, u"他大喜过望。");
    EXPECT_EQ(rewrite.text, u"他事与愿违。");
    EXPECT_EQ(rewrite.changes, (std::vector{change({1, 5}, {1, 5}, {0, 2})}));
}

TEST(TracedRewriteTest, AChangeInsideAnEarlierReplacementJoinsIt)
{
    const TracedRewrite rewrite = traced({u"免费使用=无偿使用", u"使用=运用"}, u"免费使用，使用");
    EXPECT_EQ(rewrite.text, u"无偿运用，运用");
    EXPECT_EQ(rewrite.changes,
              (std::vector{change({0, 4}, {0, 4}, {0, 1}), change({5, 7}, {5, 7}, {1})}));
}

TEST(TracedRewriteTest, AMirrorPairLeavesNoNetChange)
{
    const TracedRewrite rewrite = traced({u"防范=防备", u"防备=防范"}, u"防范和防备");
    EXPECT_EQ(rewrite.text, u"防范和防范");
    EXPECT_EQ(rewrite.replacements, 3u);
    EXPECT_EQ(rewrite.changes, (std::vector{change({3, 5}, {3, 5}, {1})}));
}

TEST(TracedRewriteTest, AnOccurrenceAcrossAReplacementsEdgeJoinsItWithTheUnchangedText)
{
    const TracedRewrite rewrite = traced({u"a=bc", u"cd=e", u"x=y"}, u"xad");
    EXPECT_EQ(rewrite.text, u"ybe");
    EXPECT_EQ(rewrite.changes,
              (std::vector{change({0, 1}, {0, 1}, {2}), change({1, 3}, {1, 3}, {0, 1})}));
}

TEST(TracedRewriteTest, ADeletionIsAnEmptyResultAndJoinsAnOccurrenceThatEnclosesIt)
{
    EXPECT_EQ(traced({u"b="}, u"abc").changes, (std::vector{change({1, 2}, {1, 1}, {0})}));
    EXPECT_EQ(traced({u"b=", u"ac=X"}, u"abc").changes,
              (std::vector{change({0, 3}, {0, 1}, {0, 1})}));
    // An occurrence that only starts or ends where the deletion was stays a change of its own.
    EXPECT_EQ(traced({u"b=", u"c=Y"}, u"bc").changes,
              (std::vector{change({0, 1}, {0, 0}, {0}), change({1, 2}, {0, 1}, {1})}));
}

TEST(TracedRewriteTest, KeptStretchesStayOutsideEveryChange)
{
    const PhraseRewriter rewriter(PhraseDictionary::fromEntries({u"ab=X", u"a=Y", u"c=Z"}));
    const std::vector<TextSpan> kept = {{1, 3}};
    const TracedRewrite rewrite = rewriteTraced(u"abcab", rewriter, kept);
    EXPECT_EQ(rewrite.text, u"YbcX");
    EXPECT_EQ(rewrite.changes,
              (std::vector{change({0, 1}, {0, 1}, {1}), change({3, 5}, {3, 4}, {0})}));
}

TEST(TracedRewriteTest, RandomCasesMatchTheLiteralTraceAndTheOrdinaryRewrite)
{
    for (std::uint64_t seed = firstSeed; seed < firstSeed + 4000; ++seed) {
        CaseMaker maker(seed);
        const PhraseRewriter rewriter(PhraseDictionary::fromEntries(maker.dictionaryEntries()));
        const std::u16string text = maker.text(rewriter.dictionary(), seed % 10 == 0 ? 200 : 30);
        std::vector<TextSpan> kept;
        if (seed % 3 == 0 && text.size() > 4)
            kept.push_back({text.size() / 3, text.size() / 2});
        const TracedRewrite fast = rewriteTraced(text, rewriter, kept);
        const TracedRewrite literal = rewriteTracedLiterally(text, rewriter.dictionary(), kept);
        std::u16string ordinary;
        const std::size_t replacements = rewriter.appendRewrite(text, ordinary, kept);
        ASSERT_EQ(fast.text, ordinary) << "seed " << seed << ", text " << shown(text);
        ASSERT_EQ(fast.replacements, replacements) << "seed " << seed;
        ASSERT_EQ(literal.text, ordinary) << "seed " << seed;
        ASSERT_EQ(fast.changes, literal.changes)
            << "seed " << seed << ", text " << shown(text)
            << "\nfast:" << describeChanges(fast.changes)
            << "\nliteral:" << describeChanges(literal.changes);
    }
}

// Between changes the original and the result are the same text, and each change's stretches
// differ: what the comparison page relies on.
TEST(TracedRewriteTest, ChangesOfTheBuiltinDictionaryTileBothTexts)
{
    const PhraseRewriter rewriter(loadBuiltinDictionary());
    for (std::uint64_t seed = firstSeed; seed < firstSeed + 200; ++seed) {
        CaseMaker maker(seed);
        const std::u16string text = maker.text(rewriter.dictionary(), 60);
        const TracedRewrite rewrite = rewriteTraced(text, rewriter);
        ASSERT_EQ(rewrite.text, rewriter.rewrite(text));
        std::size_t original = 0;
        std::size_t result = 0;
        for (const TracedChange& c : rewrite.changes) {
            ASSERT_LE(original, c.original.begin);
            ASSERT_EQ(text.substr(original, c.original.begin - original),
                      rewrite.text.substr(result, c.result.begin - result));
            ASSERT_NE(text.substr(c.original.begin, c.original.end - c.original.begin),
                      rewrite.text.substr(c.result.begin, c.result.end - c.result.begin));
            original = c.original.end;
            result = c.result.end;
        }
        ASSERT_EQ(text.substr(original), rewrite.text.substr(result)) << "seed " << seed;
    }
}
