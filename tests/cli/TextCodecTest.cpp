#include "TextCodec.h"

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
}
