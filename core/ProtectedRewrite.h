#pragma once

#include "PhraseSubstitution.h"
#include "TermAutomaton.h"
#include "TextSpan.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pexa {

// Terms that the dictionary must leave exactly as they are: product names, SEO keywords, people's
// names. Empty terms are ignored.
class ProtectedTerms
{
public:
    ProtectedTerms() = default;
    explicit ProtectedTerms(const std::vector<std::u16string>& terms);

    bool empty() const { return m_automaton.empty(); }
    // Whether some term holds the code unit: `anyTermHolds(u'\n')` tells whether a term can cross a
    // line break.
    bool anyTermHolds(char16_t unit) const { return m_automaton.anyTermHolds(unit); }

    // The stretches of `text` covered by some occurrence of some term, in text order. Overlapping
    // or touching occurrences make one stretch: with terms "ab" and "bc", "xabcx" gives [1, 4).
    std::vector<TextSpan> coveredSpans(std::u16string_view text) const;

private:
    TermAutomaton m_automaton;
};

struct ProtectedRewrite
{
    std::u16string text;
    std::size_t replacements = 0; // as PhraseRewriter::appendRewrite counts them
};

// The rewrite with protected terms: every stretch covered by a term is kept verbatim and each
// stretch between them is rewritten on its own, exactly as rewriter.rewrite would rewrite it as a
// whole text. So no entry can change a character of a term, whether its source lies inside the term
// or crosses the term's edge. With no occurrence in the text, the result is rewriter.rewrite(text).
ProtectedRewrite rewriteProtected(std::u16string_view text, const PhraseRewriter& rewriter,
                                  const ProtectedTerms& terms);

} // namespace pexa
