#include "PhraseSubstitution.h"

#include "BuiltinIndex.h"
#include "Placeholders.h"
#include "TextOps.h"
#include "TextRewriter.h"

namespace pexa {

std::u16string applyDictionaryLiterally(std::u16string_view text,
                                        const PhraseDictionary& dictionary)
{
    std::u16string working(text);
    applyDictionaryLiterallyInPlace(working, dictionary);
    return working;
}

std::size_t applyDictionaryLiterallyInPlace(std::u16string& text,
                                            const PhraseDictionary& dictionary)
{
    std::size_t replacements = 0;
    for (const PhraseEntry& entry : dictionary.entries())
        replacements += text::replaceAllInPlace(text, entry.source, entry.replacement);
    return replacements;
}

PhraseRewriter::PhraseRewriter(PhraseDictionary dictionary)
    : m_dictionary(std::move(dictionary)), m_automaton(automatonFor(m_dictionary))
{
}

std::u16string PhraseRewriter::rewrite(std::u16string_view text) const
{
    std::u16string rewritten;
    appendRewrite(text, rewritten);
    return rewritten;
}

std::size_t PhraseRewriter::appendRewrite(std::u16string_view text, std::u16string& out,
                                          std::span<const TextSpan> kept) const
{
    return TextRewriter(m_dictionary, m_automaton, text).appendTo(out, kept);
}

std::optional<std::u16string> rewriteArticle(std::u16string_view input,
                                             const PhraseRewriter& rewriter)
{
    if (input.empty() || text::contains(input, placeholders::inputMarker))
        return std::nullopt;
    return rewriter.rewrite(input);
}

} // namespace pexa
