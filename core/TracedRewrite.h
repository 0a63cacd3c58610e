#pragma once

#include "ChangeTracer.h"
#include "PhraseSubstitution.h"
#include "TextSpan.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pexa {

// A rewrite together with its net changes (see ChangeTracer), for showing the original and the
// result side by side.
struct TracedRewrite
{
    std::u16string text;
    std::size_t replacements = 0;      // counted as PhraseRewriter::appendRewrite counts them
    std::vector<TracedChange> changes; // in text order
};

// The traced rewrite: the same text and count as rewriter.appendRewrite(text, out, kept), with the
// changes. Like the fast rewriter it reads the text once with the automaton, leaves alone the
// pieces between separators where no source occurs, and applies in a piece only the entries whose
// sources occur there when their turn comes. A piece without separators as long as a whole text
// costs a pass over it for every entry that applies.
TracedRewrite rewriteTraced(std::u16string_view text, const PhraseRewriter& rewriter,
                            std::span<const TextSpan> kept = {});

// The reference: every entry as a traced replace-all over each stretch between kept ones. Slow
// (one scan per entry); rewriteTraced is checked against it.
TracedRewrite rewriteTracedLiterally(std::u16string_view text, const PhraseDictionary& dictionary,
                                     std::span<const TextSpan> kept = {});

} // namespace pexa
