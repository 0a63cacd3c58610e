#include "TracedRewrite.h"

#include <algorithm>
#include <set>

namespace pexa {
namespace {

// Calls rewrite(begin, end) for each stretch between kept ones and copies the kept ones.
template <typename Rewrite>
TracedRewrite eachGap(std::u16string_view text, std::span<const TextSpan> kept, Rewrite rewrite)
{
    TracedRewrite traced;
    traced.text.reserve(text.size());
    std::size_t gapStart = 0;
    for (const TextSpan& span : kept) {
        rewrite(gapStart, span.begin, traced);
        traced.text.append(text.substr(span.begin, span.end - span.begin));
        gapStart = span.end;
    }
    rewrite(gapStart, text.size(), traced);
    return traced;
}

// Rewrites pieces (stretches without separators) with only the entries that occur in them.
class PieceTracer
{
public:
    explicit PieceTracer(const PhraseRewriter& rewriter)
        : m_dictionary(rewriter.dictionary()), m_automaton(rewriter.automaton())
    {
    }

    // Appends the rewrite of text[begin, end) to `traced`.
    void traceGap(std::u16string_view text, std::size_t begin, std::size_t end,
                  TracedRewrite& traced)
    {
        std::size_t copiedUpTo = begin;
        for (std::size_t position = begin; position < end;) {
            if (m_automaton.classOf(text[position]) == 0) {
                ++position;
                continue;
            }
            const std::size_t pieceStart = position;
            while (position < end && m_automaton.classOf(text[position]) != 0)
                ++position;
            const std::u16string_view piece = text.substr(pieceStart, position - pieceStart);
            noteMatches(piece, {0, piece.size()}, -1);
            if (m_pending.empty())
                continue;
            traced.text.append(text.substr(copiedUpTo, pieceStart - copiedUpTo));
            tracePiece(piece, pieceStart, traced);
            copiedUpTo = position;
        }
        traced.text.append(text.substr(copiedUpTo, end - copiedUpTo));
    }

private:
    void tracePiece(std::u16string_view piece, std::size_t pieceStart, TracedRewrite& traced)
    {
        ChangeTracer tracer(piece);
        const std::size_t reach = m_automaton.longestSource() - 1;
        while (!m_pending.empty()) {
            const std::int32_t entry = *m_pending.begin();
            m_pending.erase(m_pending.begin());
            const PhraseEntry& phrase = m_dictionary[std::size_t(entry)];
            traced.replacements += tracer.replaceAll(entry, phrase.source, phrase.replacement);
            // New occurrences overlap a replacement or meet across the place of a deletion.
            for (const TextSpan& replaced : tracer.lastReplaced())
                noteMatches(tracer.text(),
                            {replaced.begin - std::min(replaced.begin, reach),
                             std::min(tracer.text().size(), replaced.end + reach)},
                            entry);
        }
        tracer.appendChanges(traced.changes, pieceStart, traced.text.size());
        traced.text.append(tracer.text());
    }

    // Makes pending the entries after `appliedUpTo` whose sources occur within `window`.
    void noteMatches(std::u16string_view text, TextSpan window, std::int32_t appliedUpTo)
    {
        PhraseAutomaton::State state = PhraseAutomaton::rootState;
        for (std::size_t position = window.begin; position < window.end; ++position) {
            state = m_automaton.advance(state, text[position]);
            if (m_automaton.hasMatches(state))
                m_automaton.forEachMatch(state, [&](PhraseAutomaton::EntryPosition entry) {
                    if (entry > appliedUpTo)
                        m_pending.insert(entry);
                });
        }
    }

    const PhraseDictionary& m_dictionary;
    const PhraseAutomaton& m_automaton;
    std::set<std::int32_t> m_pending; // in dictionary order
};

} // namespace

TracedRewrite rewriteTraced(std::u16string_view text, const PhraseRewriter& rewriter,
                            std::span<const TextSpan> kept)
{
    PieceTracer tracer(rewriter);
    return eachGap(text, kept, [&](std::size_t begin, std::size_t end, TracedRewrite& traced) {
        tracer.traceGap(text, begin, end, traced);
    });
}

TracedRewrite rewriteTracedLiterally(std::u16string_view text, const PhraseDictionary& dictionary,
                                     std::span<const TextSpan> kept)
{
    return eachGap(text, kept, [&](std::size_t begin, std::size_t end, TracedRewrite& traced) {
        ChangeTracer tracer(text.substr(begin, end - begin));
        for (std::size_t entry = 0; entry < dictionary.size(); ++entry)
            traced.replacements += tracer.replaceAll(std::int32_t(entry), dictionary[entry].source,
                                                     dictionary[entry].replacement);
        tracer.appendChanges(traced.changes, begin, traced.text.size());
        traced.text.append(tracer.text());
    });
}

} // namespace pexa
