#include "TextRewriter.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace pexa {

namespace {

// FNV-1a, extended one code unit at a time while a piece is read.
constexpr std::uint32_t emptyHash = 2166136261u;

std::uint32_t extendHash(std::uint32_t hash, char16_t unit)
{
    return (hash ^ unit) * 16777619u;
}

} // namespace

TextRewriter::TextRewriter(const PhraseDictionary& dictionary, const PhraseAutomaton& automaton,
                           std::u16string_view text, std::size_t chunkLength)
    : m_automaton(automaton), m_text(text),
      m_chunkLength(std::max(chunkLength, automaton.longestSource())),
      m_editor(dictionary, automaton),
      m_rewritten(std::bit_ceil(std::max<std::size_t>(64, text.size() / 16)))
{
}

void TextRewriter::appendTo(std::u16string& out)
{
    out.reserve(out.size() + m_text.size());
    std::size_t copiedUpTo = 0; // text before this is in `out`
    std::size_t position = 0;
    while (position < m_text.size()) {
        if (m_automaton.classOf(m_text[position]) == 0) {
            ++position;
            continue;
        }
        const std::size_t pieceStart = position;
        position = readPiece(pieceStart);
        // A piece where no source occurs stays as it is: it is copied along with the separators
        // around it, without being hashed or remembered.
        if (!m_pieceHasMatches)
            continue;
        out.append(m_text.substr(copiedUpTo, pieceStart - copiedUpTo));
        rewritePiece(pieceStart, position, out);
        copiedUpTo = position;
    }
    out.append(m_text.substr(copiedUpTo));
}

// Runs the automaton from `begin` up to the next separator, keeping its states in m_piece (the
// text itself is copied only when the piece has to be rewritten). Returns the piece's end.
std::size_t TextRewriter::readPiece(std::size_t begin)
{
    std::vector<PhraseAutomaton::State>& states = m_piece.states;
    states.clear();
    PhraseAutomaton::State state = PhraseAutomaton::rootState;
    bool anyMatch = false;
    std::uint32_t hash = emptyHash;
    std::size_t position = begin;
    for (; position < m_text.size(); ++position) {
        const std::uint16_t unitClass = m_automaton.classOf(m_text[position]);
        if (unitClass == 0)
            break;
        state = m_automaton.step(state, unitClass);
        states.push_back(state);
        anyMatch |= m_automaton.hasMatches(state);
        // Costs nothing here: it runs beside the automaton's slower chain of memory reads.
        hash = extendHash(hash, m_text[position]);
    }
    m_pieceHasMatches = anyMatch;
    m_pieceHash = hash;
    return position;
}

void TextRewriter::rewritePiece(std::size_t begin, std::size_t end, std::u16string& out)
{
    const std::u16string_view piece = m_text.substr(begin, end - begin);
    const std::uint32_t hash = m_pieceHash;
    if (const RewrittenPiece* known = find(piece, hash)) {
        out.append(out, known->resultBegin, known->resultLength);
        return;
    }
    const std::size_t resultBegin = out.size();
    m_piece.text.assign(piece);
    if (piece.size() > 4 * m_chunkLength) {
        rewriteLongPiece(out);
    } else {
        m_editor.noteAllMatches(m_piece);
        while (PieceEditor::firstPending(m_piece) != PieceEditor::noEntry)
            m_editor.applyFirstPending(m_piece);
        out.append(m_piece.text);
    }
    remember(begin, end, resultBegin, out.size(), hash);
}

void TextRewriter::rewriteLongPiece(std::u16string& out)
{
    cutIntoChunks();
    m_piece = Piece(); // its text and states now live in the chunks
    applyInStep();
    for (const Piece& chunk : m_chunks)
        out.append(chunk.text);
}

// Cuts m_piece where the automaton is in its root state: no source has begun there, so no
// occurrence crosses the cut. Every chunk is at least a source long.
void TextRewriter::cutIntoChunks()
{
    m_chunks.clear();
    const std::size_t length = m_piece.text.size();
    std::size_t chunkStart = 0;
    for (std::size_t cut = m_chunkLength; cut + m_chunkLength <= length; ++cut) {
        if (cut - chunkStart < m_chunkLength ||
            m_piece.states[cut - 1] != PhraseAutomaton::rootState)
            continue;
        Piece& chunk = m_chunks.emplace_back();
        chunk.text.assign(m_piece.text, chunkStart, cut - chunkStart);
        chunk.states.assign(m_piece.states.begin() + std::ptrdiff_t(chunkStart),
                            m_piece.states.begin() + std::ptrdiff_t(cut));
        chunkStart = cut;
    }
    Piece& last = m_chunks.emplace_back();
    last.text.assign(m_piece.text, chunkStart);
    last.states.assign(m_piece.states.begin() + std::ptrdiff_t(chunkStart), m_piece.states.end());
    for (Piece& chunk : m_chunks)
        m_editor.noteAllMatches(chunk);
}

