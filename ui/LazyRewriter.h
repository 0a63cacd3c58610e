#pragma once

#include "PhraseSubstitution.h"

#include <memory>
#include <optional>

namespace pexa {

// Holds the working dictionary and builds the rewriter's search index on the first rewrite. The
// index takes a few milliseconds, which one press does not feel but the program's start would.
class LazyRewriter
{
public:
    explicit LazyRewriter(PhraseDictionary dictionary) : m_dictionary(std::move(dictionary)) {}

    const PhraseRewriter& get();

private:
    std::optional<PhraseDictionary> m_dictionary; // handed to the rewriter when it is built
    std::unique_ptr<const PhraseRewriter> m_rewriter;
};

} // namespace pexa
