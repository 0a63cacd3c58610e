#include "PhraseSubstitution.h"

#include "PieceRewriter.h"
#include "Placeholders.h"
#include "TextOps.h"

namespace pexa {

std::u16string applyDictionaryLiterally(std::u16string_view text, const PhraseDictionary& dictionary)
{
    std::u16string working(text);
    for (const PhraseEntry& entry : dictionary.entries())
        text::replaceAllInPlace(working, entry.source, entry.replacement);
    return working;
}

PhraseRewriter::PhraseRewriter(PhraseDictionary dictionary)
    : m_dictionary(std::move(dictionary)), m_automaton(m_dictionary)
{
}

std::u16string PhraseRewriter::rewrite(std::u16string_view text) const
{
    std::u16string rewritten;
    appendRewrite(text, rewritten);
    return rewritten;
}

void PhraseRewriter::appendRewrite(std::u16string_view text, std::u16string& out) const
{
    out.reserve(out.size() + text.size());
    PieceRewriter pieces(m_dictionary, m_automaton, text);
    std::size_t copiedUpTo = 0; // text before this is in `out`
    std::size_t pieceStart = 0;
    bool pieceHasMatches = false;
    const auto finishPiece = [&](std::size_t pieceEnd) {
        if (!pieceHasMatches)
            return; // copied later together with its neighbours
        out.append(text.substr(copiedUpTo, pieceStart - copiedUpTo));
        pieces.rewrite(pieceStart, pieceEnd, out);
        copiedUpTo = pieceEnd;
    };

    PhraseAutomaton::State state = PhraseAutomaton::rootState;
    for (std::size_t position = 0; position < text.size(); ++position) {
        const std::uint16_t unitClass = m_automaton.classOf(text[position]);
        if (unitClass == 0) {
            finishPiece(position);
            pieceStart = position + 1;
            pieceHasMatches = false;
            state = PhraseAutomaton::rootState;
            continue;
        }
        state = m_automaton.step(state, unitClass);
        pieceHasMatches |= m_automaton.hasMatches(state);
    }
    finishPiece(text.size());
    out.append(text.substr(copiedUpTo));
}

std::optional<std::u16string> rewriteArticle(std::u16string_view input,
                                             const PhraseRewriter& rewriter)
{
    if (input.empty() || text::contains(input, placeholders::inputMarker))
        return std::nullopt;
    return rewriter.rewrite(input);
}

} // namespace pexa