// Applies the pending entries of all chunks in dictionary order, one entry in every chunk at a
// time.
void TextRewriter::applyInStep()
{
    std::vector<PieceEditor::Change> changes;
    for (;;) {
        int next = PieceEditor::noEntry;
        for (const Piece& chunk : m_chunks) {
            const int first = PieceEditor::firstPending(chunk);
            if (first != PieceEditor::noEntry && (next == PieceEditor::noEntry || first < next))
                next = first;
        }
        if (next == PieceEditor::noEntry)
            return;
        changes.assign(m_chunks.size(), {});
        for (std::size_t i = 0; i < m_chunks.size(); ++i)
            if (PieceEditor::firstPending(m_chunks[i]) == next)
                changes[i] = m_editor.applyFirstPending(m_chunks[i]);
        joinWhereNeeded(changes, next);
    }
}

// A new occurrence across a cut needs a change within a source's length of it.
void TextRewriter::joinWhereNeeded(std::vector<PieceEditor::Change>& changes, int appliedUpTo)
{
    const std::size_t longestSource = m_automaton.longestSource();
    for (std::size_t left = 0; left + 1 < m_chunks.size();) {
        Piece& leftChunk = m_chunks[left];
        const Piece& rightChunk = m_chunks[left + 1];
        const bool mustJoin =
            (changes[left].nearEnd || changes[left + 1].nearStart) &&
            (leftChunk.text.size() < longestSource || rightChunk.text.size() < longestSource ||
             m_editor.matchesAcross(leftChunk, rightChunk, appliedUpTo));
        if (!mustJoin) {
            ++left;
            continue;
        }
        m_editor.join(leftChunk, rightChunk, appliedUpTo);
        // The joined chunk ends as the right one did.
        changes[left].nearEnd = changes[left + 1].nearEnd;
        m_chunks.erase(m_chunks.begin() + std::ptrdiff_t(left + 1));
        changes.erase(changes.begin() + std::ptrdiff_t(left + 1));
    }
}

const TextRewriter::RewrittenPiece* TextRewriter::find(std::u16string_view piece,
                                                       std::uint32_t hash) const
{
    const std::size_t mask = m_rewritten.size() - 1;
    for (std::size_t slot = hash & mask; m_rewritten[slot].pieceLength != 0;
         slot = (slot + 1) & mask) {
        const RewrittenPiece& known = m_rewritten[slot];
        if (known.hash == hash && m_text.substr(known.pieceBegin, known.pieceLength) == piece)
            return &known;
    }
    return nullptr;
}

// Pieces and results are remembered by 32-bit places and 16-bit lengths; longer ones are rare
// enough to be rewritten each time.
void TextRewriter::remember(std::size_t pieceBegin, std::size_t pieceEnd, std::size_t resultBegin,
                            std::size_t resultEnd, std::uint32_t hash)
{
    if (pieceEnd > UINT32_MAX || resultEnd > UINT32_MAX || pieceEnd - pieceBegin > UINT16_MAX ||
        resultEnd - resultBegin > UINT16_MAX)
        return;
    insertInTable({hash, std::uint32_t(pieceBegin), std::uint32_t(resultBegin),
                   std::uint16_t(pieceEnd - pieceBegin), std::uint16_t(resultEnd - resultBegin)});
}

void TextRewriter::insertInTable(const RewrittenPiece& piece)
{
    if (4 * (m_rewrittenCount + 1) > 3 * m_rewritten.size()) {
        std::vector<RewrittenPiece> old(2 * m_rewritten.size());
        old.swap(m_rewritten);
        m_rewrittenCount = 0;
        for (const RewrittenPiece& known : old)
            if (known.pieceLength != 0)
                insertInTable(known);
    }
    const std::size_t mask = m_rewritten.size() - 1;
    std::size_t slot = piece.hash & mask;
    while (m_rewritten[slot].pieceLength != 0)
        slot = (slot + 1) & mask;
    m_rewritten[slot] = piece;
    ++m_rewrittenCount;
}

} // namespace pexa
