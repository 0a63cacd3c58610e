#include "ProtectedRewrite.h"

#include <gtest/gtest.h>
#include <random>

using namespace pexa;

namespace {

PhraseRewriter rewriterOf(const std::vector<std::u16string>& entries)
{
    return PhraseRewriter(PhraseDictionary::fromEntries(entries));
}

} // namespace

TEST(ProtectedRewriteTest, SourcesCrossingEitherEdgeOfATermLeaveItWhole)
{
    // 安全 crosses the start of 全产, 产品 crosses its end.
    const PhraseRewriter rewriter = rewriterOf({u"安全=平安", u"产品=货品"});
    const ProtectedTerms terms({u"全产"});
    EXPECT_EQ(rewriter.rewrite(u"安全产品"), u"平安货品");
    EXPECT_EQ(rewriteProtected(u"安全产品", rewriter, terms).text, u"安全产品");
}

TEST(ProtectedRewriteTest, SourceInsideATermLeavesItWhole)
{
    const PhraseRewriter rewriter = rewriterOf({u"安全=平安"});
    EXPECT_EQ(
        rewriteProtected(u"百度安全卫士很好", rewriter, ProtectedTerms({u"百度安全卫士"})).text,
        u"百度安全卫士很好");
}

TEST(ProtectedRewriteTest, TextOutsideTermsIsRewrittenAsWithoutProtection)
{
    const PhraseRewriter rewriter = rewriterOf({u"安全=平安", u"产品=货品"});
    const ProtectedTerms terms({u"全产"});
    EXPECT_EQ(rewriteProtected(u"安全第一。安全产品。产品", rewriter, terms).text,
              u"平安第一。安全产品。货品");
    // No occurrence at all: the same result as the unprotected rewrite.
    EXPECT_EQ(rewriteProtected(u"安全第一，好产品", rewriter, terms).text,
              rewriter.rewrite(u"安全第一，好产品"));
}

TEST(ProtectedRewriteTest, CascadesRunWithinEachGap)
{
    const PhraseRewriter rewriter = rewriterOf({u"大喜过望=大失所望", u"大失所望=事与愿违"});
    EXPECT_EQ(rewriteProtected(u"大喜过望Pexa大喜过望", rewriter, ProtectedTerms({u"Pexa"})).text,
              u"事与愿违Pexa事与愿违");
}

TEST(ProtectedRewriteTest, TermsAtBothEndsAndBackToBackStayVerbatim)
{
    const PhraseRewriter rewriter = rewriterOf({u"防范=防备", u"范防=XX"});
    const ProtectedTerms terms({u"防范"});
    EXPECT_EQ(rewriteProtected(u"防范防范", rewriter, terms).text, u"防范防范");
    EXPECT_EQ(rewriteProtected(u"防范和防范", rewriter, terms).text, u"防范和防范");
}

TEST(ProtectedRewriteTest, OverlappingOccurrencesAreAllKept)
{
    // "ab" and "bc" overlap in "abc": every character of both occurrences is kept.
    const PhraseRewriter rewriter = rewriterOf({u"a=1", u"b=2", u"c=3", u"x=9"});
    const ProtectedTerms terms({u"ab", u"bc"});
    EXPECT_EQ(terms.coveredSpans(u"xabcx"), (std::vector<TextSpan>{{1, 4}}));
    EXPECT_EQ(rewriteProtected(u"xabcxa", rewriter, terms).text, u"9abc91");
}

TEST(ProtectedRewriteTest, LongestTermWinsWhereSeveralStart)
{
    const ProtectedTerms terms({u"百度", u"百度安全卫士"});
    EXPECT_EQ(terms.coveredSpans(u"用百度安全卫士"), (std::vector<TextSpan>{{1, 7}}));
}

TEST(ProtectedRewriteTest, EmptyAndRepeatedTermsAreIgnored)
{
    const ProtectedTerms none({u"", u""});
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(none.coveredSpans(u"任何文字").empty());
    const ProtectedTerms twice({u"文字", u"文字"});
    EXPECT_EQ(twice.coveredSpans(u"文字"), (std::vector<TextSpan>{{0, 2}}));
}

namespace {

// Every occurrence of every term, joined where they overlap or touch: what coveredSpans promises,
// found the slow, obvious way.
std::vector<TextSpan> coveredOneByOne(std::u16string_view text,
                                      const std::vector<std::u16string>& terms)
{
    std::vector<bool> covered(text.size(), false);
    for (const std::u16string& term : terms) {
        for (std::size_t at = text.find(term); !term.empty() && at != std::u16string_view::npos;
             at = text.find(term, at + 1)) {
            for (std::size_t i = at; i < at + term.size(); ++i)
                covered[i] = true;
        }
    }
    std::vector<TextSpan> spans;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!covered[i])
            continue;
        if (!spans.empty() && spans.back().end == i)
            spans.back().end = i + 1;
        else
            spans.push_back({i, i + 1});
    }
    return spans;
}

} // namespace

TEST(ProtectedRewriteTest, ManyOverlappingTermsCoverWhatEachTermCoversOnItsOwn)
{
    // Terms over a three-letter alphabet overlap, nest and touch everywhere in a text of the same
    // letters; thousands of them are looked for in one pass.
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::u16string> terms;
        const int termCount = round < 10 ? 3 : 2000;
        for (int t = 0; t < termCount; ++t) {
            std::u16string term(1 + random() % 6, u'a');
            for (char16_t& unit : term)
                unit = char16_t(u'a' + random() % 3);
            terms.push_back(term);
        }
        std::u16string text(300, u'a');
        for (char16_t& unit : text)
            unit = char16_t(u'a' + random() % 4); // 'd' is in no term
        EXPECT_EQ(ProtectedTerms(terms).coveredSpans(text), coveredOneByOne(text, terms))
            << "round " << round;
    }
}
