#include <gtest/gtest.h>

#include "BuiltinDictionary.h"
#include "PhraseDictionary.h"

using namespace pexa;

TEST(PhraseDictionaryTest, ReadsSourceAndReplacementAndIgnoresFurtherFields)
{
    const PhraseDictionary dictionary =
        PhraseDictionary::fromEntries({u"防范=防备", u"=摆布=支配", u"a=", u"x=y=z"});
    ASSERT_EQ(dictionary.size(), 4u);
    EXPECT_EQ(dictionary[0].source, u"防范");
    EXPECT_EQ(dictionary[0].replacement, u"防备");
    EXPECT_EQ(dictionary[1].source, u"");
    EXPECT_EQ(dictionary[1].replacement, u"摆布");
    EXPECT_EQ(dictionary[2].replacement, u"");
    EXPECT_EQ(dictionary[3].replacement, u"y");
}

TEST(PhraseDictionaryTest, RefusesEntryWithoutEqualsSignAndNamesItsPosition)
{
    try {
        PhraseDictionary::fromEntries({u"a=b", u"c=d", u"坏条目"});
        FAIL() << "an entry without \"=\" was accepted";
    } catch (const InvalidPhraseEntry& error) {
        EXPECT_EQ(error.position(), 2u);
        EXPECT_NE(std::string(error.what()).find("坏条目"), std::string::npos);
    }
}

TEST(PhraseDictionaryTest, RefusesMoreEntriesThanSixteenBitPositions)
{
    const std::vector<std::u16string> full(PhraseDictionary::maxEntries, u"a=b");
    EXPECT_EQ(PhraseDictionary::fromEntries(full).size(), PhraseDictionary::maxEntries);
    std::vector<std::u16string> tooMany = full;
    tooMany.push_back(u"a=b");
    EXPECT_THROW(PhraseDictionary::fromEntries(tooMany), DictionaryTooLarge);
}

TEST(PhraseListTest, ParsesOneEntryPerLineAcceptingCrLfAndSkippingBlankLines)
{
    EXPECT_EQ(parsePhraseList("防范=防备\r\n\n安全=平安\n"), (PhraseList{u"防范=防备", u"安全=平安"}));
    EXPECT_EQ(parsePhraseList("a=b"), (PhraseList{u"a=b"}));
    EXPECT_TRUE(parsePhraseList("").empty());
}

TEST(PhraseListTest, MergesListsInOrderAndAnEmptyListContributesNothing)
{
    const PhraseDictionary merged =
        mergePhraseLists({{u"a=1", u"b=2"}, {}, {u"c=3"}});
    ASSERT_EQ(merged.size(), 3u);
    EXPECT_EQ(merged[0].source, u"a");
    EXPECT_EQ(merged[1].source, u"b");
    EXPECT_EQ(merged[2].source, u"c");
}
