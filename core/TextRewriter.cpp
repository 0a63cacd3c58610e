#include "TextRewriter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>

namespace pexa {

namespace {

// FNV-1a, extended one code unit at a time while the text is read.
constexpr std::uint32_t emptyHash = 2166136261u;

std::uint32_t extendHash(std::uint32_t hash, char16_t unit)
{
    return (hash ^ unit) * 16777619u;
}

} // namespace

TextRewriter::TextRewriter(const PhraseDictionary& dictionary, const PhraseAutomaton& automaton,
                           std::u16string_view text)
    : m_dictionary(dictionary), m_automaton(automaton), m_text(text),
      m_rewritten(std::bit_ceil(std::max<std::size_t>(64, text.size() / 8)))
{
}

void TextRewriter::appendTo(std::u16string& out)
{
    out.reserve(out.size() + m_text.size());
    std::size_t copiedUpTo = 0; // text before this is in `out`
    std::size_t pieceStart = 0;
    std::uint32_t hash = emptyHash;
    for (std::size_t position = 0; position <= m_text.size(); ++position) {
        if (position < m_text.size() && m_automaton.classOf(m_text[position]) != 0) {
            hash = extendHash(hash, m_text[position]);
            continue;
        }
        if (position > pieceStart) {
            out.append(m_text.substr(copiedUpTo, pieceStart - copiedUpTo));
            rewritePiece(pieceStart, position, hash, out);
            copiedUpTo = position;
        }
        pieceStart = position + 1;
        hash = emptyHash;
    }
    out.append(m_text.substr(copiedUpTo));
}

void TextRewriter::rewritePiece(std::size_t begin, std::size_t end, std::uint32_t hash,
                                std::u16string& out)
{
    const std::u16string_view piece = m_text.substr(begin, end - begin);
    if (const RewrittenPiece* known = find(piece, hash)) {
        out.append(out, known->resultBegin, known->resultLength);
        return;
    }
    const std::size_t resultBegin = out.size();
    if (noteMatchesOfPiece(piece)) {
        applyPending();
        out.append(m_piece);
    } else {
        out.append(piece);
    }
    if (canRemember(end, out.size(), piece.size()))
        remember({hash, std::uint32_t(begin), std::uint32_t(resultBegin),
                  std::uint16_t(piece.size()), std::uint16_t(out.size() - resultBegin)});
}

// Runs the automaton over the piece, keeping its states; returns whether any source occurs.
bool TextRewriter::noteMatchesOfPiece(std::u16string_view piece)
{
    m_states.clear();
    bool anyMatch = false;
    State state = PhraseAutomaton::rootState;
    for (char16_t unit : piece) {
        state = m_automaton.step(state, m_automaton.classOf(unit));
        m_states.push_back(state);
        anyMatch |= m_automaton.hasMatches(state);
    }
    if (!anyMatch)
        return false;
    if (m_isPending.empty())
        m_isPending.assign(m_dictionary.size(), false);
    for (State matching : m_states)
        noteMatches(matching, -1);
    m_piece.assign(piece);
    return true;
}

void TextRewriter::applyPending()
{
    while (!m_pending.empty()) {
        std::pop_heap(m_pending.begin(), m_pending.end(), std::greater<>());
        const EntryPosition entry = m_pending.back();
        m_pending.pop_back();
        m_isPending[entry] = false;
        replaceAll(entry);
    }
}

// Notes the entries matching in this state that come after `appliedUpTo` in dictionary order.
void TextRewriter::noteMatches(State state, int appliedUpTo)
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
bool TextRewriter::replaceAll(EntryPosition entry)
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
void TextRewriter::keepUnchanged(std::size_t from, std::size_t to, EntryPosition applied)
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

void TextRewriter::insert(std::u16string_view replacement, EntryPosition applied)
{
    for (char16_t unit : replacement) {
        m_state = m_automaton.advance(m_state, unit);
        m_nextPiece.push_back(unit);
        m_nextStates.push_back(m_state);
        noteMatches(m_state, applied);
    }
}

// Pieces and results are remembered by 32-bit places and 16-bit lengths; longer ones are rare
// enough to be rewritten each time.
bool TextRewriter::canRemember(std::size_t pieceEnd, std::size_t resultEnd,
                                std::size_t pieceLength) const
{
    return pieceEnd <= UINT32_MAX && resultEnd <= UINT32_MAX && pieceLength <= UINT16_MAX &&
           m_piece.size() <= UINT16_MAX;
}

const TextRewriter::RewrittenPiece* TextRewriter::find(std::u16string_view piece,
                                                         std::uint32_t hash) const
{
    const std::size_t mask = m_rewritten.size() - 1;
    for (std::size_t slot = hash & mask; m_rewritten[slot].pieceLength != 0; slot = (slot + 1) & mask) {
        const RewrittenPiece& known = m_rewritten[slot];
        if (known.hash == hash && m_text.substr(known.pieceBegin, known.pieceLength) == piece)
            return &known;
    }
    return nullptr;
}

void TextRewriter::remember(const RewrittenPiece& piece)
{
    if (2 * (m_rewrittenCount + 1) > m_rewritten.size()) {
        std::vector<RewrittenPiece> old(std::max<std::size_t>(64, 2 * m_rewritten.size()));
        old.swap(m_rewritten);
        m_rewrittenCount = 0;
        for (const RewrittenPiece& known : old)
            if (known.pieceLength != 0)
                remember(known);
    }
    const std::size_t mask = m_rewritten.size() - 1;
    std::size_t slot = piece.hash & mask;
    while (m_rewritten[slot].pieceLength != 0)
        slot = (slot + 1) & mask;
    m_rewritten[slot] = piece;
    ++m_rewrittenCount;
}

} // namespace pexa
