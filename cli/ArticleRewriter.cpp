#include "ArticleRewriter.h"

#include "Placeholders.h"
#include "ScriptConverter.h"
#include "SentenceShuffle.h"
#include "TextOps.h"
#include "WorkerThreads.h"

#include <algorithm>
#include <future>

namespace pexa::cli {
namespace {

// Below this many code units a part is not worth a thread of its own.
constexpr std::size_t smallestPart = 32 * 1024;

bool anySourceHoldsLineBreak(const PhraseDictionary& dictionary)
{
    return std::any_of(
        dictionary.entries().begin(), dictionary.entries().end(),
        [](const PhraseEntry& entry) { return entry.source.find(u'\n') != std::u16string::npos; });
}

// The converter loads its tables on first use and is not meant to be shared between threads, so
// each thread that converts keeps its own.
const ScriptConverter& threadConverter()
{
    thread_local const ScriptConverter converter;
    return converter;
}

} // namespace

ArticleRewriter::ArticleRewriter(PhraseDictionary dictionary, RewriteSettings settings)
    : m_settings(std::move(settings)), m_protectedTerms(m_settings.protectedTerms),
      m_lineBreaksCutCleanly(!anySourceHoldsLineBreak(dictionary) &&
                             !m_protectedTerms.anyTermHolds(u'\n')),
      m_rewriter(std::move(dictionary))
{
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
    if (m_settings.trace) {
        traceInParts(article, result);
    } else {
        ProtectedRewrite rewritten = rewriteInParts(article);
        result.text = std::move(rewritten.text);
        result.replacements = rewritten.replacements;
    }
    if (m_settings.shuffle)
        shuffleInto(result);
    if (m_settings.traditional)
        result.text = threadConverter().convert(result.text, Script::Traditional);
    if (m_settings.measure)
        result.changeRate = measureChangeRate(article, result.text);
    else
        result.replacements = 0;
    return result;
}

std::vector<std::u16string_view> ArticleRewriter::partsForThreads(std::u16string_view article) const
{
    const std::size_t wanted =
        std::min<std::size_t>(m_settings.threadsPerArticle, article.size() / smallestPart);
    if (wanted < 2 || !m_lineBreaksCutCleanly)
        return {article};
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    for (std::size_t part = 1; part < wanted; ++part) {
        const std::size_t lineBreak =
            article.find(u'\n', std::max(start, article.size() * part / wanted));
        if (lineBreak == std::u16string_view::npos)
            break;
        parts.push_back(article.substr(start, lineBreak + 1 - start));
        start = lineBreak + 1;
    }
    parts.push_back(article.substr(start));
    return parts;
}

// No source or protected term holds a line break, so no match and no term crosses one: the parts
// rewritten on their own and joined give exactly the rewrite of the whole. Returns each part's
// rewrite, in order.
template <typename Rewrite>
auto ArticleRewriter::eachPartOnItsThread(std::u16string_view article, Rewrite rewritePart) const
{
    const std::vector<std::u16string_view> parts = partsForThreads(article);
    using Part = decltype(rewritePart(article));
    std::vector<std::future<Part>> laterParts;
    for (std::size_t i = 1; i < parts.size(); ++i)
        laterParts.push_back(std::async(onThreadIfPossible, rewritePart, parts[i]));
    std::vector<Part> rewritten;
    rewritten.push_back(rewritePart(parts.front()));
    for (std::future<Part>& future : laterParts)
        rewritten.push_back(future.get());
    return rewritten;
}

ProtectedRewrite ArticleRewriter::rewriteInParts(std::u16string_view article) const
{
    ProtectedRewrite whole;
    for (const ProtectedRewrite& part :
         eachPartOnItsThread(article, [this](std::u16string_view part) {
             return rewriteProtected(part, m_rewriter, m_protectedTerms);
         })) {
        whole.text += part.text;
        whole.replacements += part.replacements;
    }
    return whole;
}

// The parts' changes and protected stretches are moved to their places in the whole.
void ArticleRewriter::traceInParts(std::u16string_view article, ArticleResult& result) const
{
    struct TracedPart
    {
        std::size_t length;
        std::vector<TextSpan> kept;
        TracedRewrite rewrite;
    };
    TracedRewrite whole;
    std::size_t originalOffset = 0;
    for (TracedPart& part : eachPartOnItsThread(article, [this](std::u16string_view part) {
             std::vector<TextSpan> kept = m_protectedTerms.coveredSpans(part);
             TracedRewrite rewrite = rewriteTraced(part, m_rewriter, kept);
             return TracedPart{part.size(), std::move(kept), std::move(rewrite)};
         })) {
        const std::size_t resultOffset = whole.text.size();
        for (TracedChange& change : part.rewrite.changes) {
            change.original = {change.original.begin + originalOffset,
                               change.original.end + originalOffset};
            change.result = {change.result.begin + resultOffset, change.result.end + resultOffset};
            whole.changes.push_back(std::move(change));
        }
        for (const TextSpan& span : part.kept)
            result.kept.push_back({span.begin + originalOffset, span.end + originalOffset});
        whole.text += part.rewrite.text;
        whole.replacements += part.rewrite.replacements;
        originalOffset += part.length;
    }
    result.text = whole.text;
    result.replacements = whole.replacements;
    result.traced = std::move(whole);
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

} // namespace pexa::cli
