#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "PhraseAutomaton.h"
#include "PhraseDictionary.h"

namespace pexa {

// Applies a whole dictionary to one text, with the same result as the literal rewrite.
//
// Code units that occur in no source (for the built-in data: punctuation, line breaks, blanks, ASCII
// and most characters) can never be part of a match, and no replacement removes them, so they cut
// the text into pieces that are rewritten independently. A piece that occurred before in the same
// text is not rewritten again: its earlier result is copied. Within a piece only the entries that
// occur are applied:
//
// - one automaton pass over the piece notes every entry whose source occurs, and keeps the
//   automaton's state after each code unit;
// - the noted entries are applied in dictionary order, each as a replace-all;
// - while an entry's replace-all builds the new piece, the automaton runs again over each
//   replacement and on until its state is the same as it was at that place before; from there on
//   the matches are those of the old piece. Entries further down the order that match where the
//   state differed are noted too. So every entry that occurs is noted before it is reached.
//
// An entry noted but gone by the time it is reached replaces nothing, exactly as in the literal
// rewrite. The buffers live on from piece to piece, so a rewrite allocates nothing per entry.
class TextRewriter
{
public:
    TextRewriter(const PhraseDictionary& dictionary, const PhraseAutomaton& automaton,
                 std::u16string_view text);

    // Appends the rewritten text to `out`.
    void appendTo(std::u16string& out);

private:
    using EntryPosition = PhraseAutomaton::EntryPosition;
    using State = PhraseAutomaton::State;

    // A piece rewritten earlier: where it is in the text, and where its result is in `out`. Small,
    // so that the table stays in the processor's cache.
    struct RewrittenPiece
    {
        std::uint32_t hash = 0;
        std::uint32_t pieceBegin = 0;
        std::uint32_t resultBegin = 0;
        std::uint16_t pieceLength = 0; // 0: a free slot
        std::uint16_t resultLength = 0;
    };

    void rewritePiece(std::size_t begin, std::size_t end, std::uint32_t hash, std::u16string& out);
    bool noteMatchesOfPiece(std::u16string_view piece);
    void applyPending();
    void noteMatches(State state, int appliedUpTo);
    bool replaceAll(EntryPosition entry);
    void keepUnchanged(std::size_t from, std::size_t to, EntryPosition applied);
    void insert(std::u16string_view replacement, EntryPosition applied);

    bool canRemember(std::size_t pieceEnd, std::size_t resultEnd, std::size_t pieceLength) const;
    const RewrittenPiece* find(std::u16string_view piece, std::uint32_t hash) const;
    void remember(const RewrittenPiece& piece);

    const PhraseDictionary& m_dictionary;
    const PhraseAutomaton& m_automaton;
    std::u16string_view m_text;

    std::vector<EntryPosition> m_pending; // a min-heap of entries still to apply
    std::vector<bool> m_isPending;        // by entry position: in m_pending

    // The piece, and the automaton's state after each of its code units.
    std::u16string m_piece;
    std::vector<State> m_states;
    // The piece being built by a replace-all, with its states.
    std::u16string m_nextPiece;
    std::vector<State> m_nextStates;
    State m_state = PhraseAutomaton::rootState; // after the last code unit of m_nextPiece
    bool m_inStep = true; // m_state equals the old piece's state at the same place

    std::vector<RewrittenPiece> m_rewritten; // open addressing; size a power of two
    std::size_t m_rewrittenCount = 0;
};

} // namespace pexa
