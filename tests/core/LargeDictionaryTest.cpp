// The fast rewriter against the literal one on dictionaries the size a writer's own files reach:
// the built-in entries followed by 100,000 more, whose positions run past 16 bits.
#include "BuiltinDictionary.h"
#include "PhraseSubstitution.h"

#include <gtest/gtest.h>
#include <random>
#include <set>

using namespace pexa;

namespace {

constexpr std::size_t userEntryCount = 100000;

// Words over a small alphabet, so that sources overlap, cascade into each other and hide inside
// replacements, with the built-in dictionary's characters among them.
class LargeCase
{
public:
    explicit LargeCase(std::uint32_t seed) : m_random(seed) {}

    // The built-in entries, then distinct user sources; every fourth replacement is an earlier
    // or later user source, so cascades run in both directions across the 16-bit boundary.
    std::vector<PhraseEntry> entries(const PhraseDictionary& builtin)
    {
        std::vector<PhraseEntry> entries = builtin.entries();
        std::set<std::u16string> sources;
        while (sources.size() < userEntryCount)
            sources.insert(word(2, 4));
        std::vector<std::u16string> userSources(sources.begin(), sources.end());
        std::shuffle(userSources.begin(), userSources.end(), m_random);
        for (std::size_t i = 0; i < userSources.size(); ++i) {
            std::u16string replacement =
                number(4) == 0 ? userSources[number(userSources.size())] : word(0, 3);
            if (replacement == userSources[i])
                replacement += u"了";
            entries.push_back({userSources[i], replacement});
        }
        return entries;
    }

    // Sources from anywhere in the dictionary (mostly past position 65535), stray words and
    // punctuation.
    std::u16string text(const std::vector<PhraseEntry>& entries, std::size_t parts)
    {
        std::u16string text;
        for (std::size_t i = 0; i < parts; ++i) {
            switch (number(4)) {
            case 0:
                text += entries[number(entries.size())].source;
                break;
            case 1:
                text += sourcePast16Bits(entries);
                break;
            case 2:
                text += word(1, 3);
                break;
            default:
                text += u"，";
            }
        }
        return text;
    }

    // User sources run together without punctuation, as in a keyword list: one long piece, cut
    // into chunks that wait for entries past position 65535.
    std::u16string denseText(const std::vector<PhraseEntry>& entries, std::size_t words)
    {
        std::u16string text;
        for (std::size_t i = 0; i < words; ++i)
            text += sourcePast16Bits(entries);
        return text;
    }

private:
    static constexpr std::u16string_view alphabet = u"系统安全防范备大喜过望失所使用免费天地人和";

    std::size_t number(std::size_t below)
    {
        return std::uniform_int_distribution<std::size_t>(0, below - 1)(m_random);
    }

    const std::u16string& sourcePast16Bits(const std::vector<PhraseEntry>& entries)
    {
        return entries[entries.size() - 1 - number(entries.size() - 65536)].source;
    }

    std::u16string word(std::size_t minLength, std::size_t maxLength)
    {
        std::u16string word;
        const std::size_t length = minLength + number(maxLength - minLength + 1);
        for (std::size_t i = 0; i < length; ++i)
            word += alphabet[number(alphabet.size())];
        return word;
    }

    std::mt19937 m_random;
};

} // namespace

TEST(LargeDictionaryTest, HundredThousandUserEntriesAfterTheBuiltinOnesMatchTheLiteralRewrite)
{
    LargeCase maker(20261212);
    const PhraseDictionary builtin = loadBuiltinDictionary();
    const std::vector<PhraseEntry> entries = maker.entries(builtin);
    const PhraseRewriter rewriter(PhraseDictionary::fromPairs(entries));
    ASSERT_EQ(rewriter.dictionary().size(), builtin.size() + userEntryCount);
    // Three texts of words and punctuation, then one keyword list.
    for (int i = 0; i < 4; ++i) {
        const std::u16string text =
            i < 3 ? maker.text(entries, 600) : maker.denseText(entries, 600);
        std::u16string expected(text);
        const std::size_t expectedReplacements =
            applyDictionaryLiterallyInPlace(expected, rewriter.dictionary());
        std::u16string actual;
        EXPECT_EQ(rewriter.appendRewrite(text, actual), expectedReplacements) << "text " << i;
        EXPECT_EQ(actual, expected) << "text " << i;
        EXPECT_GT(expectedReplacements, 100u);
    }
}
