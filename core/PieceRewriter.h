#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "PhraseAutomaton.h"
#include "PhraseDictionary.h"

namespace pexa {

// Applies a whole dictionary to one piece of text: a stretch that no match can cross, so it can be
// rewritten apart from the rest. The result is what the literal rewrite gives for the piece, but only
// the entries that occur are applied:
//
// - the caller notes every entry whose source occurs in the piece (one automaton pass);
// - the noted entries are applied in dictionary order, each as a replace-all;
// - after an entry changed the piece, the text around each of its replacements is scanned again, and
//   entries further down the order that now occur there are noted too. An occurrence away from the
//   replacements was there before, so it is noted already.
//
// An entry noted but gone by the time it is reached replaces nothing, exactly as in the literal
// rewrite. The buffers live on from piece to piece, so a rewrite allocates nothing per entry.
class PieceRewriter
{
public:
    using EntryPosition = PhraseAutomaton::EntryPosition;

    PieceRewriter(const PhraseDictionary& dictionary, const PhraseAutomaton& automaton);

    // Notes that the entry's source occurs in the piece being read.
    void noteMatch(EntryPosition entry) { m_pending.push_back(entry); }

    bool hasMatches() const { return !m_pending.empty(); }

    // Appends the rewritten piece to `out`; the noted entries must be those occurring in `piece`.
    // Afterwards no entry is noted.
    void rewrite(std::u16string_view piece, std::u16string& out);

private:
    // A replacement's place in the rewritten piece, [begin, end).
    struct Span
    {
        std::size_t begin;
        std::size_t end;
    };

    EntryPosition takeFirstPending();
    bool replaceAll(EntryPosition entry);
    void noteMatchesAroundReplacements(EntryPosition applied);

    const PhraseDictionary& m_dictionary;
    const PhraseAutomaton& m_automaton;
    std::vector<EntryPosition> m_pending;  // a min-heap while a piece is rewritten
    std::u16string m_piece;
    std::u16string m_spare;
    std::vector<Span> m_replaced;
};

} // namespace pexa
