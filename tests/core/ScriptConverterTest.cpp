#include <gtest/gtest.h>

#include "ScriptConverter.h"

using namespace pexa;

namespace {

const ScriptConverter& converter()
{
    static const ScriptConverter instance;
    return instance;
}

std::u16string toTraditional(std::u16string_view text)
{
    return converter().convert(text, Script::Traditional);
}

std::u16string toSimplified(std::u16string_view text)
{
    return converter().convert(text, Script::Simplified);
}

} // namespace

TEST(ScriptConverterTest, ConvertsWithPhraseAwareness)
{
    EXPECT_EQ(toTraditional(u"简体中文"), u"簡體中文");
    EXPECT_EQ(toTraditional(u"以后"), u"以後");
    EXPECT_EQ(toTraditional(u"皇后"), u"皇后");
    EXPECT_EQ(toSimplified(u"簡體中文"), u"简体中文");
}

TEST(ScriptConverterTest, RoundTripGivesTheSimplifiedTextBack)
{
    const std::u16string text = u"这是一个关于软件开发的简单例子，我们应该认真对待。";
    EXPECT_EQ(toSimplified(toTraditional(text)), text);
}

TEST(ScriptConverterTest, KeepsAsciiPunctuationLineBreaksAndLength)
{
    const std::u16string text = u"Version 9.3, OK!\r\n开发\t软件。“引号”";
    const std::u16string converted = toTraditional(text);
    EXPECT_EQ(converted.size(), text.size());
    EXPECT_EQ(converted.substr(0, 18), text.substr(0, 18));
    EXPECT_EQ(converted, u"Version 9.3, OK!\r\n開發\t軟件。“引號”");
}

TEST(ScriptConverterTest, CharactersOutsideTheTablesPassThroughUnchanged)
{
    EXPECT_EQ(toTraditional(u"开心😀𠀀"), u"開心😀𠀀");
    EXPECT_EQ(toSimplified(u"開心😀"), u"开心😀");
}

TEST(ScriptConverterTest, EmptyTextGivesEmptyText)
{
    EXPECT_EQ(toTraditional(u""), u"");
    EXPECT_EQ(toSimplified(u""), u"");
}
