#include <gtest/gtest.h>

#include "TextOps.h"

using namespace pexa::text;
using Fields = std::vector<std::u16string>;

TEST(SplitTest, KeepsEmptyFieldsBetweenAndAroundDelimiters)
{
    EXPECT_EQ(split(u"a==b", u"="), (Fields{u"a", u"", u"b"}));
    EXPECT_EQ(split(u"=a=", u"="), (Fields{u"", u"a", u""}));
    EXPECT_EQ(split(u"=摆布=支配", u"="), (Fields{u"", u"摆布", u"支配"}));
}

TEST(SplitTest, TextWithoutDelimiterIsOneFieldAndEmptyTextHasNone)
{
    EXPECT_EQ(split(u"防范", u"="), (Fields{u"防范"}));
    EXPECT_TRUE(split(u"", u"=").empty());
    EXPECT_EQ(split(u"a\r\nb\r\n", u"\r\n"), (Fields{u"a", u"b", u""}));
    EXPECT_EQ(split(u"a\nb", u"\r\n"), (Fields{u"a\nb"}));
}

TEST(ReplaceAllTest, ScansLeftToRightWithoutOverlapOrRescanning)
{
    EXPECT_EQ(replaceAll(u"aaa", u"aa", u"b"), u"ba");
    EXPECT_EQ(replaceAll(u"防范防范", u"防范", u"防备"), u"防备防备");
    // The inserted text holds the sought text again, yet it is not replaced a second time.
    EXPECT_EQ(replaceAll(u"ab", u"a", u"aa"), u"aab");
    EXPECT_EQ(replaceAll(u"xax", u"a", u""), u"xx");
}

TEST(ReplaceAllTest, EmptyFindOrEmptyTextLeavesTextUnchanged)
{
    EXPECT_EQ(replaceAll(u"摆布", u"", u"支配"), u"摆布");
    EXPECT_EQ(replaceAll(u"", u"a", u"b"), u"");
}

TEST(ReplaceAllTest, MatchesExactCodeUnitsOnly)
{
    EXPECT_EQ(replaceAll(u"Aa", u"a", u"x"), u"Ax");
    std::u16string text = u"a\r\na";
    EXPECT_EQ(replaceAllInPlace(text, u"a", u"bb"), 2u);
    EXPECT_EQ(text, u"bb\r\nbb");
}

TEST(InStrTest, GivesOneBasedPositionOrZero)
{
    EXPECT_EQ(inStr(u"abc", u"c"), 3u);
    EXPECT_EQ(inStr(u"abc", u"d"), 0u);
    EXPECT_EQ(inStr(u"abc", u""), 1u);
    EXPECT_EQ(inStr(u"", u""), 0u);
    EXPECT_EQ(inStr(u"", u"a"), 0u);
    EXPECT_TRUE(contains(u"调查结果，部分受访者", u"结果，部分"));
}
