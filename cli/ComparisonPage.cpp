#include "ComparisonPage.h"

#include "BatchRunner.h"
#include "Utf8.h"

namespace pexa::cli {
namespace {

constexpr std::string_view pageStyle = R"(
body { font: 15px/1.6 "WenQuanYi Micro Hei", "Noto Sans CJK SC", sans-serif; margin: 1.5em; }
table { border-collapse: collapse; table-layout: fixed; width: 100%; }
th, td { border: 1px solid #ccc; padding: .3em .5em; vertical-align: top; width: 50%;
         white-space: pre-wrap; overflow-wrap: anywhere; }
th { background: #f3f3f3; }
mark.c { background: #ffe08a; }
td.result mark.c { background: #b9f0b9; }
mark.c.deleted::after { content: "\2205"; color: #a00; }
span.p { background: #dde8ff; outline: 1px dashed #5577cc; }
.stats { color: #444; }
.note { background: #fff4d6; border-left: 4px solid #e0a800; padding: .4em .8em; }
)";

std::u16string_view slice(std::u16string_view text, TextSpan span)
{
    return text.substr(span.begin, span.end - span.begin);
}

// Builds the rows of one article's table: unchanged text goes into both columns at once, so the
// columns break into rows at the same line breaks.
class RowWriter
{
public:
    explicit RowWriter(const std::vector<TextSpan>& kept) : m_kept(kept) {}

    // Text that is the same on both sides: original[from, to). Protected stretches get their style.
    void unchanged(std::u16string_view original, std::size_t from, std::size_t to)
    {
        while (from < to) {
            while (m_nextKept < m_kept.size() && m_kept[m_nextKept].end <= from)
                ++m_nextKept;
            const bool inKept = m_nextKept < m_kept.size() && m_kept[m_nextKept].begin <= from;
            const std::size_t stop =
                m_nextKept == m_kept.size()
                    ? to
                    : std::min(to, inKept ? m_kept[m_nextKept].end : m_kept[m_nextKept].begin);
            lines(original.substr(from, stop - from), inKept);
            from = stop;
        }
    }

    void change(std::u16string_view before, std::u16string_view after, const std::string& title)
    {
        const std::string open = "<mark class=\"c\" title=\"" + title + "\">";
        m_left += open + escapeHtml(before) + "</mark>";
        m_right += (after.empty() ? "<mark class=\"c deleted\" title=\"" + title + "\">" : open) +
                   escapeHtml(after) + "</mark>";
    }

    std::string finish()
    {
        endRow();
        return std::move(m_rows);
    }

private:
    void lines(std::u16string_view text, bool isKept)
    {
        for (;;) {
            const std::size_t lineBreak = text.find(u'\n');
            const std::string html = escapeHtml(text.substr(0, lineBreak));
            const std::string piece =
                isKept && !html.empty() ? "<span class=\"p\">" + html + "</span>" : html;
            m_left += piece;
            m_right += piece;
            if (lineBreak == std::u16string_view::npos)
                return;
            endRow();
            text.remove_prefix(lineBreak + 1);
        }
    }

    void endRow()
    {
        if (!m_left.empty() || !m_right.empty())
            m_rows += "<tr><td class=\"original\">" + m_left + "</td><td class=\"result\">" +
                      m_right + "</td></tr>\n";
        m_left.clear();
        m_right.clear();
    }

    const std::vector<TextSpan>& m_kept;
    std::size_t m_nextKept = 0;
    std::string m_left;
    std::string m_right;
    std::string m_rows;
};

std::string countText(std::size_t count, std::string_view one, std::string_view many)
{
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

} // namespace

std::string escapeHtml(std::u16string_view text)
{
    const std::string utf8 = utf8::encode(text);
    std::string escaped;
    escaped.reserve(utf8.size());
    for (char byte : utf8) {
        switch (byte) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += byte;
        }
    }
    return escaped;
}

std::u16string chainText(std::u16string_view original, const std::vector<std::int32_t>& entries,
                         const PhraseDictionary& dictionary)
{
    std::u16string steps(original);
    std::u16string_view previous = original;
    bool isCascade = true;
    std::u16string pairs;
    for (std::int32_t position : entries) {
        const PhraseEntry& entry = dictionary[std::size_t(position)];
        isCascade = isCascade && entry.source == previous;
        previous = entry.replacement;
        steps += u" → " + entry.replacement;
        pairs += (pairs.empty() ? u"" : u", ") + entry.source + u"→" + entry.replacement;
    }
    return isCascade ? steps : pairs;
}

std::string articleSection(const ComparedArticle& article, const PhraseDictionary& dictionary,
                           std::size_t sectionNumber)
{
    const std::u16string_view result = article.rewrite.text;
    RowWriter rows(article.kept);
    std::size_t original = 0;
    for (const TracedChange& change : article.rewrite.changes) {
        rows.unchanged(article.original, original, change.original.begin);
        const std::u16string_view before = slice(article.original, change.original);
        rows.change(before, slice(result, change.result),
                    escapeHtml(chainText(before, change.entries, dictionary)));
        original = change.original.end;
    }
    rows.unchanged(article.original, original, article.original.size());

    const std::string label = escapeHtml(utf8::decode(article.label).value_or(u"?"));
    return "<section id=\"a" + std::to_string(sectionNumber) + "\">\n<h2>" + label +
           "</h2>\n<p class=\"stats\">" +
           changeSummary(article.rewrite.replacements, article.changeRate) + ", " +
           countText(article.rewrite.changes.size(), "marked change", "marked changes") +
           "</p>\n<table>\n<tr><th>Original</th><th>Rewritten</th></tr>\n" + rows.finish() +
           "</table>\n</section>\n";
}

std::string comparisonPage(const std::vector<std::string>& sections, const PageSettings& settings,
                           std::size_t replacements, const ChangeRate& changeRate)
{
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
        "style-src 'unsafe-inline'\">\n<title>pexa-rewrite: original and result</title>\n"
        "<style>" +
        std::string(pageStyle) + "</style>\n</head>\n<body>\n<h1>Original and result</h1>\n" +
        "<p class=\"summary\">" + countText(sections.size(), "article", "articles") + ", " +
        changeSummary(replacements, changeRate) + " overall; dictionary of " +
        countText(settings.dictionarySize, "entry", "entries") +
        ". Marked text came out different; hover over it for the entries that made it. "
        "<span class=\"p\">Protected terms</span> are kept as they are.</p>\n";
    if (settings.shuffle || settings.traditional) {
        const std::string steps = settings.shuffle && settings.traditional
                                      ? "shuffled and converted to traditional characters"
                                  : settings.shuffle ? "shuffled"
                                                     : "converted to traditional characters";
        page += "<p class=\"note\">The results were then " + steps +
                ", which a side-by-side view cannot follow: the right column shows each rewrite "
                "before that step. The change rates are those of the final results.</p>\n";
    }
    for (const std::string& section : sections)
        page += section;
    return page + "</body>\n</html>\n";
}

} // namespace pexa::cli
