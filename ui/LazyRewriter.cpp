#include "LazyRewriter.h"

#include "BuiltinDictionary.h"

namespace pexa {

const PhraseRewriter& LazyRewriter::get()
{
    if (!m_rewriter) {
        m_rewriter = std::make_unique<const PhraseRewriter>(m_dictionary ? std::move(*m_dictionary)
                                                                         : loadBuiltinDictionary());
        m_dictionary.reset();
    }
    return *m_rewriter;
}

namespace {

// A line of the dictionary's own worked rewrites: rewriting it once runs every step of a press.
constexpr std::u16string_view rehearsalText = u"免费使用，防备生硬，大喜过望，冷酷无情。";

} // namespace

// The rehearsal brings the rewrite's code into the processor's cache, the tables' reading all of
// the index (a short line visits little of it).
void LazyRewriter::prepare()
{
    const PhraseRewriter& rewriter = get();
    rewriter.automaton().bringTablesIntoCache();
    static_cast<void>(rewriteArticle(rehearsalText, rewriter));
}

} // namespace pexa
