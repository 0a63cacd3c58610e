#include "ProtectedRewrite.h"

#include <algorithm>

namespace pexa {

ProtectedTerms::ProtectedTerms(const std::vector<std::u16string>& terms) : m_automaton(terms) {}

std::vector<TextSpan> ProtectedTerms::coveredSpans(std::u16string_view text) const
{
    // Occurrences are found by where they end; one that reaches back over earlier stretches
    // swallows them.
    std::vector<TextSpan> spans;
    if (m_automaton.empty())
        return spans; // the usual case: no terms, and no pass over the text for them
    m_automaton.forEachLongestEnding(text, [&](std::size_t end, std::size_t length) {
        std::size_t begin = end - length;
        while (!spans.empty() && begin <= spans.back().end) {
            begin = std::min(begin, spans.back().begin);
            spans.pop_back();
        }
        spans.push_back({begin, end});
    });
    return spans;
}

ProtectedRewrite rewriteProtected(std::u16string_view text, const PhraseRewriter& rewriter,
                                  const ProtectedTerms& terms)
{
    ProtectedRewrite rewrite;
    rewrite.replacements = rewriter.appendRewrite(text, rewrite.text, terms.coveredSpans(text));
    return rewrite;
}

} // namespace pexa
