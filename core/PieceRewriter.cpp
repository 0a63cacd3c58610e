#include "PieceRewriter.h"

#include <algorithm>
#include <functional>

namespace pexa {

PieceRewriter::PieceRewriter(const PhraseDictionary& dictionary, const PhraseAutomaton& automaton)
    : m_dictionary(dictionary), m_automaton(automaton)
{
}

void PieceRewriter::rewrite(std::u16string_view piece, std::u16string& out)
{
    m_piece.assign(piece);
    std::make_heap(m_pending.begin(), m_pending.end(), std::greater<>());
    int lastApplied = -1;
    while (!m_pending.empty()) {
        const EntryPosition entry = takeFirstPending();
        if (entry <= lastApplied)
            continue; // noted more than once
        lastApplied = entry;
        if (replaceAll(entry))
            noteMatchesAroundReplacements(entry);
    }
    out.append(m_piece);
}

PieceRewriter::EntryPosition PieceRewriter::takeFirstPending()
{
    std::pop_heap(m_pending.begin(), m_pending.end(), std::greater<>());
    const EntryPosition entry = m_pending.back();
    m_pending.pop_back();
    return entry;
}

// The literal replace-all (leftmost occurrences first, inserted text not searched again), also
// recording where each replacement landed. Returns false when the source does not occur.
bool PieceRewriter::replaceAll(EntryPosition entry)
{
    const std::u16string_view source = m_dictionary[entry].source;
    const std::u16string_view replacement = m_dictionary[entry].replacement;
    const std::u16string_view text = m_piece;
    std::size_t hit = text.find(source);
    if (hit == std::u16string_view::npos)
        return false;
    m_spare.clear();
    m_replaced.clear();
    std::size_t copiedUpTo = 0;
    for (; hit != std::u16string_view::npos; hit = text.find(source, copiedUpTo)) {
        m_spare.append(text.substr(copiedUpTo, hit - copiedUpTo));
        m_replaced.push_back({m_spare.size(), m_spare.size() + replacement.size()});
        m_spare.append(replacement);
        copiedUpTo = hit + source.size();
    }
    m_spare.append(text.substr(copiedUpTo));
    m_piece.swap(m_spare);
    return true;
}

// A new occurrence overlaps a replacement (or, for an empty replacement, spans the place where the
// source was), so it lies within the longest source's length minus one on either side. Windows that
// touch are scanned as one.
void PieceRewriter::noteMatchesAroundReplacements(EntryPosition applied)
{
    const std::size_t reach = m_automaton.longestSource() - 1;
    const auto windowStart = [&](const Span& span) { return span.begin - std::min(reach, span.begin); };
    const auto windowEnd = [&](const Span& span) { return std::min(m_piece.size(), span.end + reach); };

    for (auto span = m_replaced.begin(); span != m_replaced.end();) {
        const std::size_t start = windowStart(*span);
        std::size_t end = windowEnd(*span);
        while (++span != m_replaced.end() && windowStart(*span) <= end)
            end = windowEnd(*span);
        PhraseAutomaton::State state = PhraseAutomaton::rootState;
        for (std::size_t position = start; position < end; ++position) {
            state = m_automaton.advance(state, m_piece[position]);
            m_automaton.forEachMatch(state, [&](EntryPosition entry) {
                if (entry > applied) {
                    m_pending.push_back(entry);
                    std::push_heap(m_pending.begin(), m_pending.end(), std::greater<>());
                }
            });
        }
    }
}

} // namespace pexa
