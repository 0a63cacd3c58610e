#pragma once

#include "ChangeReport.h"
#include "PhraseDictionary.h"
#include "PhraseSubstitution.h"
#include "ProtectedRewrite.h"
#include "TracedRewrite.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pexa::cli {

// The steps a run applies to every article, in the window's order: rewrite, shuffle, traditional.
struct RewriteSettings
{
    std::vector<std::u16string> protectedTerms; // looked for by the rewriter, built on its thread
    bool shuffle = false;
    std::optional<std::uint64_t> seed; // without it the shuffle is seeded from the clock
    bool traditional = false;
    bool measure = false;           // count replacements and the change rate
    bool trace = false;             // keep the net changes for the comparison page
    unsigned threadsPerArticle = 1; // threads that may share the rewrite of one long article
};

struct ArticleResult
{
    std::u16string text;
    std::string error;              // why the article was not rewritten; empty on success
    std::vector<std::string> notes; // things worth telling that are no failure
    std::size_t replacements = 0;   // with `measure`
    ChangeRate changeRate;          // with `measure`: result against input
    // With `trace`: the rewrite before shuffle and conversion, with its changes, and the
    // protected stretches of the input.
    std::optional<TracedRewrite> traced;
    std::vector<TextSpan> kept;

    bool ok() const { return error.empty(); }
};

// Rewrites articles with the built-in dictionary and the run's settings. Built once per run and
// shared by all worker threads: the phrase rewriter keeps nothing between calls, and
// the one part that does (the script converter's tables) is kept per thread.
class ArticleRewriter
{
public:
    ArticleRewriter(PhraseDictionary dictionary, RewriteSettings settings);

    // An empty article gives an empty result. An article holding the input box's placeholder text
    // is refused, as the window refuses it.
    ArticleResult rewrite(std::u16string_view article) const;

    // The stretches a long article is cut into so that several threads can rewrite it: cut just
    // after line breaks, into at most `threadsPerArticle` parts. One part when cutting could change
    // the result (a source or a protected term holding a line break) or the article is short.
    std::vector<std::u16string_view> partsForThreads(std::u16string_view article) const;

    const PhraseDictionary& dictionary() const { return m_rewriter.dictionary(); }

private:
    ProtectedRewrite rewriteInParts(std::u16string_view article) const;
    void traceInParts(std::u16string_view article, ArticleResult& result) const;
    template <typename Rewrite>
    auto eachPartOnItsThread(std::u16string_view article, Rewrite rewritePart) const;
    void shuffleInto(ArticleResult& result) const;

    // Declared in the order the constructor needs: the dictionary is moved into the rewriter last.
    RewriteSettings m_settings;
    ProtectedTerms m_protectedTerms;
    bool m_lineBreaksCutCleanly;
    PhraseRewriter m_rewriter;
};

} // namespace pexa::cli
