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
    : m_dictionary(dictionary), m_automaton(automaton), m_text(text),
      m_chunkLength(std::max(chunkLength, automaton.longestSource())),
      m_editor(dictionary, automaton),
      m_rewritten(std::bit_ceil(std::max<std::size_t>(64, text.size() / 16)))
{
}

std::size_t TextRewriter::appendTo(std::u16string& out, std::span<const TextSpan> kept)
{
    out.reserve(out.size() + m_text.size());
    std::size_t replacements = 0;
    std::size_t stretchStart = 0;
    for (const TextSpan& span : kept) {
        replacements += rewriteStretch(stretchStart, span.begin, out);
        stretchStart = span.end;
    }
    replacements += rewriteStretch(stretchStart, m_text.size(), out);
    out.append(m_text.substr(m_copiedUpTo));
    return replacements;
}

// Rewrites the pieces of [begin, end) that need it. What lies between them (separators, pieces
// without a match, kept stretches) is copied along in one go when the next piece is rewritten.
std::size_t TextRewriter::rewriteStretch(std::size_t begin, std::size_t end, std::u16string& out)
{
    std::size_t replacements = 0;
    std::size_t position = begin;
    while (position < end) {
        if (m_automaton.classOf(m_text[position]) == 0) {
            ++position;
            continue;
        }
        const std::size_t pieceStart = position;
        position = readPiece(pieceStart, end);
        if (!m_pieceHasMatches)
            continue;
        out.append(m_text.substr(m_copiedUpTo, pieceStart - m_copiedUpTo));
        replacements += rewritePiece(pieceStart, position, out);
        m_copiedUpTo = position;
    }
    return replacements;
}

