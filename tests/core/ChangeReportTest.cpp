#include "ChangeReport.h"

#include "BuiltinDictionary.h"
#include "TextOps.h"

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

std::size_t literalCount(std::u16string_view text, const std::vector<std::u16string>& entries)
{
    std::u16string working(text);
    std::size_t replaced = 0;
    const PhraseDictionary dictionary = PhraseDictionary::fromEntries(entries);
    for (const PhraseEntry& entry : dictionary.entries())
        replaced += text::replaceAllInPlace(working, entry.source, entry.replacement);
    return replaced;
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

TEST(ReplacementCountTest, CountsWhatTheLiteralRewriteReplaces)
{
    const std::vector<std::u16string> entries = {u"大喜过望=大失所望", u"大失所望=事与愿违",
                                                 u"防范=防备", u"防备=防范", u"=摆布"};
    const ReplacementCounter counter(PhraseDictionary::fromEntries(entries));
    EXPECT_EQ(counter.count(u"大喜过望"), 2u); // a cascade counts each step
    EXPECT_EQ(counter.count(u"防范和防备"), 3u);
    EXPECT_EQ(counter.count(u"摆布，没有变化。"), 0u);
    EXPECT_EQ(counter.count(u""), 0u);
}

TEST(ReplacementCountTest, ReplacementsThatBringNewMatchesAreFollowed)
{
    // "a=bc" makes "cd" appear across its own edge; the count must see it.
    const std::vector<std::u16string> entries = {u"a=bc", u"cd=e", u"eb=f"};
    const ReplacementCounter counter(PhraseDictionary::fromEntries(entries));
    EXPECT_EQ(counter.count(u"ad"), literalCount(u"ad", entries));
    EXPECT_EQ(counter.count(u"ad"), 2u);
}

TEST(ReplacementCountTest, AgreesWithTheLiteralCountOnRandomTexts)
{
    std::mt19937 random(42);
    const std::u16string alphabet = u"abcd，。\n";
    std::uniform_int_distribution<std::size_t> pickUnit(0, alphabet.size() - 1);
    auto randomWord = [&](std::size_t maxLength) {
        std::u16string word;
        const std::size_t length = random() % (maxLength + 1);
        for (std::size_t i = 0; i < length; ++i)
            word.push_back(alphabet[pickUnit(random) % 4]);
        return word;
    };
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::u16string> entries;
        for (int e = 0; e < 6; ++e)
            entries.push_back(randomWord(3) + u"=" + randomWord(3));
        std::u16string text;
        for (int i = 0; i < 30; ++i)
            text.push_back(alphabet[pickUnit(random)]);
        const ReplacementCounter counter(PhraseDictionary::fromEntries(entries));
        ASSERT_EQ(counter.count(text), literalCount(text, entries)) << "round " << round;
    }
}

TEST(ReplacementCountTest, AgreesWithTheLiteralCountOnTheBuiltInDictionary)
{
    const PhraseDictionary dictionary = loadBuiltinDictionary();
    std::vector<std::u16string> entries;
    std::u16string text;
    for (const PhraseEntry& entry : dictionary.entries()) {
        entries.push_back(entry.source + u"=" + entry.replacement);
        if (entries.size() % 7 == 0)
            text += entry.source + entry.replacement + u"，" + entry.source;
    }
    EXPECT_EQ(ReplacementCounter(dictionary).count(text), literalCount(text, entries));
}
