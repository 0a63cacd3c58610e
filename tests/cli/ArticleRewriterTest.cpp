#include "ArticleRewriter.h"

#include "BuiltinDictionary.h"

#include <gtest/gtest.h>

using namespace pexa;
using namespace pexa::cli;

namespace {

const PhraseDictionary& builtinDictionary()
{
    static const PhraseDictionary dictionary = loadBuiltinDictionary();
    return dictionary;
}

// About 150,000 code units of lines made from the dictionary's own sources.
std::u16string longArticle()
{
    std::u16string article;
    const std::vector<PhraseEntry>& entries = builtinDictionary().entries();
    for (std::size_t line = 0; article.size() < 150'000; ++line) {
        for (std::size_t k = 0; k < 8; ++k)
            article += entries[(line * 8 + k) * 31 % entries.size()].source + u"，";
        article += line % 3 == 0 ? u"。\r\n" : u"。\n";
    }
    return article;
}

RewriteSettings withThreads(unsigned threads, std::vector<std::u16string> terms = {})
{
    RewriteSettings settings;
    settings.threadsPerArticle = threads;
    settings.protectedTerms = terms;
    return settings;
}

} // namespace

TEST(ArticleRewriterTest, LongArticlesAreCutAfterLineBreaksIntoPartsThatRejoin)
{
    const ArticleRewriter rewriter(builtinDictionary(), withThreads(4));
    const std::u16string article = longArticle();
    const std::vector<std::u16string_view> parts = rewriter.partsForThreads(article);
    ASSERT_EQ(parts.size(), 4u);
    std::u16string rejoined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i + 1 < parts.size()) {
            EXPECT_EQ(parts[i].back(), u'\n');
        }
        rejoined += parts[i];
    }
    EXPECT_EQ(rejoined, article);
    // A short article stays whole.
    EXPECT_EQ(rewriter.partsForThreads(u"短文。\n短文。").size(), 1u);
}

TEST(ArticleRewriterTest, RewritingInPartsGivesExactlyTheWholeRewrite)
{
    const std::u16string article = longArticle();
    const std::vector<std::u16string> terms = {builtinDictionary().entries()[40].source};
    const ArticleResult whole =
        ArticleRewriter(builtinDictionary(), withThreads(1, terms)).rewrite(article);
    const ArticleResult inParts =
        ArticleRewriter(builtinDictionary(), withThreads(3, terms)).rewrite(article);
    ASSERT_TRUE(whole.ok());
    EXPECT_NE(whole.text, article);
    EXPECT_EQ(inParts.text, whole.text);
}

TEST(ArticleRewriterTest, RewritingInPartsCountsWhatTheWholeRewriteCounts)
{
    const std::u16string article = longArticle();
    RewriteSettings wholeSettings = withThreads(1);
    wholeSettings.measure = true;
    RewriteSettings partsSettings = withThreads(3);
    partsSettings.measure = true;
    const ArticleResult whole =
        ArticleRewriter(builtinDictionary(), wholeSettings).rewrite(article);
    const ArticleResult inParts =
        ArticleRewriter(builtinDictionary(), partsSettings).rewrite(article);
    std::u16string literal = article;
    EXPECT_EQ(whole.replacements, applyDictionaryLiterallyInPlace(literal, builtinDictionary()));
    EXPECT_EQ(inParts.replacements, whole.replacements);
}

TEST(ArticleRewriterTest, ATermHoldingALineBreakKeepsTheArticleWhole)
{
    const ArticleRewriter rewriter(builtinDictionary(), withThreads(4, {u"。\n"}));
    EXPECT_EQ(rewriter.partsForThreads(longArticle()).size(), 1u);
}

TEST(ArticleRewriterTest, ProtectedStretchesAreNotCounted)
{
    const PhraseDictionary dictionary = PhraseDictionary::fromEntries({u"安全=平安"});
    RewriteSettings settings = withThreads(1, {u"安全卫士"});
    settings.measure = true;
    const ArticleResult result = ArticleRewriter(dictionary, settings).rewrite(u"安全卫士很安全");
    EXPECT_EQ(result.text, u"安全卫士很平安");
    EXPECT_EQ(result.replacements, 1u);
    EXPECT_EQ(result.changeRate.percentText(), "14.3%"); // 平 is the one new character of seven
}

TEST(ArticleRewriterTest, AShuffleThatCannotHappenIsANoteNotAFailure)
{
    RewriteSettings settings = withThreads(1);
    settings.shuffle = true;
    settings.seed = 1;
    const ArticleResult result =
        ArticleRewriter(builtinDictionary(), settings).rewrite(u"一句话！");
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.notes, std::vector<std::string>{"not shuffled: fewer than two sentences"});
}
