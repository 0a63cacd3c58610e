#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "BuiltinDictionary.h"
#include "PhraseSubstitution.h"

using namespace pexa;

namespace {

constexpr std::size_t list1Size = 2299;
constexpr std::size_t list2Size = 2313;
constexpr std::size_t list3Size = 799;

const std::vector<PhraseList>& lists()
{
    static const std::vector<PhraseList> builtin = builtinPhraseLists();
    return builtin;
}

const PhraseDictionary& dictionary()
{
    static const PhraseDictionary merged = mergePhraseLists(lists());
    return merged;
}

std::u16string entryText(std::size_t position)
{
    const PhraseList* list = &lists()[0];
    for (const PhraseList& each : lists()) {
        if (position < each.size()) {
            list = &each;
            break;
        }
        position -= each.size();
    }
    return (*list)[position];
}

// Which built-in list holds a merged position: 0, 1 or 2.
int listOf(std::size_t position)
{
    return position < list1Size ? 0 : position < list1Size + list2Size ? 1 : 2;
}

// Byte length in code page 936: one byte for ASCII, two for every Chinese character.
std::size_t gbkLength(std::u16string_view text)
{
    return std::accumulate(text.begin(), text.end(), std::size_t{0},
                           [](std::size_t sum, char16_t unit) { return sum + (unit < 0x80 ? 1 : 2); });
}

std::vector<std::u16string> properSubstrings(std::u16string_view text)
{
    std::vector<std::u16string> parts;
    for (std::size_t start = 0; start < text.size(); ++start) {
        for (std::size_t length = 1; start + length <= text.size(); ++length) {
            if (length < text.size())
                parts.emplace_back(text.substr(start, length));
        }
    }
    return parts;
}

std::u16string rewriteWithBuiltin(std::u16string_view text)
{
    static const PhraseRewriter rewriter(dictionary());
    return rewriter.rewrite(text);
}

} // namespace

TEST(BuiltinDictionaryTest, ListsHoldTheirCountsAndMergeInOrder)
{
    ASSERT_EQ(lists().size(), 3u);
    EXPECT_EQ(lists()[0].size(), list1Size);
    EXPECT_EQ(lists()[1].size(), list2Size);
    EXPECT_EQ(lists()[2].size(), list3Size);
    ASSERT_EQ(dictionary().size(), 5411u);
    EXPECT_EQ(loadBuiltinDictionary().entries().size(), dictionary().size());
}

TEST(BuiltinDictionaryTest, NamedEntriesStandAtTheirPositions)
{
    const std::map<std::size_t, std::u16string> fixed = {
        {0, u"免费使用=无偿使用"},     {1, u"防范=防备"},           {153, u"冷酷=冷漠"},
        {277, u"冷酷无情=无情无义"},   {1970, u"使用=运用"},        {2298, u"曲折=迂回"},
        {2299, u"求实=务实"},          {4276, u"防备=防范"},        {4611, u"大显身手=大显神通"},
        {4612, u"大喜过望=大失所望"},  {4617, u"大失所望=事与愿违"}, {5410, u"煊赫一时=炙手可热"},
    };
    for (const auto& [position, entry] : fixed)
        EXPECT_EQ(entryText(position), entry) << "position " << position;

    std::set<std::u16string> all;
    for (std::size_t i = 0; i < dictionary().size(); ++i)
        all.insert(entryText(i));
    for (const char16_t* entry : {u"安全=平安", u"有效=无效", u"小人物=大人物", u"一寸光阴一寸金=一刻千金",
                                  u"驴唇不对马嘴=风马牛不相及"})
        EXPECT_TRUE(all.count(entry)) << "missing a named entry";
}

TEST(BuiltinDictionaryTest, OnlyTwoEntriesHaveAnEmptySourceBothInTheLastList)
{
    std::vector<std::u16string> emptySource;
    for (std::size_t i = 0; i < dictionary().size(); ++i) {
        const std::u16string entry = entryText(i);
        const auto equalsSigns = std::count(entry.begin(), entry.end(), u'=');
        if (entry.front() == u'=') {
            EXPECT_EQ(listOf(i), 2);
            emptySource.push_back(entry);
        } else {
            EXPECT_EQ(equalsSigns, 1) << "position " << i;
        }
    }
    std::sort(emptySource.begin(), emptySource.end());
    EXPECT_EQ(emptySource, (std::vector<std::u16string>{u"=不可开交=不亦乐乎", u"=摆布=支配"}));
}

