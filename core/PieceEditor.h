#pragma once

#include "PhraseAutomaton.h"
#include "PhraseDictionary.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pexa {

// A stretch of text being rewritten, with what the rewrite needs to know about it.
struct Piece
{
    std::u16string text;
    // The automaton's state after each code unit, reading from the piece's start.
    std::vector<PhraseAutomaton::State> states;
    // Entries still to apply that may occur in the text: a min-heap, where an entry may stand more
    // than once (a flag per entry would cost more than the repeats for the short pieces rewritten).
    std::vector<PhraseAutomaton::EntryPosition> pending;
};

// Applies dictionary entries to pieces, one replace-all at a time, keeping every pending list
// complete: each entry further down the order whose source occurs in a piece is pending there.
//
// While a replace-all builds the new text, the automaton runs again over each replacement and on
// until its state is the same as it was at that place before; from there on the matches are those
// of the old text. Entries matching where the state differed are noted. An entry pending but gone
// by the time it is reached replaces nothing, exactly as in the literal rewrite.
class PieceEditor
{
public:
    using EntryPosition = PhraseAutomaton::EntryPosition;
    using State = PhraseAutomaton::State;
    static constexpr int noEntry = -1;

    PieceEditor(const PhraseDictionary& dictionary, const PhraseAutomaton& automaton);

    // Makes pending every entry whose source occurs in the piece.
    void noteAllMatches(Piece& piece) const;

    // The first pending entry, or noEntry.
    static int firstPending(const Piece& piece);

    // What a replace-all did: how many occurrences it replaced, and whether it changed text within
    // a source's length of either end.
    struct Change
    {
        std::size_t replacements = 0;
        bool nearStart = false;
        bool nearEnd = false;
    };

    // Applies the first pending entry.
    Change applyFirstPending(Piece& piece);

    // Whether a source of an entry after `appliedUpTo` occurs across the join of two pieces.
    bool matchesAcross(const Piece& left, const Piece& right, int appliedUpTo) const;

    // Appends `right` to `left`; entries after `appliedUpTo` that now occur across the join, and
    // those pending in `right`, become pending in `left`.
    void join(Piece& left, const Piece& right, int appliedUpTo) const;

private:
    void notePending(Piece& piece, State state, int appliedUpTo) const;
    void makePending(Piece& piece, EntryPosition entry) const;
    Change replaceAll(Piece& piece, EntryPosition entry);
    // How many occurrences a replace-all replaced, and where the last one ended.
    struct Replaced
    {
        std::size_t count = 0;
        std::size_t lastEnd = 0;
    };
    Replaced overwriteAll(Piece& piece, EntryPosition entry, std::size_t hit);
    Replaced rebuildWithReplacements(Piece& piece, EntryPosition entry, std::size_t hit);
    void keepUnchanged(Piece& piece, std::size_t from, std::size_t to, EntryPosition applied);
    void insert(Piece& piece, std::u16string_view replacement, EntryPosition applied);

    const PhraseDictionary& m_dictionary;
    const PhraseAutomaton& m_automaton;

    // The text being built by a replace-all, with its states.
    std::u16string m_nextText;
    std::vector<State> m_nextStates;
    State m_state = PhraseAutomaton::rootState; // after the last code unit of m_nextText
    bool m_inStep = true; // m_state equals the old text's state at the same place
};

} // namespace pexa
