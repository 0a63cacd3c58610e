#pragma once

#include "ChangeReport.h"
#include "PhraseDictionary.h"
#include "PhraseSubstitution.h"
#include "ProtectedRewrite.h"
#include "ScriptConverter.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pexa::cli {

// The steps a run applies to every article, in the window's order: rewrite, shuffle, traditional.
struct RewriteSettings
{
    ProtectedTerms protectedTerms;
    bool shuffle = false;
    std::optional<std::uint64_t> seed; // without it the shuffle is seeded from the clock
    bool traditional = false;
    bool measure = false; // count replacements and the change rate
};

struct ArticleResult
{
    std::u16string text;
    std::string error;              // why the article was not rewritten; empty on success
    std::vector<std::string> notes; // things worth telling that are no failure
    std::size_t replacements = 0;   // with `measure`
    ChangeRate changeRate;          // with `measure`: result against input

    bool ok() const { return error.empty(); }
};

// Rewrites articles one after another. Owns its rewriter and converter, so each worker thread of a
// batch has its own and nothing in the engine is shared between threads.
class ArticleRewriter
{
public:
    ArticleRewriter(const PhraseDictionary& dictionary, RewriteSettings settings);

    // An empty article gives an empty result. An article holding the input box's placeholder text
    // is refused, as the window refuses it.
    ArticleResult rewrite(std::u16string_view article) const;

private:
    void shuffleInto(ArticleResult& result) const;
    std::size_t countReplacements(std::u16string_view article) const;

    RewriteSettings m_settings;
    PhraseRewriter m_rewriter;
    std::optional<ReplacementCounter> m_counter;
    std::unique_ptr<ScriptConverter> m_converter;
};

} // namespace pexa::cli
