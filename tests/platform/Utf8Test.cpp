#include "Utf8.h"

#include <gtest/gtest.h>

using namespace pexa;

TEST(Utf8Test, RoundTripsChineseAsciiLineBreaksAndEmoji)
{
    const std::u16string text = u"伪原创 text\r\n😀，。";
    const std::string bytes = utf8::encode(text);
    EXPECT_EQ(bytes, "伪原创 text\r\n😀，。");
    EXPECT_EQ(utf8::decode(bytes), text);
    EXPECT_EQ(utf8::decode(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(Utf8Test, RefusesMalformedBytes)
{
    EXPECT_FALSE(utf8::decode("\xC4\xE3\xBA\xC3")); // GBK bytes of 你好
    EXPECT_FALSE(utf8::decode("\xC0\xAF"));         // overlong "/"
    EXPECT_FALSE(utf8::decode("\xED\xA0\x80"));     // encoded surrogate
    EXPECT_FALSE(utf8::decode("\xE4\xBD"));         // truncated
    EXPECT_FALSE(utf8::decode("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_FALSE(utf8::decode("a\x80"
                              "b"));                    // a continuation byte without a lead
    EXPECT_FALSE(utf8::decode("\xF8\x88\x80\x80\x80")); // five-byte form
    EXPECT_EQ(utf8::decode(""), std::u16string());
}

TEST(Utf8Test, WritesLoneSurrogateAsReplacementCharacter)
{
    EXPECT_EQ(utf8::encode(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}
