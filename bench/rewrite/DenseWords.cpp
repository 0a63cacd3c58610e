// Writes the dense benchmark text: dictionary words run together without punctuation or line
// breaks, as in a keyword list, so that every place of the text lies inside some source and no
// separator cuts it. Every source of the built-in dictionary, concatenated in a seeded random order
// and over again, up to 1 MB of UTF-8. Usage: pexa_bench_dense OUTPUT_FILE
//
// The shuffle is written out (not std::shuffle) so that every build gives the same text.

#include "BuiltinDictionary.h"
#include "Utf8.h"

#include <cstddef>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t textBytes = 1024 * 1024;

// Replacements are left out: many hold characters that are in no source, which would cut the text.
std::vector<std::u16string_view> sourcesOf(const pexa::PhraseDictionary& dictionary)
{
    std::vector<std::u16string_view> sources;
    for (const pexa::PhraseEntry& entry : dictionary.entries())
        if (!entry.source.empty())
            sources.push_back(entry.source);
    return sources;
}

// Whole words in shuffled rounds until the next one would not fit.
std::string denseWords(const pexa::PhraseDictionary& dictionary)
{
    std::vector<std::u16string_view> words = sourcesOf(dictionary);
    std::mt19937 random(14);
    std::string text;
    for (;;) {
        for (std::size_t i = words.size() - 1; i > 0; --i)
            std::swap(words[i], words[random() % (i + 1)]);
        for (std::u16string_view word : words) {
            const std::string bytes = pexa::utf8::encode(word);
            if (text.size() + bytes.size() > textBytes)
                return text;
            text += bytes;
        }
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: pexa_bench_dense OUTPUT_FILE\n";
        return 2;
    }
    std::ofstream(argv[1], std::ios::binary) << denseWords(pexa::loadBuiltinDictionary());
    return 0;
}