// Runs the automaton from `begin` up to the next separator or the stretch's end, keeping its
// states in m_piece (the text itself is copied only when the piece has to be rewritten). Returns
// the piece's end.
std::size_t TextRewriter::readPiece(std::size_t begin, std::size_t stretchEnd)
{
    std::vector<PhraseAutomaton::State>& states = m_piece.states;
    states.clear();
    PhraseAutomaton::State state = PhraseAutomaton::rootState;
    bool anyMatch = false;
    std::uint32_t hash = emptyHash;
    std::size_t position = begin;
    for (; position < stretchEnd; ++position) {
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

// Returns the piece's replacements.
std::size_t TextRewriter::rewritePiece(std::size_t begin, std::size_t end, std::u16string& out)
{
    const std::u16string_view piece = m_text.substr(begin, end - begin);
    const std::uint32_t hash = m_pieceHash;
    if (const RewrittenPiece* known = find(piece, hash)) {
        out.append(out, known->resultBegin, known->resultLength);
        return known->replacements;
    }
    const std::size_t resultBegin = out.size();
    m_piece.text.assign(piece);
    std::size_t replacements = 0;
    if (piece.size() > 4 * m_chunkLength) {
        replacements = rewriteLongPiece(out);
    } else {
        m_editor.noteAllMatches(m_piece);
        while (PieceEditor::firstPending(m_piece) != PieceEditor::noEntry)
            replacements += m_editor.applyFirstPending(m_piece).replacements;
        out.append(m_piece.text);
    }
    remember(begin, end, resultBegin, out.size(), replacements, hash);
    return replacements;
}

std::size_t TextRewriter::rewriteLongPiece(std::u16string& out)
{
    cutIntoChunks();
    m_piece = Piece(); // its text and states now live in the chunks
    const std::size_t replacements = applyInStep();
    for (const Piece& chunk : m_chunks)
        out.append(chunk.text); // a chunk joined into its left neighbour is empty
    return replacements;
}

// Cuts m_piece where no occurrence of any source crosses. Every chunk is at least a source long.
void TextRewriter::cutIntoChunks()
{
    m_chunks.clear();
    m_neighbours.clear();
    const std::size_t length = m_piece.text.size();
    std::size_t chunkStart = 0;
    for (std::size_t cut = m_chunkLength; cut + m_chunkLength <= length; ++cut) {
        if (cut - chunkStart < m_chunkLength || isCrossed(cut))
            continue;
        addChunk(chunkStart, cut);
        chunkStart = cut;
    }
    addChunk(chunkStart, length);
    for (Piece& chunk : m_chunks)
        m_editor.noteAllMatches(chunk);
}

// Whether an occurrence in m_piece starts before `cut` and ends after it: one that ends within a
// source's length of the cut and is longer than the stretch from the cut to its end.
bool TextRewriter::isCrossed(std::size_t cut) const
{
    const std::size_t reach = std::min(m_piece.text.size(), cut + m_automaton.longestSource() - 1);
    bool crossed = false;
    for (std::size_t last = cut; last < reach && !crossed; ++last)
        m_automaton.forEachMatch(m_piece.states[last], [&](PhraseAutomaton::EntryPosition entry) {
            crossed |= m_dictionary[entry].source.size() > last + 1 - cut;
        });
    return crossed;
}

// A chunk's states are read from its own start, as a piece's are. Reading from the root soon gives
// the same states as reading on from the piece's start; from there they are copied.
void TextRewriter::addChunk(std::size_t begin, std::size_t end)
{
    const auto index = std::uint32_t(m_chunks.size());
    m_neighbours.push_back({index == 0 ? noChunk : index - 1, noChunk});
    if (index > 0)
        m_neighbours[index - 1].right = index;
    Piece& chunk = m_chunks.emplace_back();
    chunk.text.assign(m_piece.text, begin, end - begin);
    PhraseAutomaton::State state = PhraseAutomaton::rootState;
    std::size_t position = begin;
    while (position < end) {
        state = m_automaton.advance(state, m_piece.text[position]);
        chunk.states.push_back(state);
        if (state == m_piece.states[position++])
            break;
    }
    chunk.states.insert(chunk.states.end(), m_piece.states.begin() + std::ptrdiff_t(position),
                        m_piece.states.begin() + std::ptrdiff_t(end));
}

// Applies the pending entries of all chunks in dictionary order, one entry in every chunk where it
// is pending at a time. Each chunk waits in the list of its first pending entry, so a step visits
// only the chunks it changes. Returns the replacements made.
std::size_t TextRewriter::applyInStep()
{
    m_changes.assign(m_chunks.size(), {});
    m_queuedFor.assign(m_chunks.size(), PieceEditor::noEntry);
    if (m_waiting.size() != m_dictionary.size()) {
        m_waiting.assign(m_dictionary.size(), {});
        m_isWaited.assign((m_dictionary.size() + 63) / 64, 0);
    }
    for (std::uint32_t chunk = 0; chunk < m_chunks.size(); ++chunk)
        queue(chunk);
    std::size_t replacements = 0;
    std::vector<std::uint32_t> changed;
    for (int entry = nextWaitedFor(0); entry != PieceEditor::noEntry;
         entry = nextWaitedFor(entry + 1)) {
        changed.clear();
        std::vector<std::uint32_t>& waiting = m_waiting[std::size_t(entry)];
        for (const std::uint32_t chunk : waiting) {
            if (m_queuedFor[chunk] != entry)
                continue;
            m_queuedFor[chunk] = PieceEditor::noEntry;
            m_changes[chunk] = m_editor.applyFirstPending(m_chunks[chunk]);
            replacements += m_changes[chunk].replacements;
            changed.push_back(chunk);
        }
        waiting.clear();
        m_isWaited[std::size_t(entry) / 64] &= ~(std::uint64_t(1) << (entry % 64));
        std::sort(changed.begin(), changed.end());
        joinWhereNeeded(changed, entry);
    }
    return replacements;
}

// Every entry pending in a chunk comes after those applied, so the chunk waits for a later step.
void TextRewriter::queue(std::uint32_t chunk)
{
    const int first = PieceEditor::firstPending(m_chunks[chunk]);
    m_queuedFor[chunk] = first;
    if (first == PieceEditor::noEntry)
        return;
    m_waiting[std::size_t(first)].push_back(chunk);
    m_isWaited[std::size_t(first) / 64] |= std::uint64_t(1) << (first % 64);
}

// The first entry from `from` on that a chunk waits for, or noEntry.
int TextRewriter::nextWaitedFor(int from) const
{
    std::size_t word = std::size_t(from) / 64;
    if (word >= m_isWaited.size())
        return PieceEditor::noEntry;
    std::uint64_t bits = m_isWaited[word] & (~std::uint64_t(0) << (from % 64));
    while (bits == 0) {
        if (++word == m_isWaited.size())
            return PieceEditor::noEntry;
        bits = m_isWaited[word];
    }
    return int(word * 64 + std::size_t(std::countr_zero(bits)));
}

// A new occurrence across a cut needs a change within a source's length of it. `changed` holds the
// chunks the entry just changed, in text order; they are queued again for their next entry.
void TextRewriter::joinWhereNeeded(const std::vector<std::uint32_t>& changed, int appliedUpTo)
{
    for (const std::uint32_t chunk : changed) {
        if (isJoined(chunk))
            continue; // the chunk that took it in has checked the cuts after it
        if (const std::uint32_t left = m_neighbours[chunk].left; left != noChunk)
            joinOnward(left, appliedUpTo);
        if (!isJoined(chunk))
            joinOnward(chunk, appliedUpTo);
    }
    for (std::uint32_t chunk : changed) {
        while (isJoined(chunk))
            chunk = m_neighbours[chunk].left;
        m_changes[chunk] = {};
        queue(chunk);
    }
}

// Joins `left` with its right neighbours for as long as an occurrence may cross their cut.
void TextRewriter::joinOnward(std::uint32_t left, int appliedUpTo)
{
    const std::size_t longestSource = m_automaton.longestSource();
    Piece& leftChunk = m_chunks[left];
    for (std::uint32_t right = m_neighbours[left].right; right != noChunk;
         right = m_neighbours[left].right) {
        Piece& rightChunk = m_chunks[right];
        const bool mustJoin =
            (m_changes[left].nearEnd || m_changes[right].nearStart) &&
            (leftChunk.text.size() < longestSource || rightChunk.text.size() < longestSource ||
             m_editor.matchesAcross(leftChunk, rightChunk, appliedUpTo));
        if (!mustJoin)
            return;
        m_editor.join(leftChunk, rightChunk, appliedUpTo);
        rightChunk = Piece();
        // The joined chunk ends as the right one did.
        m_changes[left].nearEnd = m_changes[right].nearEnd;
        m_changes[right] = {};
        const std::uint32_t afterRight = m_neighbours[right].right;
        m_neighbours[left].right = afterRight;
        if (afterRight != noChunk)
            m_neighbours[afterRight].left = left;
        m_neighbours[right] = {left, joinedChunk};
        m_queuedFor[right] = PieceEditor::noEntry;
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

// Pieces and results are remembered by 32-bit places and counts and 16-bit lengths; longer ones are
// rare enough to be rewritten each time.
void TextRewriter::remember(std::size_t pieceBegin, std::size_t pieceEnd, std::size_t resultBegin,
                            std::size_t resultEnd, std::size_t replacements, std::uint32_t hash)
{
    if (pieceEnd > UINT32_MAX || resultEnd > UINT32_MAX || replacements > UINT32_MAX ||
        pieceEnd - pieceBegin > UINT16_MAX || resultEnd - resultBegin > UINT16_MAX)
        return;
    insertInTable({hash, std::uint32_t(pieceBegin), std::uint32_t(resultBegin),
                   std::uint32_t(replacements), std::uint16_t(pieceEnd - pieceBegin),
                   std::uint16_t(resultEnd - resultBegin)});
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
