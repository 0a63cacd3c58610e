#include "ArticleRewriter.h"

#include "Placeholders.h"
#include "SentenceShuffle.h"
#include "TextOps.h"

namespace pexa::cli {

ArticleRewriter::ArticleRewriter(const PhraseDictionary& dictionary, RewriteSettings settings)
    : m_settings(std::move(settings)), m_rewriter(dictionary)
{
    if (m_settings.measure)
        m_counter.emplace(dictionary);
    if (m_settings.traditional)
        m_converter = std::make_unique<ScriptConverter>();
}

ArticleResult ArticleRewriter::rewrite(std::u16string_view article) const
{
    ArticleResult result;
    if (article.empty())
        return result;
    if (text::contains(article, placeholders::inputMarker)) {
        result.error = "holds the window's input placeholder \"请输入要伪原创的内容\", which the "
                       "window treats as no input; not rewritten";
        return result;
    }
    result.text = rewriteProtected(article, m_rewriter, m_settings.protectedTerms);
    if (m_settings.shuffle)
        shuffleInto(result);
    if (m_converter)
        result.text = m_converter->convert(result.text, Script::Traditional);
    if (m_counter) {
        result.replacements = countReplacements(article);
        result.changeRate = measureChangeRate(article, result.text);
    }
    return result;
}

void ArticleRewriter::shuffleInto(ArticleResult& result) const
{
    SeededRandom seeded(m_settings.seed.value_or(0));
    ClockRandom clock;
    RandomSource& random = m_settings.seed ? static_cast<RandomSource&>(seeded) : clock;
    ShuffleOutcome outcome = shuffleSentences(result.text, random);
    switch (outcome.status) {
    case ShuffleStatus::Shuffled:
        result.text = std::move(outcome.text);
        break;
    case ShuffleStatus::TooFewSentences:
        result.notes.push_back("not shuffled: fewer than two sentences");
        break;
    case ShuffleStatus::NothingRewritten:
        result.notes.push_back("not shuffled: it is just the window's result placeholder");
        break;
    }
}

// Replacements happen only in the stretches between protected terms, each rewritten on its own.
std::size_t ArticleRewriter::countReplacements(std::u16string_view article) const
{
    std::size_t total = 0;
    const std::vector<TextSpan> covered = m_settings.protectedTerms.coveredSpans(article);
    for (std::u16string_view gap : gapsBetween(article, covered))
        total += m_counter->count(gap);
    return total;
}

} // namespace pexa::cli
