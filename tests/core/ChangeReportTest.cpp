#include "ChangeReport.h"

#include <gtest/gtest.h>
#include <random>

using namespace pexa;

namespace {

// The textbook dynamic programme, to check the bit-parallel one against.
std::size_t lcsByTable(std::u32string_view a, std::u32string_view b)
{
    std::vector<std::size_t> previous(b.size() + 1, 0);
    std::vector<std::size_t> current(b.size() + 1, 0);
    for (char32_t x : a) {
        for (std::size_t j = 0; j < b.size(); ++j)
            current[j + 1] = x == b[j] ? previous[j] + 1 : std::max(previous[j + 1], current[j]);
        std::swap(previous, current);
    }
    return previous[b.size()];
}

std::u32string randomText(std::mt19937& random, std::size_t length, char32_t alphabetSize)
{
    std::uniform_int_distribution<char32_t> pick(0, alphabetSize - 1);
    std::u32string text;
    for (std::size_t i = 0; i < length; ++i)
        text.push_back(U'一' + pick(random));
    return text;
}

} // namespace

TEST(ChangeRateTest, CountsResultCharactersOutsideTheCommonSubsequence)
{
    EXPECT_EQ(measureChangeRate(u"安全第一", u"安全第一").percentText(), "0.0%");
    EXPECT_EQ(measureChangeRate(u"安全第一", u"平安第一").percentText(), "25.0%");
    EXPECT_EQ(measureChangeRate(u"abc", u"xyz").percentText(), "100.0%");
    // LCS("ABCBDAB", "BDCABA") = 4: two of six result characters are new.
    EXPECT_EQ(measureChangeRate(u"ABCBDAB", u"BDCABA").changedCharacters, 2u);
    EXPECT_EQ(measureChangeRate(u"ABCBDAB", u"BDCABA").percentText(), "33.3%");
}

TEST(ChangeRateTest, EmptyResultHasNoChange)
{
    EXPECT_EQ(measureChangeRate(u"", u"").percentText(), "0.0%");
    EXPECT_EQ(measureChangeRate(u"删掉", u"").percentText(), "0.0%");
    EXPECT_EQ(measureChangeRate(u"", u"新").percentText(), "100.0%");
}

TEST(ChangeRateTest, RoundsToOneDecimalHalfUp)
{
    EXPECT_EQ((ChangeRate{1, 8}).percentText(), "12.5%");
    EXPECT_EQ((ChangeRate{1, 16}).percentText(), "6.3%"); // 6.25
    EXPECT_EQ((ChangeRate{2, 3}).percentText(), "66.7%");
    EXPECT_EQ((ChangeRate{1, 2000}).percentText(), "0.1%"); // 0.05
    EXPECT_EQ((ChangeRate{1, 2001}).percentText(), "0.0%");
}

TEST(ChangeRateTest, CharactersOutsideTheBasicPlaneCountOnce)
{
    const ChangeRate rate = measureChangeRate(u"好😀", u"好😃");
    EXPECT_EQ(rate.resultCharacters, 2u);
    EXPECT_EQ(rate.changedCharacters, 1u);
}

TEST(ChangeRateTest, BitParallelLcsAgreesWithTheTableAcrossWordAndStripEdges)
{
    std::mt19937 random(20261207);
    const std::size_t lengths[] = {1, 63, 64, 65, 130, 700, 4095, 4097, 5000};
    for (std::size_t aLength : lengths) {
        for (char32_t alphabet : {2u, 5u, 40u}) {
            const std::u32string a = randomText(random, aLength, alphabet);
            const std::u32string b = randomText(random, 1 + random() % 300, alphabet);
            SCOPED_TRACE(testing::Message()
                         << "a " << aLength << ", alphabet " << unsigned(alphabet));
            EXPECT_EQ(longestCommonSubsequence(a, b), lcsByTable(a, b));
            EXPECT_EQ(longestCommonSubsequence(b, a), lcsByTable(a, b));
        }
    }
}

TEST(ChangeRateTest, ArticleSizedTextsAreMeasuredExactly)
{
    std::mt19937 random(7);
    const std::u32string a = randomText(random, 3000, 50);
    std::u32string b = a;
    for (std::size_t i = 0; i < b.size(); i += 7)
        b[i] = U'龙';
    const std::u16string a16(a.begin(), a.end());
    const std::u16string b16(b.begin(), b.end());
    const ChangeRate rate = measureChangeRate(a16, b16);
    EXPECT_TRUE(rate.exact);
    EXPECT_EQ(rate.changedCharacters, b.size() - lcsByTable(a, b));
}

TEST(ChangeRateTest, TextsPastTheLimitAreMeasuredByLinesAndNeverBelowExact)
{
    const std::u16string input = u"安全第一，注意防范。\n大喜过望的日子。\n冷酷无情。\n";
    const std::u16string result = u"平安第一，注意防备。\n事与愿违的日子。\n冷漠无情。\n";
    const ChangeRate exact = measureChangeRate(input, result);
    const ChangeRate byLines =
        measureChangeRate(input, result, 20); // lines fit, the whole does not
    EXPECT_TRUE(exact.exact);
    EXPECT_FALSE(byLines.exact);
    // Each line changed on its own, so cutting at line breaks loses nothing here.
    EXPECT_EQ(byLines.changedCharacters, exact.changedCharacters);
}

TEST(ChangeRateTest, TextsWithoutMatchingCutsAreMeasuredInSharesNeverBelowExact)
{
    std::mt19937 random(11);
    const std::u32string a = randomText(random, 2000, 6);
    const std::u32string b = randomText(random, 1500, 6);
    const std::u16string a16(a.begin(), a.end());
    const std::u16string b16(b.begin(), b.end());
    const ChangeRate byShares = measureChangeRate(a16, b16, 2000);
    EXPECT_FALSE(byShares.exact);
    EXPECT_GE(byShares.changedCharacters, b.size() - lcsByTable(a, b));
    EXPECT_LE(byShares.changedCharacters, b.size());
}
