// The fast rewriter against the literal reference on random dictionaries and texts. Each case is
// made from its own seed, so a failure names the seed and replays alone:
//   PEXA_DIFFERENTIAL_SEED=<seed> PEXA_DIFFERENTIAL_CASES=1 ./pexa_core_tests
//       --gtest_filter='DifferentialTest.*'

#include "BuiltinDictionary.h"
#include "PhraseSubstitution.h"
#include "RandomCases.h"
#include "TextRewriter.h"
#include "Utf8.h"

#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace pexa;
using namespace pexa::cases;

namespace {

std::string describe(const std::vector<std::u16string>& entries, std::u16string_view text)
{
    std::string description = "dictionary:";
    for (const std::u16string& entry : entries) {
        description += ' ';
        description += shown(entry);
    }
    description += "\ntext: ";
    description += shown(text);
    return description;
}

// A rewrite and the replacements it counted.
struct Rewritten
{
    std::u16string text;
    std::size_t replacements = 0;
};

Rewritten rewriteLiterally(std::u16string_view text, const PhraseDictionary& dictionary)
{
    Rewritten literal{std::u16string(text)};
    literal.replacements = applyDictionaryLiterallyInPlace(literal.text, dictionary);
    return literal;
}

// What the fast rewriter gives; `chunkLength` 0 for the program's own.
Rewritten rewriteFast(const PhraseRewriter& rewriter, const PhraseAutomaton& automaton,
                      std::u16string_view text, std::size_t chunkLength)
{
    Rewritten fast;
    fast.replacements =
        chunkLength == 0
            ? rewriter.appendRewrite(text, fast.text)
            : TextRewriter(rewriter.dictionary(), automaton, text, chunkLength).appendTo(fast.text);
    return fast;
}

enum class TextShape
{
    mixed, // words, fragments, separators and stray code units
    dense, // sources run together
};

enum class Chunks
{
    programs, // as the program cuts long pieces
    small,    // a few code units, so that chunks join often
};

// Runs `cases` dictionaries with `textsPerDictionary` texts each; stops at the first difference in
// the text or in the count of replacements.
void compareOnRandomCases(std::uint64_t cases, int textsPerDictionary, int maxParts,
                          TextShape shape = TextShape::mixed, Chunks chunks = Chunks::programs)
{
    const std::uint64_t caseCount = environmentNumber("PEXA_DIFFERENTIAL_CASES", cases);
    for (std::uint64_t seed = firstSeed; seed < firstSeed + caseCount; ++seed) {
        CaseMaker maker(seed);
        const std::vector<std::u16string> entries = maker.dictionaryEntries();
        const PhraseRewriter rewriter(PhraseDictionary::fromEntries(entries));
        const PhraseAutomaton automaton(rewriter.dictionary());
        const std::size_t chunkLength =
            chunks == Chunks::small ? std::size_t(maker.number(1, 6)) : 0;
        for (int i = 0; i < textsPerDictionary; ++i) {
            const std::u16string text = shape == TextShape::dense
                                            ? maker.denseText(rewriter.dictionary(), maxParts)
                                            : maker.text(rewriter.dictionary(), maxParts);
            const Rewritten expected = rewriteLiterally(text, rewriter.dictionary());
            const Rewritten actual = rewriteFast(rewriter, automaton, text, chunkLength);
            if (actual.text != expected.text || actual.replacements != expected.replacements) {
                FAIL() << "seed " << seed << ", text " << i << ", chunk length " << chunkLength
                       << "\n"
                       << describe(entries, text) << "\nliteral: " << shown(expected.text) << ", "
                       << expected.replacements << " replacements\nfast:    " << shown(actual.text)
                       << ", " << actual.replacements << " replacements";
            }
        }
    }
}

} // namespace

TEST(DifferentialTest, ShortTextsMatchTheLiteralRewrite)
{
    compareOnRandomCases(20000, 5, 12); // 100,000 cases
}

TEST(DifferentialTest, LongPiecesMatchTheLiteralRewrite)
{
    compareOnRandomCases(2000, 2, 400);
}

