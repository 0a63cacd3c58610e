#pragma once

#include "ChangeReport.h"
#include "PhraseDictionary.h"
#include "TextSpan.h"
#include "TracedRewrite.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The --compare page: one self-contained HTML file (no scripts, nothing loaded from elsewhere) with
// every article of a run and its result side by side, paragraph by paragraph, each net change
// marked in both columns with its chain of entries as a tooltip.
namespace pexa::cli {

// What the page shows of one article.
struct ComparedArticle
{
    std::string label; // how messages name the article
    std::u16string_view original;
    const TracedRewrite& rewrite; // before any shuffle or conversion
    std::vector<TextSpan> kept;   // protected stretches of the original
    ChangeRate changeRate;        // of the final result, as --stats gives it
};

// The run's settings the page has to explain.
struct PageSettings
{
    std::size_t dictionarySize = 0; // entries applied
    bool shuffle = false;
    bool traditional = false;
};

// One article's section: its name, replacements and change rate, then a two-column table with a
// row per paragraph. Everything from the article is escaped.
std::string articleSection(const ComparedArticle& article, const PhraseDictionary& dictionary,
                           std::size_t sectionNumber);

// The whole page around the sections (in batch order): the batch summary at the top, and a note
// when the results were shuffled or converted afterwards.
std::string comparisonPage(const std::vector<std::string>& sections, const PageSettings& settings,
                           std::size_t replacements, const ChangeRate& changeRate);

// Text made safe for HTML content and attribute values: & < > " ' escaped.
std::string escapeHtml(std::u16string_view text);

// The tooltip of a change: "大喜过望 → 大失所望 → 事与愿违" when each entry rewrote what the one
// before it gave, otherwise the entries one by one: "免费使用→无偿使用, 使用→运用".
std::u16string chainText(std::u16string_view original, const std::vector<std::int32_t>& entries,
                         const PhraseDictionary& dictionary);

} // namespace pexa::cli
