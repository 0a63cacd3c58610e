#pragma once

// Random dictionaries and texts for checking rewrites against the literal one. Each case is made
// from its own seed, so a failure names the seed and replays alone.

#include "PhraseDictionary.h"
#include "Utf8.h"

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace pexa::cases {

inline std::uint64_t environmentNumber(const char* name, std::uint64_t fallback)
{
    const char* value = std::getenv(name);
    return value ? std::strtoull(value, nullptr, 10) : fallback;
}

inline const std::uint64_t firstSeed = environmentNumber("PEXA_DIFFERENTIAL_SEED", 20261207);

// Random dictionaries and texts over a handful of code units, so that sources overlap, cascade and
// reappear across the edges of replacements far more often than in prose.
class CaseMaker
{
public:
    explicit CaseMaker(std::uint64_t seed) : m_random(seed) {}

    std::vector<std::u16string> dictionaryEntries()
    {
        std::vector<std::u16string> entries;
        std::vector<PhraseEntry> reversePairs; // to be added now or later
        PhraseEntry previous;
        const int count = number(0, 10);
        for (int i = 0; i < count; ++i) {
            PhraseEntry entry{chance(8) ? u"" : word(1, 4), chance(6) ? u"" : word(1, 5)};
            if (i > 0 && chance(3))
                shapeAfter(previous, entry);
            entries.push_back(entry.source + u"=" + entry.replacement + (chance(20) ? u"=x" : u""));
            if (chance(5))
                reversePairs.push_back({entry.replacement, entry.source});
            if (!reversePairs.empty() && chance(3)) {
                entries.push_back(reversePairs.back().source + u"=" +
                                  reversePairs.back().replacement);
                reversePairs.pop_back();
            }
            previous = entry;
        }
        return entries;
    }

    // Words and fragments of the dictionary, separators and stray code units.
    std::u16string text(const PhraseDictionary& dictionary, int maxParts)
    {
        std::u16string text;
        const int parts = number(0, maxParts);
        for (int i = 0; i < parts; ++i) {
            const int kind = number(0, 5);
            if (kind <= 2 && dictionary.size() > 0) {
                const PhraseEntry& entry =
                    dictionary[std::size_t(number(0, int(dictionary.size()) - 1))];
                const std::u16string& phrase = kind == 0 ? entry.replacement : entry.source;
                text += kind == 2 ? fragment(phrase) : phrase;
            } else if (kind == 3) {
                text += separators[std::size_t(number(0, int(separators.size()) - 1))];
            } else {
                text += word(1, 3);
            }
        }
        return text;
    }

    // Sources of the dictionary run together, without separators or other text, as in a keyword
    // list: every place lies inside some source, so the text is one long piece.
    std::u16string denseText(const PhraseDictionary& dictionary, int maxWords)
    {
        std::u16string text;
        if (dictionary.size() == 0)
            return text;
        const int words = number(0, maxWords);
        for (int i = 0; i < words; ++i)
            text += dictionary[std::size_t(number(0, int(dictionary.size()) - 1))].source;
        return text;
    }

    int number(int low, int high)
    {
        return std::uniform_int_distribution<int>(low, high)(m_random);
    }
    bool chance(int oneIn) { return number(1, oneIn) == 1; }

private:
    static constexpr std::u16string_view units = u"abcd防范";
    static constexpr std::u16string_view separators = u"，。\n ";

    std::u16string word(int minLength, int maxLength)
    {
        std::u16string word;
        const int length = number(minLength, maxLength);
        for (int i = 0; i < length; ++i)
            word += chance(12) ? separators[std::size_t(number(0, int(separators.size()) - 1))]
                               : units[std::size_t(number(0, int(units.size()) - 1))];
        return word;
    }

    std::u16string fragment(const std::u16string& phrase)
    {
        if (phrase.empty())
            return phrase;
        const std::size_t start = std::size_t(number(0, int(phrase.size()) - 1));
        return phrase.substr(start, std::size_t(number(1, int(phrase.size() - start))));
    }

    // Cascades (source = the previous replacement), sources inside the previous replacement,
    // sources that contain the previous source, and replacements that hold part of the previous
    // source.
    void shapeAfter(const PhraseEntry& previous, PhraseEntry& entry)
    {
        switch (number(0, 3)) {
        case 0:
            entry.source = previous.replacement;
            break;
        case 1:
            entry.source = fragment(previous.replacement);
            break;
        case 2:
            entry.source = previous.source + word(1, 2);
            break;
        default:
            entry.replacement += fragment(previous.source);
            break;
        }
    }

    std::mt19937_64 m_random;
};

inline std::string shown(std::u16string_view text)
{
    std::string quoted(1, '"');
    quoted += utf8::encode(text);
    quoted += '"';
    return quoted;
}

} // namespace pexa::cases
