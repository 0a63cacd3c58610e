#pragma once

#include "PhraseAutomaton.h"
#include "PhraseDictionary.h"
#include "TextSpan.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pexa {

// The reference rewrite: each entry in dictionary order, as a replace-all over the whole text.
// Slow (one scan per entry) but obviously right; faster engines are checked against it.
std::u16string applyDictionaryLiterally(std::u16string_view text,
                                        const PhraseDictionary& dictionary);

// The reference rewrite in place; returns how many occurrences the replace-alls replaced, summed.
std::size_t applyDictionaryLiterallyInPlace(std::u16string& text,
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

    // Appends the rewrite of `text` to `out` and returns how many replacements it made, counted
    // as the literal rewrite makes them: each entry's replace-all adds the occurrences it replaces,
    // so a phrase that one entry changes and a later entry changes again counts twice. The
    // stretches in `kept` (in text order, not overlapping) stay as they are, and the text between
    // two of them is rewritten as if it were a whole text of its own. `text` must not lie inside
    // `out`.
    std::size_t appendRewrite(std::u16string_view text, std::u16string& out,
                              std::span<const TextSpan> kept = {}) const;

    const PhraseDictionary& dictionary() const { return m_dictionary; }
    const PhraseAutomaton& automaton() const { return m_automaton; }

private:
    PhraseDictionary m_dictionary;
    PhraseAutomaton m_automaton;
};

// The "开始伪原创" command: nullopt when the input is missing (empty, or still holding the input
// marker anywhere), otherwise the rewritten text.
std::optional<std::u16string> rewriteArticle(std::u16string_view input,
                                             const PhraseRewriter& rewriter);

} // namespace pexa
