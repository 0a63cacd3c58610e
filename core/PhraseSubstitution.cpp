#include "PhraseSubstitution.h"

#include "TextRewriter.h"
#include "Placeholders.h"
#include "TextOps.h"

namespace pexa {

std::u16string applyDictionaryLiterally(std::u16string_view text,
                                        const PhraseDictionary& dictionary)
{
    std::u16string working(text);
    for (const PhraseEntry& entry : dictionary.entries())
        text::replaceAllInPlace(working, entry.source, entry.replacement);
    return working;
}

PhraseRewriter::PhraseRewriter(PhraseDictionary dictionary)
    : m_dictionary(std::move(dictionary)), m_automaton(m_dictionary)
{
}

std::u16string PhraseRewriter::rewrite(std::u16string_view text) const
{
    std::u16string rewritten;
    appendRewrite(text, rewritten);
    return rewritten;
}

void PhraseRewriter::appendRewrite(std::u16string_view text, std::u16string& out) const
{
    TextRewriter(m_dictionary, m_automaton, text).appendTo(out);
}

std::optional<std::u16string> rewriteArticle(std::u16string_view input,
                                             const PhraseRewriter& rewriter)
{
    if (input.empty() || text::contains(input, placeholders::inputMarker))
        return std::nullopt;
    return rewriter.rewrite(input);
}

} // namespace pexa
