#include "UserDictionary.h"

#include "Utf8.h"

#include <gtest/gtest.h>

using namespace pexa;
using namespace pexa::cli;

TEST(UserDictionaryTest, ReadsEntriesInFileOrderSkippingCommentsBlankLinesAndLineEnds)
{
    UserEntries user;
    user.addFile("a.txt", u"# 我的词库\r\n系统=体系\r\n\r\n  \n服务器=伺服器");
    user.addFile("b.txt", u"删掉=\n");
    ASSERT_TRUE(user.problems().empty()) << user.problems().front();
    ASSERT_EQ(user.entries().size(), 3u);
    EXPECT_EQ(user.entries()[0].source, u"系统");
    EXPECT_EQ(user.entries()[1].replacement, u"伺服器");
    EXPECT_EQ(user.entries()[2].source, u"删掉");
    EXPECT_EQ(user.entries()[2].replacement, u"");
}

TEST(UserDictionaryTest, EveryMalformedLineIsNamedByFileAndLine)
{
    UserEntries user;
    user.addFile("mine.txt", u"系统=体系\n没有等号\n两 个=字\n=空\n同=同\n系统=套路\na=b=c\n好=行");
    user.addFile("more.txt", u"\n系统=别的");
    const std::vector<std::string> expected = {
        "mine.txt:2: no \"=\" between source and replacement in \"没有等号\"",
        "mine.txt:3: a blank inside \"两 个=字\" (blanks would be part of the phrases)",
        "mine.txt:4: an empty source in \"=空\" (it would replace nothing)",
        "mine.txt:5: source and replacement are the same in \"同=同\"",
        "mine.txt:6: the source \"系统\" again (first at mine.txt:1)",
        "mine.txt:7: more than one \"=\" in \"a=b=c\"",
        "more.txt:2: the source \"系统\" again (first at mine.txt:1)",
    };
    EXPECT_EQ(user.problems(), expected);
    EXPECT_EQ(user.entries().size(), 2u);
}

TEST(UserDictionaryTest, WithoutNamesWholeEntriesOrSourcesAndRefusesUnknownOnes)
{
    const PhraseList builtin = {u"防范=防备", u"安全=平安", u"=摆布=支配", u"系统=体系"};
    SkippedEntries skipped(builtin);
    skipped.addFile("off.txt", u"防范\n安全=平安\n=摆布=支配\n系统=套路\n不存在\n");
    EXPECT_TRUE(skipped.skips(u"防范=防备"));
    EXPECT_TRUE(skipped.skips(u"安全=平安"));
    EXPECT_TRUE(skipped.skips(u"=摆布=支配"));
    EXPECT_FALSE(skipped.skips(u"系统=体系"));
    ASSERT_EQ(skipped.problems().size(), 2u);
    EXPECT_EQ(skipped.problems()[0].substr(0, 11), "off.txt:4: ");
    EXPECT_EQ(skipped.problems()[1].substr(0, 11), "off.txt:5: ");
}

TEST(UserDictionaryTest, RunDictionaryIsTheBuiltinEntriesLeftThenTheUsersOrOnlyTheUsers)
{
    const PhraseList builtin = {u"防范=防备", u"安全=平安", u"防备=防范"};
    SkippedEntries skipped(builtin);
    skipped.addFile("off.txt", u"安全");
    UserEntries user;
    user.addFile("mine.txt", u"安全=稳妥\n防范=预防");

    const PhraseDictionary both = assembleDictionary(builtin, skipped, false, user);
    ASSERT_EQ(both.size(), 4u);
    EXPECT_EQ(both[1].source, u"防备");
    EXPECT_EQ(both[2].replacement, u"稳妥");
    const PhraseDictionary own = assembleDictionary(builtin, skipped, true, user);
    ASSERT_EQ(own.size(), 2u);
    EXPECT_EQ(own[0].source, u"安全");
}

TEST(UserDictionaryTest, TheBuiltinListingReadBackAsTheOnlyDictionaryGivesTheBuiltinDictionary)
{
    UserEntries user;
    user.addFile("listing.txt", utf8::decode(builtinListing()).value());
    ASSERT_TRUE(user.problems().empty()) << user.problems().front();
    const PhraseDictionary builtin = loadBuiltinDictionary();
    std::vector<PhraseEntry> effective;
    for (const PhraseEntry& entry : builtin.entries())
        if (!entry.source.empty())
            effective.push_back(entry);
    ASSERT_EQ(user.entries().size(), effective.size());
    for (std::size_t i = 0; i < effective.size(); ++i) {
        EXPECT_EQ(user.entries()[i].source, effective[i].source);
        EXPECT_EQ(user.entries()[i].replacement, effective[i].replacement);
    }
}
