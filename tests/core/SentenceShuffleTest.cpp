#include <gtest/gtest.h>

#include <map>

#include "SentenceShuffle.h"

using namespace pexa;

namespace {

// Gives a fixed list of draws, then repeats the last one.
class ScriptedRandom : public RandomSource
{
public:
    explicit ScriptedRandom(std::vector<double> draws) : m_draws(std::move(draws)) {}
    void reseed() override { ++reseeds; }
    double nextUnit() override
    {
        const double draw = m_draws[std::min(m_next, m_draws.size() - 1)];
        ++m_next;
        return draw;
    }
    int reseeds = 0;

private:
    std::vector<double> m_draws;
    std::size_t m_next = 0;
};

} // namespace

TEST(SentenceShuffleTest, RefusesEmptyTextAndTheUntouchedInitialText)
{
    SeededRandom random(1);
    EXPECT_EQ(shuffleSentences(u"", random).status, ShuffleStatus::NothingRewritten);
    EXPECT_EQ(shuffleSentences(u"结果，部分\n", random).status, ShuffleStatus::NothingRewritten);
}

TEST(SentenceShuffleTest, ArticleThatMentionsTheResultMarkerIsShuffled)
{
    SeededRandom random(1);
    const ShuffleOutcome outcome = shuffleSentences(u"调查结果，部分受访者认为。此事可行。", random);
    EXPECT_EQ(outcome.status, ShuffleStatus::Shuffled);
}

TEST(SentenceShuffleTest, RefusesTextWithoutAnySeparator)
{
    SeededRandom random(1);
    EXPECT_EQ(shuffleSentences(u"真的吗？是的！", random).status, ShuffleStatus::TooFewSentences);
    EXPECT_EQ(shuffleSentences(u"  \r\n", random).status, ShuffleStatus::TooFewSentences);
}

TEST(SentenceShuffleTest, CutsAtHighestRankingSeparatorAndJoinsWithAsciiComma)
{
    // Draws 0.9 then 0.1 give slot order 1, 0 for two pieces: the order is always reversed.
    ScriptedRandom fullStop({0.9, 0.1});
    EXPECT_EQ(shuffleSentences(u"甲，乙。丙,丁", fullStop).text, u"丙,丁,甲，乙");
    ScriptedRandom comma({0.9, 0.1});
    EXPECT_EQ(shuffleSentences(u"甲，乙,丙", comma).text, u"乙,丙,甲");
    ScriptedRandom ascii({0.9, 0.1});
    EXPECT_EQ(shuffleSentences(u"甲,乙", ascii).text, u"乙,甲");
}

TEST(SentenceShuffleTest, TrailingSeparatorGivesAnEmptyPieceAndLineBreaksStayInPieces)
{
    ScriptedRandom random({0.9, 0.1});
    EXPECT_EQ(shuffleSentences(u"第一句，还有。", random).text, u",第一句，还有");
    ScriptedRandom again({0.9, 0.1});
    EXPECT_EQ(shuffleSentences(u"甲。\r\n乙", again).text, u"\r\n乙,甲");
}

TEST(SentenceShuffleTest, ReseedsOnceBeforeDrawingAndRejectsRepeatedDraws)
{
    // 0.5 * 2 = 1 first; 0.5 again is rejected; 0.0 gives 0; 0.99 rounds to 2.
    ScriptedRandom random({0.5, 0.5, 0.0, 0.99});
    EXPECT_EQ(shuffleSentences(u"A,B,C", random).text, u"B,A,C");
    EXPECT_EQ(random.reseeds, 1);
}

TEST(SentenceShuffleTest, ThreePieceOrdersComeOutWithTheirKnownShares)
{
    SeededRandom random(20261207);
    std::map<std::u16string, int> counts;
    const int presses = 60000;
    for (int i = 0; i < presses; ++i)
        ++counts[shuffleSentences(u"A,B,C", random).text];
    const auto share = [&](const std::u16string& order) { return double(counts[order]) / presses; };
    EXPECT_NEAR(share(u"B,A,C"), 1.0 / 4, 0.01);
    EXPECT_NEAR(share(u"B,C,A"), 1.0 / 4, 0.01);
    EXPECT_NEAR(share(u"A,B,C"), 1.0 / 6, 0.01);
    EXPECT_NEAR(share(u"C,B,A"), 1.0 / 6, 0.01);
    EXPECT_NEAR(share(u"A,C,B"), 1.0 / 12, 0.01);
    EXPECT_NEAR(share(u"C,A,B"), 1.0 / 12, 0.01);
}

TEST(SentenceShuffleTest, ManyPiecesAllComeOutOnce)
{
    std::u16string text;
    for (int i = 0; i < 2000; ++i)
        text += u"句。";
    SeededRandom random(3);
    const ShuffleOutcome outcome = shuffleSentences(text, random);
    ASSERT_EQ(outcome.status, ShuffleStatus::Shuffled);
    EXPECT_EQ(std::count(outcome.text.begin(), outcome.text.end(), u'句'), 2000);
    EXPECT_EQ(std::count(outcome.text.begin(), outcome.text.end(), u','), 2000);
}
