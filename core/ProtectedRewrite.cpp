#include "ProtectedRewrite.h"

#include <algorithm>
#include <unordered_set>

namespace pexa {

namespace {

// The distinct non-empty terms, longest first.
std::vector<std::u16string> distinctTerms(const std::vector<std::u16string>& terms)
{
    std::vector<std::u16string> distinct;
    std::unordered_set<std::u16string_view> seen;
    for (const std::u16string& term : terms)
        if (!term.empty() && seen.insert(term).second)
            distinct.push_back(term);
    std::stable_sort(distinct.begin(), distinct.end(),
                     [](const auto& a, const auto& b) { return a.size() > b.size(); });
    return distinct;
}

} // namespace

ProtectedTerms::ProtectedTerms(const std::vector<std::u16string>& terms)
    : m_terms(distinctTerms(terms)), m_automaton(m_terms)
{
}

std::vector<TextSpan> ProtectedTerms::coveredSpans(std::u16string_view text) const
{
    // Occurrences are found by where they end; one that reaches back over earlier stretches
    // swallows them.
    std::vector<TextSpan> spans;
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