TEST(DifferentialTest, LongPiecesCutIntoChunksMatchTheLiteralRewrite)
{
    compareOnRandomCases(5000, 2, 150, TextShape::mixed, Chunks::small);
}

TEST(DifferentialTest, DenseTextsMatchTheLiteralRewrite)
{
    compareOnRandomCases(2000, 2, 400, TextShape::dense);
    compareOnRandomCases(3000, 2, 150, TextShape::dense, Chunks::small);
}

// Rewrites `cases` texts made by `makeText` from seeded cases with the built-in dictionary and
// compares each with the literal rewrite.
template <typename MakeText> void compareBuiltinOnSeededTexts(std::uint64_t cases, MakeText makeText)
{
    const PhraseRewriter rewriter(loadBuiltinDictionary());
    for (std::uint64_t seed = firstSeed; seed < firstSeed + cases; ++seed) {
        CaseMaker maker(seed);
        const std::u16string text = makeText(maker, rewriter.dictionary());
        const Rewritten expected = rewriteLiterally(text, rewriter.dictionary());
        std::u16string actual;
        ASSERT_EQ(rewriter.appendRewrite(text, actual), expected.replacements)
            << "seed " << seed << ", text " << shown(text);
        ASSERT_EQ(actual, expected.text) << "seed " << seed << ", text " << shown(text);
    }
}

TEST(DifferentialTest, BuiltinDictionaryMatchesTheLiteralRewrite)
{
    compareBuiltinOnSeededTexts(300, [](CaseMaker& maker, const PhraseDictionary& dictionary) {
        return maker.text(dictionary, 60);
    });
}

// Keyword lists: built-in sources run together, long enough to be cut into chunks.
TEST(DifferentialTest, BuiltinDictionaryOnDenseTextMatchesTheLiteralRewrite)
{
    compareBuiltinOnSeededTexts(40, [](CaseMaker& maker, const PhraseDictionary& dictionary) {
        return maker.denseText(dictionary, 800);
    });
}

TEST(DifferentialTest, AppendRewriteAddsToWhatIsThere)
{
    const PhraseRewriter rewriter(PhraseDictionary::fromEntries({u"ab=c", u"c=d"}));
    std::u16string out = u"x";
    rewriter.appendRewrite(u"ab，ab", out);
    rewriter.appendRewrite(u"a", out);
    rewriter.appendRewrite(u"b", out);
    EXPECT_EQ(out, u"xd，dab");
}

// The piece "wwybs|dddw|cwww" is cut into three chunks. "ddd=" shrinks the middle one to "w", after
// "b=" and "ys=ya" made the first end in "a"; "awc" then spans all three chunks, which no check of
// one cut alone would see.
TEST(DifferentialTest, ChunkShrunkBelowASourceLengthJoinsItsNeighbour)
{
    const PhraseDictionary dictionary =
        PhraseDictionary::fromEntries({u"zw=q", u"b=", u"ys=ya", u"ddd=", u"awc=OK"});
    const std::u16string text = u"wwybsdddwcwww";
    std::u16string rewritten;
    TextRewriter(dictionary, PhraseAutomaton(dictionary), text, 3).appendTo(rewritten);
    EXPECT_EQ(rewritten, u"wwyOKwww");
    EXPECT_EQ(applyDictionaryLiterally(text, dictionary), rewritten);
}

TEST(ReplacementCountTest, ACascadeCountsEachStepAndAnEmptySourceNothing)
{
    const PhraseRewriter rewriter(PhraseDictionary::fromEntries(
        {u"大喜过望=大失所望", u"大失所望=事与愿违", u"防范=防备", u"防备=防范", u"=摆布"}));
    std::u16string out;
    EXPECT_EQ(rewriter.appendRewrite(u"大喜过望", out), 2u);
    EXPECT_EQ(rewriter.appendRewrite(u"防范和防备", out), 3u);
    EXPECT_EQ(rewriter.appendRewrite(u"摆布，没有变化。", out), 0u);
    EXPECT_EQ(rewriter.appendRewrite(u"", out), 0u);
    EXPECT_EQ(out, u"事与愿违防范和防范摆布，没有变化。");
}

