#pragma once

#include "PhraseAutomaton.h"
#include "PhraseDictionary.h"
#include "PieceEditor.h"
#include "TextSpan.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pexa {

// Applies a whole dictionary to one text, with the same result as the literal rewrite.
//
// Code units that occur in no source (for the built-in data: punctuation, line breaks, blanks,
// ASCII and most characters) can never be part of a match, and no replacement removes them, so they
// cut the text into pieces that are rewritten independently. One automaton pass reads each piece; a
// piece where no source occurs is copied as it is. A piece that occurred before in the same text is
// not rewritten again: its earlier result is copied, and its replacements are counted again. Within
// a piece only the entries that occur are applied, in dictionary order (see PieceEditor).
//
// A long piece (a text without punctuation, say, or a keyword list where every place lies inside
// some source) is cut further, at places that no occurrence crosses, into short chunks that advance
// through the dictionary in step: each entry is applied in every chunk where it is pending before
// the next entry is. A replace-all costs the length of the text it searches, so short chunks keep
// a dense piece from costing a scan of the whole piece per entry; each chunk waits in the list of
// its first pending entry, so an entry visits only the chunks where it is pending. After each
// entry, two neighbouring chunks are joined for good when a source of a later entry now occurs
// across their cut, or when one has become shorter than a source could be. So no entry ever meets
// an occurrence across a cut, and a replace-all over the chunks gives what it gives over the whole
// piece.
//
// The buffers live on from piece to piece, so a rewrite allocates nothing per entry.
class TextRewriter
{
public:
    // Pieces longer than four chunks are cut into chunks of about `chunkLength` code units. Shorter
    // chunks search less text per entry but cost more to keep in step; 64 is the fastest on the
    // dense benchmark text (bench/rewrite/DenseWords.cpp) and on prose without separators.
    static constexpr std::size_t defaultChunkLength = 64;

    TextRewriter(const PhraseDictionary& dictionary, const PhraseAutomaton& automaton,
                 std::u16string_view text, std::size_t chunkLength = defaultChunkLength);

    // Appends the rewritten text to `out` and returns how many replacements the literal rewrite
    // would make. The stretches in `kept` (in text order, not overlapping) stay as they are; the
    // text between two of them is rewritten as if it were a whole text of its own.
    std::size_t appendTo(std::u16string& out, std::span<const TextSpan> kept = {});

private:
    // A piece rewritten earlier: where it is in the text, where its result is in `out`, and how
    // many replacements it took. Small, so that the table stays in the processor's cache.
    struct RewrittenPiece
    {
        std::uint32_t hash = 0;
        std::uint32_t pieceBegin = 0;
        std::uint32_t resultBegin = 0;
        std::uint32_t replacements = 0;
        std::uint16_t pieceLength = 0; // 0: a free slot
        std::uint16_t resultLength = 0;
    };

    std::size_t rewriteStretch(std::size_t begin, std::size_t end, std::u16string& out);
    std::size_t readPiece(std::size_t begin, std::size_t stretchEnd);
    std::size_t rewritePiece(std::size_t begin, std::size_t end, std::u16string& out);
    std::size_t rewriteLongPiece(std::u16string& out);
    void cutIntoChunks();
    bool isCrossed(std::size_t cut) const;
    void addChunk(std::size_t begin, std::size_t end);
    std::size_t applyInStep();
    void queue(std::uint32_t chunk);
    int nextWaitedFor(int from) const;
    void joinWhereNeeded(const std::vector<std::uint32_t>& changed, int appliedUpTo);
    void joinOnward(std::uint32_t left, int appliedUpTo);
    bool isJoined(std::uint32_t chunk) const { return m_neighbours[chunk].right == joinedChunk; }

    const RewrittenPiece* find(std::u16string_view piece, std::uint32_t hash) const;
    void remember(std::size_t pieceBegin, std::size_t pieceEnd, std::size_t resultBegin,
                  std::size_t resultEnd, std::size_t replacements, std::uint32_t hash);
    void insertInTable(const RewrittenPiece& piece);

    const PhraseDictionary& m_dictionary;
    const PhraseAutomaton& m_automaton;
    std::u16string_view m_text;
    std::size_t m_chunkLength;
    std::size_t m_copiedUpTo = 0; // the text before this is in the result
    PieceEditor m_editor;
    Piece m_piece;
    bool m_pieceHasMatches = false; // whether a source occurs in the piece last read
    std::uint32_t m_pieceHash = 0;  // and its hash
    // The chunks of a long piece in text order. One that is joined into its left neighbour stays
    // in place, empty, and its `left` names the chunk that took it in.
    std::vector<Piece> m_chunks;
    struct Neighbours
    {
        std::uint32_t left;
        std::uint32_t right;
    };
    static constexpr std::uint32_t noChunk = UINT32_MAX;
    static constexpr std::uint32_t joinedChunk = UINT32_MAX - 1;
    std::vector<Neighbours> m_neighbours;
    std::vector<PieceEditor::Change> m_changes; // by chunk, of the entry being applied
    // The chunks waiting for each entry: those where it was the first pending one when they were
    // queued, and a bit for each entry whose list is not empty. `m_queuedFor` tells for which entry
    // a chunk was queued last; its other places in the lists are out of date.
    std::vector<std::vector<std::uint32_t>> m_waiting;
    std::vector<std::uint64_t> m_isWaited;
    std::vector<int> m_queuedFor;

    std::vector<RewrittenPiece> m_rewritten; // open addressing; size a power of two
    std::size_t m_rewrittenCount = 0;
};

} // namespace pexa
