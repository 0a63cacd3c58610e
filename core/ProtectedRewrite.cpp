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

std::vector<std::u16string_view> gapsBetween(std::u16string_view text,
                                             const std::vector<TextSpan>& covered)
{
    std::vector<std::u16string_view> gaps;
    gaps.reserve(covered.size() + 1);
    std::size_t gapStart = 0;
    for (const TextSpan& span : covered) {
        gaps.push_back(text.substr(gapStart, span.begin - gapStart));
        gapStart = span.end;
    }
    gaps.push_back(text.substr(gapStart));
    return gaps;
}

std::u16string rewriteProtected(std::u16string_view text, const PhraseRewriter& rewriter,
                                const ProtectedTerms& terms)
{
    const std::vector<TextSpan> covered = terms.coveredSpans(text);
    if (covered.empty())
        return rewriter.rewrite(text);
    const std::vector<std::u16string_view> gaps = gapsBetween(text, covered);
    std::u16string result;
    result.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < covered.size(); ++i) {
        rewriter.appendRewrite(gaps[i], result);
        result += text.substr(covered[i].begin, covered[i].end - covered[i].begin);
    }
    rewriter.appendRewrite(gaps.back(), result);
    return result;
}

} // namespace pexa
