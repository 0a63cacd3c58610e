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

} // namespace pexa
