#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "PhraseAutomaton.h"
#include "PhraseDictionary.h"

namespace pexa {

// The reference rewrite: each entry in dictionary order, as a replace-all over the whole text.
// Slow (one scan per entry) but obviously right; faster engines are checked against it.
std::u16string applyDictionaryLiterally(std::u16string_view text,
                                        const PhraseDictionary& dictionary);

// Rewrites texts with one dictionary; built once, then used for every press of the button.
//
// Gives exactly what applyDictionaryLiterally gives, in about one pass over the text (see
// TextRewriter for how).
class PhraseRewriter
{
public:
    explicit PhraseRewriter(PhraseDictionary dictionary);

    // Every entry applied in dictionary order, as a replace-all over the whole text.
    std::u16string rewrite(std::u16string_view text) const;

    // Appends the rewrite of `text` to `out`: for callers that rewrite many short stretches of one
    // text into one result, without a string per stretch. `text` must not lie inside `out`.
    void appendRewrite(std::u16string_view text, std::u16string& out) const;

    const PhraseDictionary& dictionary() const { return m_dictionary; }

private:
    PhraseDictionary m_dictionary;
    PhraseAutomaton m_automaton;
};

// The "开始伪原创" command: nullopt when the input is missing (empty, or still holding the input
// marker anywhere), otherwise the rewritten text.
std::optional<std::u16string> rewriteArticle(std::u16string_view input,
                                             const PhraseRewriter& rewriter);

} // namespace pexa
