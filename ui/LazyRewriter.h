#pragma once

#include "PhraseSubstitution.h"

#include <memory>
#include <optional>

namespace pexa {

// Holds the working dictionary and builds the rewriter on the first rewrite, or when the window
// prepares it. A dictionary given at run time needs its search index built, a few milliseconds; the
// built-in one has its index compiled in, but making its entries still costs the start about half
// a millisecond, so it too is made only then.
class LazyRewriter
{
public:
    // The built-in dictionary.
    LazyRewriter() = default;
    explicit LazyRewriter(PhraseDictionary dictionary) : m_dictionary(std::move(dictionary)) {}

    const PhraseRewriter& get();

    // Builds the rewriter if need be and reads its search index into the processor's cache, so that
    // a press soon after waits neither for the one nor for memory.
    void prepare();

private:
    std::optional<PhraseDictionary> m_dictionary; // handed to the rewriter when it is built;
                                                  // none for the built-in one
    std::unique_ptr<const PhraseRewriter> m_rewriter;
};

} // namespace pexa
