#pragma once

#include "PhraseSubstitution.h"
#include "TermAutomaton.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pexa {

// A stretch of text by code-unit offsets: [begin, end).
struct TextSpan
{
    std::size_t begin;
    std::size_t end;

    friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

// Terms that the dictionary must leave exactly as they are: product names, SEO keywords, people's
// names. Empty terms are ignored.
class ProtectedTerms
{
public:
    ProtectedTerms() = default;
    explicit ProtectedTerms(const std::vector<std::u16string>& terms);

    bool empty() const { return m_terms.empty(); }
    // The distinct terms, longest first.
    const std::vector<std::u16string>& terms() const { return m_terms; }

    // The stretches of `text` covered by some occurrence of some term, in text order. Overlapping
    // or touching occurrences make one stretch: with terms "ab" and "bc", "xabcx" gives [1, 4).
    std::vector<TextSpan> coveredSpans(std::u16string_view text) const;

private:
    std::vector<std::u16string> m_terms; // longest first
    TermAutomaton m_automaton;
};

// The rewrite with protected terms: every stretch covered by a term is kept verbatim and each
// stretch between them is rewritten on its own, exactly as rewriter.rewrite would rewrite it as a
// whole text. So no entry can change a character of a term, whether its source lies inside the term
// or crosses the term's edge. With no occurrence in the text, the result is rewriter.rewrite(text).
std::u16string rewriteProtected(std::u16string_view text, const PhraseRewriter& rewriter,
                                const ProtectedTerms& terms);

// The pieces of `text` outside `covered` (the spans of ProtectedTerms::coveredSpans), in order; one
// piece more than there are spans, some possibly empty.
std::vector<std::u16string_view> gapsBetween(std::u16string_view text,
                                             const std::vector<TextSpan>& covered);

} // namespace pexa
