#include "PieceRewriter.h"

#include <algorithm>
#include <functional>

namespace pexa {

namespace {

std::uint64_t hashOf(std::u16string_view piece)
{
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (char16_t unit : piece)
        hash = (hash ^ unit) * 1099511628211ull;
    return hash;
}

} // namespace

PieceRewriter::PieceRewriter(const PhraseDictionary& dictionary, const PhraseAutomaton& automaton)
    : m_dictionary(dictionary), m_automaton(automaton)
{
}

void PieceRewriter::rewrite(std::u16string_view piece, std::u16string& out)
{
    bool added = false;
    RewrittenPiece& known = findOrAdd(piece, added);
    if (!added) {
        out.append(out, known.result.begin, known.result.end - known.result.begin);
        return;
    }
    known.result.begin = out.size();
    applyDictionary(piece);
    out.append(m_piece);
    known.result.end = out.size();
}

void PieceRewriter::applyDictionary(std::u16string_view piece)
{
    if (m_isPending.empty())
        m_isPending.assign(m_dictionary.size(), false);
    m_piece.assign(piece);
    m_states.clear();
    State state = PhraseAutomaton::rootState;
    for (char16_t unit : piece) {
        state = m_automaton.advance(state, unit);
        m_states.push_back(state);
        noteMatches(state, -1);
    }
    while (!m_pending.empty()) {
        std::pop_heap(m_pending.begin(), m_pending.end(), std::greater<>());
        const EntryPosition entry = m_pending.back();
        m_pending.pop_back();
        m_isPending[entry] = false;
        replaceAll(entry);
    }
}

// Notes the entries matching in this state that come after `appliedUpTo` in dictionary order.
void PieceRewriter::noteMatches(State state, int appliedUpTo)
{
    m_automaton.forEachMatch(state, [&](EntryPosition entry) {
        if (entry <= appliedUpTo || m_isPending[entry])
            return;
        m_isPending[entry] = true;
        m_pending.push_back(entry);
        std::push_heap(m_pending.begin(), m_pending.end(), std::greater<>());
    });
}

// The literal replace-all: leftmost occurrences first, inserted text not searched again. Returns
// false when the source does not occur.
bool PieceRewriter::replaceAll(EntryPosition entry)
{
    const std::u16string_view source = m_dictionary[entry].source;
    const std::u16string_view text = m_piece;
    std::size_t hit = text.find(source);
    if (hit == std::u16string_view::npos)
        return false;
    m_nextPiece.clear();
    m_nextStates.clear();
    m_state = PhraseAutomaton::rootState;
    m_inStep = true;
    std::size_t keptUpTo = 0;
    for (; hit != std::u16string_view::npos; hit = text.find(source, keptUpTo)) {
        keepUnchanged(keptUpTo, hit, entry);
        insert(m_dictionary[entry].replacement, entry);
        keptUpTo = hit + source.size();
        // After the replacement the states agree again once they agree before the same unit.
        m_inStep = m_state == (keptUpTo == 0 ? PhraseAutomaton::rootState : m_states[keptUpTo - 1]);
    }
    keepUnchanged(keptUpTo, text.size(), entry);
    m_piece.swap(m_nextPiece);
    m_states.swap(m_nextStates);
    return true;
}

// Appends the old piece's [from, to). Runs the automaton until its state is back in step with the
// old one; from there on the old states, and so the old matches, hold.
void PieceRewriter::keepUnchanged(std::size_t from, std::size_t to, EntryPosition applied)
{
    std::size_t position = from;
    for (; position < to && !m_inStep; ++position) {
        m_state = m_automaton.advance(m_state, m_piece[position]);
        m_nextPiece.push_back(m_piece[position]);
        m_nextStates.push_back(m_state);
        noteMatches(m_state, applied);
        m_inStep = m_state == m_states[position];
    }
    if (position < to) {
        m_nextPiece.append(m_piece, position, to - position);
        m_nextStates.insert(m_nextStates.end(), m_states.begin() + std::ptrdiff_t(position),
                            m_states.begin() + std::ptrdiff_t(to));
        m_state = m_states[to - 1];
    }
}

void PieceRewriter::insert(std::u16string_view replacement, EntryPosition applied)
{
    for (char16_t unit : replacement) {
        m_state = m_automaton.advance(m_state, unit);
        m_nextPiece.push_back(unit);
        m_nextStates.push_back(m_state);
        noteMatches(m_state, applied);
    }
}

// The cache entry for the piece; `added` tells whether it is new.
PieceRewriter::RewrittenPiece& PieceRewriter::findOrAdd(std::u16string_view piece, bool& added)
{
    if (2 * (m_rewrittenCount + 1) > m_rewritten.size()) {
        std::vector<RewrittenPiece> old(std::max<std::size_t>(64, 2 * m_rewritten.size()));
        old.swap(m_rewritten);
        for (const RewrittenPiece& known : old) {
            if (known.piece.empty())
                continue;
            std::size_t slot = known.hash & (m_rewritten.size() - 1);
            while (!m_rewritten[slot].piece.empty())
                slot = (slot + 1) & (m_rewritten.size() - 1);
            m_rewritten[slot] = known;
        }
    }
    const std::uint64_t hash = hashOf(piece);
    std::size_t slot = hash & (m_rewritten.size() - 1);
    for (; !m_rewritten[slot].piece.empty(); slot = (slot + 1) & (m_rewritten.size() - 1)) {
        if (m_rewritten[slot].hash == hash && m_rewritten[slot].piece == piece) {
            added = false;
            return m_rewritten[slot];
        }
    }
    ++m_rewrittenCount;
    added = true;
    m_rewritten[slot] = {hash, piece, {0, 0}};
    return m_rewritten[slot];
}

} // namespace pexa
