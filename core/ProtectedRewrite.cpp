#include "ProtectedRewrite.h"

#include <algorithm>

namespace pexa {

ProtectedTerms::ProtectedTerms(const std::vector<std::u16string>& terms) : m_startsTerm(0x10000)
{
    for (const std::u16string& term : terms) {
        if (term.empty() || std::find(m_terms.begin(), m_terms.end(), term) != m_terms.end())
            continue;
        m_terms.push_back(term);
        m_startsTerm[term.front()] = true;
    }
    std::stable_sort(m_terms.begin(), m_terms.end(),
                     [](const auto& a, const auto& b) { return a.size() > b.size(); });
}

std::size_t ProtectedTerms::longestTermAt(std::u16string_view text, std::size_t at) const
{
    const std::u16string_view rest = text.substr(at);
    for (const std::u16string& term : m_terms) {
        if (rest.starts_with(term))
            return term.size();
    }
    return 0;
}

std::vector<TextSpan> ProtectedTerms::coveredSpans(std::u16string_view text) const
{
    std::vector<TextSpan> spans;
    if (m_terms.empty())
        return spans;
    // Every position is tried, also inside a covered stretch, so that an occurrence overlapping
    // another one widens the stretch instead of being lost.
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!m_startsTerm[text[at]])
            continue;
        const std::size_t length = longestTermAt(text, at);
        if (length == 0)
            continue;
        if (!spans.empty() && at <= spans.back().end)
            spans.back().end = std::max(spans.back().end, at + length);
        else
            spans.push_back({at, at + length});
    }
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