TEST(BuiltinDictionaryTest, EntriesAreDistinctCleanAndWithinTheirLengths)
{
    std::set<std::u16string> entries;
    std::set<std::u16string> sources;
    std::size_t longest = 0;
    std::size_t shortest = SIZE_MAX;
    std::u16string longestEntry;
    for (std::size_t i = 0; i < dictionary().size(); ++i) {
        const std::u16string entry = entryText(i);
        const PhraseEntry& phrase = dictionary()[i];
        EXPECT_TRUE(entries.insert(entry).second) << "entry twice at " << i;
        EXPECT_EQ(entry.find_first_of(u" \t\r\n\u3000"), std::u16string::npos) << "blank at " << i;
        if (phrase.source.empty())
            continue;
        EXPECT_TRUE(sources.insert(phrase.source).second) << "source twice at " << i;
        EXPECT_NE(phrase.source, phrase.replacement) << "position " << i;
        EXPECT_EQ(phrase.replacement.find(phrase.source), std::u16string::npos) << "position " << i;
        EXPECT_EQ(phrase.source.find(phrase.replacement), std::u16string::npos) << "position " << i;
        if (gbkLength(entry) > longest)
            longest = gbkLength(entry), longestEntry = entry;
        shortest = std::min(shortest, gbkLength(entry));
    }
    EXPECT_EQ(longestEntry, u"驴唇不对马嘴=风马牛不相及");
    EXPECT_EQ(longest, 25u);
    EXPECT_EQ(shortest, 9u);
}

TEST(BuiltinDictionaryTest, SourceLengthsFollowTheKnownMix)
{
    std::map<std::size_t, int> lengths;
    for (const PhraseEntry& phrase : dictionary().entries())
        ++lengths[phrase.source.size()];
    EXPECT_EQ(lengths, (std::map<std::size_t, int>{
                           {0, 2}, {2, 4016}, {3, 41}, {4, 1344}, {5, 4}, {6, 2}, {7, 2}}));
}

TEST(BuiltinDictionaryTest, ReversePairsAreSplitAcrossTheListsAsShipped)
{
    std::unordered_map<std::u16string, std::size_t> positionOfSource;
    for (std::size_t i = 0; i < dictionary().size(); ++i) {
        if (!dictionary()[i].source.empty())
            positionOfSource.emplace(dictionary()[i].source, i);
    }
    std::map<std::pair<int, int>, int> pairs;
    int total = 0;
    for (std::size_t i = 0; i < dictionary().size(); ++i) {
        const PhraseEntry& phrase = dictionary()[i];
        const auto later = positionOfSource.find(phrase.replacement);
        if (phrase.source.empty() || later == positionOfSource.end() || later->second <= i ||
            dictionary()[later->second].replacement != phrase.source)
            continue;
        ++pairs[{listOf(i), listOf(later->second)}];
        ++total;
    }
    EXPECT_EQ(total, 993);
    EXPECT_EQ(pairs, (std::map<std::pair<int, int>, int>{
                         {{0, 0}, 233}, {{1, 1}, 201}, {{2, 2}, 45},
                         {{0, 1}, 315}, {{0, 2}, 88},  {{1, 2}, 111}}));
}

TEST(BuiltinDictionaryTest, CascadesAndContainmentsHaveTheirKnownCounts)
{
    std::unordered_set<std::u16string> earlierReplacements;
    std::unordered_set<std::u16string> insideEarlierReplacements;
    std::unordered_set<std::u16string> earlierSources;
    int cascades = 0;
    int insideReplacement = 0;
    int containsEarlierSource = 0;
    for (const PhraseEntry& phrase : dictionary().entries()) {
        const std::u16string& source = phrase.source;
        if (!source.empty()) {
            if (earlierReplacements.count(source))
                ++cascades;
            else if (insideEarlierReplacements.count(source))
                ++insideReplacement;
            const std::vector<std::u16string> parts = properSubstrings(source);
            containsEarlierSource += std::any_of(parts.begin(), parts.end(), [&](const auto& part) {
                return earlierSources.count(part) > 0;
            });
            earlierSources.insert(source);
        }
        earlierReplacements.insert(phrase.replacement);
        for (std::u16string& part : properSubstrings(phrase.replacement))
            insideEarlierReplacements.insert(std::move(part));
    }
    EXPECT_EQ(cascades, 1483);
    EXPECT_EQ(insideReplacement, 48);
    EXPECT_EQ(containsEarlierSource, 43);
}

TEST(BuiltinDictionaryTest, WorkedExamplesComeOutAsWritersExpect)
{
    EXPECT_EQ(rewriteWithBuiltin(u"防备"), u"防范");
    EXPECT_EQ(rewriteWithBuiltin(u"大喜过望"), u"事与愿违");
    EXPECT_EQ(rewriteWithBuiltin(u"生硬"), u"僵硬");
    EXPECT_EQ(rewriteWithBuiltin(u"冷酷无情"), u"冷漠无情");
    EXPECT_EQ(rewriteWithBuiltin(u"免费使用"), u"无偿运用");
    EXPECT_EQ(rewriteWithBuiltin(u"摆布"), u"摆布");
    EXPECT_EQ(rewriteWithBuiltin(u"   "), u"   ");
}

TEST(BuiltinDictionaryTest, LoadingTwiceGivesTheSameDictionary)
{
    const PhraseDictionary again = loadBuiltinDictionary();
    ASSERT_EQ(again.size(), dictionary().size());
    for (std::size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].source, dictionary()[i].source);
        EXPECT_EQ(again[i].replacement, dictionary()[i].replacement);
    }
}
