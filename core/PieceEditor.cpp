#include "PieceEditor.h"

#include <algorithm>
#include <functional>

namespace pexa {

PieceEditor::PieceEditor(const PhraseDictionary& dictionary, const PhraseAutomaton& automaton)
    : m_dictionary(dictionary), m_automaton(automaton)
{
}

// Sorted and without repeats; ascending order is also a min-heap.
void PieceEditor::noteAllMatches(Piece& piece) const
{
    for (State state : piece.states)
        if (m_automaton.hasMatches(state))
            m_automaton.forEachMatch(state,
                                     [&](EntryPosition entry) { piece.pending.push_back(entry); });
    std::sort(piece.pending.begin(), piece.pending.end());
    piece.pending.erase(std::unique(piece.pending.begin(), piece.pending.end()),
                        piece.pending.end());
}

int PieceEditor::firstPending(const Piece& piece)
{
    return piece.pending.empty() ? noEntry : piece.pending.front();
}

PieceEditor::Change PieceEditor::applyFirstPending(Piece& piece)
{
    const EntryPosition entry = piece.pending.front();
    do {
        std::pop_heap(piece.pending.begin(), piece.pending.end(), std::greater<>());
        piece.pending.pop_back();
    } while (!piece.pending.empty() && piece.pending.front() == entry);
    return replaceAll(piece, entry);
}

// Notes the entries matching in this state that come after `appliedUpTo` in dictionary order.
void PieceEditor::notePending(Piece& piece, State state, int appliedUpTo) const
{
    m_automaton.forEachMatch(state, [&](EntryPosition entry) {
        if (entry > appliedUpTo)
            makePending(piece, entry);
    });
}

void PieceEditor::makePending(Piece& piece, EntryPosition entry) const
{
    piece.pending.push_back(entry);
    std::push_heap(piece.pending.begin(), piece.pending.end(), std::greater<>());
}

// The literal replace-all: leftmost occurrences first, inserted text not searched again.
PieceEditor::Change PieceEditor::replaceAll(Piece& piece, EntryPosition entry)
{
    const std::u16string_view source = m_dictionary[entry].source;
    const std::u16string_view replacement = m_dictionary[entry].replacement;
    std::size_t hit = std::u16string_view(piece.text).find(source);
    if (hit == std::u16string_view::npos)
        return {};
    const std::size_t reach = m_automaton.longestSource();
    const bool nearStart = hit < reach;
    const Replaced replaced = source.size() == replacement.size()
                                  ? overwriteAll(piece, entry, hit)
                                  : rebuildWithReplacements(piece, entry, hit);
    return {replaced.count, nearStart, replaced.lastEnd + reach > piece.text.size()};
}

// A replacement as long as its source is written over it; the states are read again from there
// until they are back in step.
PieceEditor::Replaced PieceEditor::overwriteAll(Piece& piece, EntryPosition entry, std::size_t hit)
{
    const std::u16string_view source = m_dictionary[entry].source;
    const std::u16string_view replacement = m_dictionary[entry].replacement;
    Replaced replaced;
    std::size_t& end = replaced.lastEnd;
    for (; hit != std::u16string::npos; hit = piece.text.find(source, end)) {
        ++replaced.count;
        end = hit + source.size();
        std::copy(replacement.begin(), replacement.end(), piece.text.begin() + std::ptrdiff_t(hit));
        State state = hit == 0 ? PhraseAutomaton::rootState : piece.states[hit - 1];
        for (std::size_t position = hit; position < piece.text.size(); ++position) {
            state = m_automaton.advance(state, piece.text[position]);
            if (state == piece.states[position]) {
                if (position >= end)
                    break;
                continue; // the same matches as before: those still to apply are pending
            }
            piece.states[position] = state;
            notePending(piece, state, entry);
        }
    }
    return replaced;
}

// Builds the new text with its states beside the old one. The last occurrence's end is given in
// the new text (as far from its end as in the old one).
PieceEditor::Replaced PieceEditor::rebuildWithReplacements(Piece& piece, EntryPosition entry,
                                                           std::size_t hit)
{
    const std::u16string_view source = m_dictionary[entry].source;
    const std::u16string_view text = piece.text;
    m_nextText.clear();
    m_nextStates.clear();
    m_state = PhraseAutomaton::rootState;
    m_inStep = true;
    std::size_t keptUpTo = 0;
    std::size_t count = 0;
    for (; hit != std::u16string_view::npos; hit = text.find(source, keptUpTo)) {
        ++count;
        keepUnchanged(piece, keptUpTo, hit, entry);
        insert(piece, m_dictionary[entry].replacement, entry);
        keptUpTo = hit + source.size();
        // After the replacement the states agree again once they agree before the same unit.
        m_inStep = m_state == piece.states[keptUpTo - 1];
    }
    keepUnchanged(piece, keptUpTo, text.size(), entry);
    const std::size_t lastEnd = keptUpTo + m_nextText.size() - text.size();
    piece.text.swap(m_nextText);
    piece.states.swap(m_nextStates);
    return {count, lastEnd};
}

// Appends the old text's [from, to). Runs the automaton until its state is back in step with the
// old one; from there on the old states, and so the old matches, hold.
void PieceEditor::keepUnchanged(Piece& piece, std::size_t from, std::size_t to,
                                EntryPosition applied)
{
    std::size_t position = from;
    for (; position < to && !m_inStep; ++position) {
        m_state = m_automaton.advance(m_state, piece.text[position]);
        m_nextText.push_back(piece.text[position]);
        m_nextStates.push_back(m_state);
        notePending(piece, m_state, applied);
        m_inStep = m_state == piece.states[position];
    }
    if (position < to) {
        m_nextText.append(piece.text, position, to - position);
        m_nextStates.insert(m_nextStates.end(), piece.states.begin() + std::ptrdiff_t(position),
                            piece.states.begin() + std::ptrdiff_t(to));
        m_state = piece.states[to - 1];
    }
}

void PieceEditor::insert(Piece& piece, std::u16string_view replacement, EntryPosition applied)
{
    for (char16_t unit : replacement) {
        m_state = m_automaton.advance(m_state, unit);
        m_nextText.push_back(unit);
        m_nextStates.push_back(m_state);
        notePending(piece, m_state, applied);
    }
}

// An occurrence across the join ends in the first longestSource() - 1 units of `right`; reading
// them on from the left piece's last state finds it.
bool PieceEditor::matchesAcross(const Piece& left, const Piece& right, int appliedUpTo) const
{
    const std::size_t reach = m_automaton.longestSource() - 1;
    State state = left.states.empty() ? PhraseAutomaton::rootState : left.states.back();
    bool found = false;
    for (std::size_t position = 0; position < std::min(reach, right.text.size()) && !found;
         ++position) {
        state = m_automaton.advance(state, right.text[position]);
        m_automaton.forEachMatch(state, [&](EntryPosition entry) {
            found |= entry > appliedUpTo && m_dictionary[entry].source.size() > position + 1;
        });
    }
    return found;
}

void PieceEditor::join(Piece& left, const Piece& right, int appliedUpTo) const
{
    // The right piece's states were read from its own start; they hold again from the first place
    // where reading on from the left piece is in the same state as they were.
    const auto ownStateBefore = [&](std::size_t position) {
        return position == 0 ? PhraseAutomaton::rootState : right.states[position - 1];
    };
    State state = left.states.empty() ? PhraseAutomaton::rootState : left.states.back();
    std::size_t position = 0;
    for (; position < right.text.size() && state != ownStateBefore(position); ++position) {
        state = m_automaton.advance(state, right.text[position]);
        left.text.push_back(right.text[position]);
        left.states.push_back(state);
        notePending(left, state, appliedUpTo);
    }
    left.text.append(right.text, position);
    left.states.insert(left.states.end(), right.states.begin() + std::ptrdiff_t(position),
                       right.states.end());
    for (EntryPosition entry : right.pending)
        makePending(left, entry);
}

} // namespace pexa
