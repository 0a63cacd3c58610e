#include "TextCodec.h"

#include "UsualCharacters.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace pexa::cli;

TEST(TextCodecTest, GbkAndGb18030BytesAreReadWhenNotUtf8)
{
    // 安全第一， in GBK.
    const DecodedArticle gbk = decodeArticle("\xB0\xB2\xC8\xAB\xB5\xDA\xD2\xBB\xA3\xAC");
    ASSERT_TRUE(gbk.ok()) << gbk.error;
    EXPECT_EQ(gbk.text, u"安全第一，");
    EXPECT_EQ(gbk.encoding, SourceEncoding::Gb18030);
    // Four-byte GB18030 sequences beyond GBK: U+0100 and U+1F600, the latter a surrogate pair.
    const DecodedArticle beyondGbk = decodeArticle("\x81\x30\x8B\x38\x94\x39\xFC\x36");
    ASSERT_TRUE(beyondGbk.ok()) << beyondGbk.error;
    EXPECT_EQ(beyondGbk.text, u"Ā😀");
}

TEST(TextCodecTest, UnreadableBytesAreRefusedWithAReason)
{
    EXPECT_EQ(decodeArticle("\xB0\xB2\xFF").error, "neither UTF-8 nor GB18030/GBK text");
    EXPECT_EQ(decodeArticle("\xFF\xFE\x89\x5B").error,
              "UTF-16 text, which is not read; save it as UTF-8 or GBK");
    EXPECT_FALSE(decodeArticle(std::string("a\0b", 3)).ok());
    EXPECT_FALSE(decodeArticle(std::string("\xB0\xB2\xC8\xAB\0", 5)).ok()); // GBK, then NUL
    EXPECT_EQ(decodeArticle("\xEF\xBB\xBF\xB0\xB2").error, "neither UTF-8 nor GB18030/GBK text");
}

TEST(TextCodecTest, AShortGbkTextThatIsAlsoValidUtf8IsReadAsGbk)
{
    // 偷偷泄露食品 in GBK, which as UTF-8 would read "͵͵й¶ʳƷ".
    const DecodedArticle article =
        decodeArticle("\xCD\xB5\xCD\xB5\xD0\xB9\xC2\xB6\xCA\xB3\xC6\xB7");
    ASSERT_TRUE(article.ok()) << article.error;
    EXPECT_EQ(article.text, u"偷偷泄露食品");
    EXPECT_EQ(decodeArticle("偷偷泄露食品").text, u"偷偷泄露食品");
}

TEST(TextCodecTest, DamagedUtf8IsRefusedNotReadAsGbk)
{
    const std::string damaged = "damaged UTF-8 (overlong or surrogate byte sequences)";
    EXPECT_EQ(decodeArticle("abc\xC0\xAF\xE0\x80\xAF def").error, damaged); // overlong
    EXPECT_EQ(decodeArticle("\xED\xA0\xBD\xED\xB8\x80").error, damaged);    // CESU-8
}

TEST(TextCodecTest, Utf16WithoutAByteOrderMarkIsRefused)
{
    const std::u16string text = u"今天天气很好，我们出去走走。";
    std::string little;
    std::string big;
    for (char16_t unit : text) {
        little += {char(unit & 0xFF), char(unit >> 8)};
        big += {char(unit >> 8), char(unit & 0xFF)};
    }
    const std::string refusal = "UTF-16 text, which is not read; save it as UTF-8 or GBK";
    EXPECT_EQ(decodeArticle(little).error, refusal);
    EXPECT_EQ(decodeArticle(big).error, refusal);
    EXPECT_EQ(decodeArticle(std::string("h\0i\0!\0", 6)).error, refusal);
}

TEST(TextCodecTest, TheCodePage936EuroSignIsRead)
{
    // 安全€第一 in code page 936, where the euro sign is the single byte 0x80.
    const DecodedArticle article = decodeArticle("\xB0\xB2\xC8\xAB\x80\xB5\xDA\xD2\xBB");
    ASSERT_TRUE(article.ok()) << article.error;
    EXPECT_EQ(article.text, u"安全€第一");
}

TEST(TextCodecTest, CompiledInUsualCharactersAreThoseIconvGivesNow)
{
    const std::vector<std::uint8_t> foundNow = findUsualCharacters();
    EXPECT_TRUE(std::ranges::equal(data::usualCharacters, foundNow));
    EXPECT_EQ(data::usualCharacters[u'中'], 1);
    EXPECT_EQ(data::usualCharacters[u'a'], 1);
    EXPECT_EQ(data::usualCharacters[u'\n'], 1);
    EXPECT_EQ(data::usualCharacters[u'\x01'], 0);
    EXPECT_EQ(data::usualCharacters[u'\u4E02'], 0); // a rare character, in GBK but not GB2312
}
