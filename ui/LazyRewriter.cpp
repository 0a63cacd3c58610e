#include "LazyRewriter.h"

namespace pexa {

const PhraseRewriter& LazyRewriter::get()
{
    if (!m_rewriter) {
        m_rewriter = std::make_unique<const PhraseRewriter>(std::move(*m_dictionary));
        m_dictionary.reset();
    }
    return *m_rewriter;
}

} // namespace pexa