TEST(ReplacementCountTest, AReplacementThatMakesANewMatchAcrossItsEdgeCountsIt)
{
    // "a=bc" makes "cd" appear across its own edge, and "e" then meets the "b" before it.
    const PhraseDictionary dictionary = PhraseDictionary::fromEntries({u"a=bc", u"cd=e", u"eb=f"});
    std::u16string out;
    EXPECT_EQ(PhraseRewriter(dictionary).appendRewrite(u"ad", out), 2u);
    EXPECT_EQ(out, u"be");
}

// A repeated piece is copied from its first rewrite; its replacements must still count each time.
TEST(ReplacementCountTest, RepeatedPiecesCountEveryTime)
{
    const PhraseRewriter rewriter(loadBuiltinDictionary());
    std::u16string text;
    for (std::size_t i = 0; i < rewriter.dictionary().size(); i += 7) {
        const PhraseEntry& entry = rewriter.dictionary()[i];
        text += entry.source + entry.replacement + u"，" + entry.source + u"。";
    }
    text += text;
    const Rewritten expected = rewriteLiterally(text, rewriter.dictionary());
    std::u16string actual;
    EXPECT_EQ(rewriter.appendRewrite(text, actual), expected.replacements);
    EXPECT_EQ(actual, expected.text);
}

TEST(ReplacementCountTest, ALongPieceCutIntoChunksCountsAsAWhole)
{
    // Without a separator the text is one piece, cut into chunks of three code units that cascade.
    const PhraseDictionary dictionary =
        PhraseDictionary::fromEntries({u"ab=ba", u"ba=c", u"cc=d", u"dc=ab"});
    std::u16string text;
    for (int i = 0; i < 200; ++i)
        text += i % 3 == 0 ? u"abab" : u"cab";
    const Rewritten expected = rewriteLiterally(text, dictionary);
    std::u16string actual;
    EXPECT_EQ(TextRewriter(dictionary, PhraseAutomaton(dictionary), text, 3).appendTo(actual),
              expected.replacements);
    EXPECT_EQ(actual, expected.text);
    EXPECT_GT(expected.replacements, 200u);
}

TEST(KeptStretchTest, KeptStretchesStayAndTheTextBetweenIsRewrittenAsAWholeText)
{
    // "ab" runs into the kept "bc" and must not match there: the "a" before it ends a text.
    const PhraseRewriter rewriter(PhraseDictionary::fromEntries({u"ab=X", u"a=Y", u"c=Z"}));
    const std::u16string text = u"abcab，ab";
    const std::vector<TextSpan> kept = {{1, 3}, {7, 8}};
    std::u16string out = u">";
    EXPECT_EQ(rewriter.appendRewrite(text, out, kept), 3u);
    EXPECT_EQ(out, u">YbcX，Yb");
}

TEST(KeptStretchTest, EachGapMatchesItsOwnLiteralRewrite)
{
    for (std::uint64_t seed = firstSeed; seed < firstSeed + 3000; ++seed) {
        CaseMaker maker(seed);
        const PhraseRewriter rewriter(PhraseDictionary::fromEntries(maker.dictionaryEntries()));
        const std::u16string text = maker.text(rewriter.dictionary(), 30);
        std::vector<TextSpan> kept;
        Rewritten expected;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t gapEnd = std::min(text.size(), at + std::size_t(maker.number(0, 12)));
            const std::size_t keptEnd =
                std::min(text.size(), gapEnd + std::size_t(maker.number(0, 3)));
            const Rewritten gap = rewriteLiterally(
                std::u16string_view(text).substr(at, gapEnd - at), rewriter.dictionary());
            expected.text += gap.text + text.substr(gapEnd, keptEnd - gapEnd);
            expected.replacements += gap.replacements;
            kept.push_back({gapEnd, keptEnd});
            at = keptEnd;
        }
        std::u16string actual;
        ASSERT_EQ(rewriter.appendRewrite(text, actual, kept), expected.replacements)
            << "seed " << seed << ", text " << shown(text);
        ASSERT_EQ(actual, expected.text) << "seed " << seed << ", text " << shown(text);
    }
}
