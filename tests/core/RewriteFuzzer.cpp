// libFuzzer target: the fast rewriter against the literal reference (the text and the count of
// replacements) on dictionaries and texts made from the fuzzer's bytes, as the program uses it and
// with long pieces cut into tiny chunks. Built and run by scripts/fuzz.sh (Clang only).
//
// Each byte is one symbol: a code unit of a small alphabet (so sources overlap and cascade), the
// "=" of an entry, or the end of a record. The records before the last are the dictionary's
// entries; the last is the text. The text is tried as it is, and as a keyword list: the sources its
// symbols pick, run together.

#include "PhraseSubstitution.h"
#include "TextOps.h"
#include "TextRewriter.h"
#include "Utf8.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::u16string_view alphabet = u"abcd防范，\n=";
constexpr std::size_t endOfRecord = alphabet.size();
constexpr std::size_t maxTextLength = 4096;

std::vector<std::u16string> records(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::u16string> records(1);
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t symbol = data[i] % (alphabet.size() + 1);
        if (symbol == endOfRecord)
            records.emplace_back();
        else
            records.back() += alphabet[symbol];
    }
    return records;
}

// Entries like "a=aa" double the text each; a few dozen of them make a text no run can finish.
bool staysSmall(std::u16string text, const pexa::PhraseDictionary& dictionary)
{
    for (const pexa::PhraseEntry& entry : dictionary.entries()) {
        pexa::text::replaceAllInPlace(text, entry.source, entry.replacement);
        if (text.size() > maxTextLength)
            return false;
    }
    return true;
}

struct Rewritten
{
    std::u16string text;
    std::size_t replacements = 0;
};

void expectSame(std::u16string_view text, const Rewritten& literal, const Rewritten& fast)
{
    if (fast.text == literal.text && fast.replacements == literal.replacements)
        return;
    std::fprintf(stderr, "text: %s\nliteral: %s, %zu replacements\nfast: %s, %zu replacements\n",
                 pexa::utf8::encode(text).c_str(), pexa::utf8::encode(literal.text).c_str(),
                 literal.replacements, pexa::utf8::encode(fast.text).c_str(), fast.replacements);
    std::abort();
}

// One source for each symbol of the text, without anything between them.
std::u16string denseText(std::u16string_view text, const pexa::PhraseDictionary& dictionary)
{
    std::u16string dense;
    if (dictionary.size() == 0)
        return dense;
    for (char16_t symbol : text)
        dense += dictionary[symbol % dictionary.size()].source;
    return dense;
}

// The fast rewrite as the program runs it and with chunks of `chunkLength` code units, against the
// literal one.
void compare(std::u16string_view text, const pexa::PhraseRewriter& rewriter,
             const pexa::PhraseAutomaton& automaton, std::size_t chunkLength)
{
    if (!staysSmall(std::u16string(text), rewriter.dictionary()))
        return;
    Rewritten literal{std::u16string(text)};
    literal.replacements =
        pexa::applyDictionaryLiterallyInPlace(literal.text, rewriter.dictionary());
    Rewritten fast;
    fast.replacements = rewriter.appendRewrite(text, fast.text);
    expectSame(text, literal, fast);

    Rewritten chunked;
    chunked.replacements = pexa::TextRewriter(rewriter.dictionary(), automaton, text, chunkLength)
                               .appendTo(chunked.text);
    expectSame(text, literal, chunked);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::u16string> entries = records(data, size);
    const std::u16string text = entries.back();
    entries.pop_back();
    if (entries.size() > 64)
        return 0;
    for (const std::u16string& entry : entries)
        if (entry.find(u'=') == std::u16string::npos)
            return 0; // not an entry: the dictionary refuses it
    const pexa::PhraseRewriter rewriter(pexa::PhraseDictionary::fromEntries(entries));
    // Chunks of a few code units, so that chunks join often.
    const pexa::PhraseAutomaton automaton(rewriter.dictionary());
    const std::size_t chunkLength = 1 + size % 7;
    compare(text, rewriter, automaton, chunkLength);
    compare(denseText(text, rewriter.dictionary()), rewriter, automaton, chunkLength);
    return 0;
}
