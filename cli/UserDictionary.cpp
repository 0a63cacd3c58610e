#include "UserDictionary.h"

#include "FileIo.h"
#include "TextCodec.h"
#include "TextOps.h"
#include "Utf8.h"

#include <algorithm>
#include <iterator>

namespace pexa::cli {
namespace {

bool isBlank(char16_t unit)
{
    return unit == u' ' || unit == u'\t' || unit == u'\u3000' || unit == u'\u00A0';
}

bool holdsBlank(std::u16string_view text)
{
    return std::any_of(text.begin(), text.end(), isBlank);
}

std::string inQuotes(std::u16string_view text)
{
    std::string quoted = "\"";
    quoted += utf8::encode(text);
    quoted += '"';
    return quoted;
}

} // namespace

std::string fileLine(const std::string& file, std::size_t line)
{
    return file + ":" + std::to_string(line);
}

std::vector<NumberedLine> meaningfulLines(std::u16string_view text)
{
    std::vector<NumberedLine> lines;
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = std::min(text.find(u'\n'), text.size());
        std::u16string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.ends_with(u'\r'))
            line.remove_suffix(1);
        if (!line.starts_with(u'#') && !std::all_of(line.begin(), line.end(), isBlank))
            lines.push_back({number, line});
    }
    return lines;
}

void UserEntries::addFile(const std::string& file, std::u16string_view text)
{
    for (const NumberedLine& line : meaningfulLines(text)) {
        const std::vector<std::u16string> fields = text::split(line.text, u"=");
        if (std::string reason = checkLine(line.text, fields); !reason.empty()) {
            m_problems.push_back(fileLine(file, line.number) + ": " + reason);
            continue;
        }
        m_placeOfSource.emplace(fields[0], fileLine(file, line.number));
        m_entries.push_back({fields[0], fields[1]});
    }
}

std::string UserEntries::checkLine(std::u16string_view line,
                                   const std::vector<std::u16string>& fields) const
{
    if (fields.size() < 2)
        return "no \"=\" between source and replacement in " + inQuotes(line);
    if (fields.size() > 2)
        return "more than one \"=\" in " + inQuotes(line);
    if (holdsBlank(line))
        return "a blank inside " + inQuotes(line) + " (blanks would be part of the phrases)";
    if (fields[0].empty())
        return "an empty source in " + inQuotes(line) + " (it would replace nothing)";
    if (fields[0] == fields[1])
        return "source and replacement are the same in " + inQuotes(line);
    if (const auto first = m_placeOfSource.find(fields[0]); first != m_placeOfSource.end())
        return "the source " + inQuotes(fields[0]) + " again (first at " + first->second + ")";
    return {};
}

SkippedEntries::SkippedEntries(const PhraseList& builtin)
{
    for (const std::u16string& entry : builtin) {
        m_builtinEntries.insert(entry);
        m_builtinSources.insert(text::split(entry, u"=").front());
    }
}

void SkippedEntries::addFile(const std::string& file, std::u16string_view text)
{
    for (const NumberedLine& line : meaningfulLines(text)) {
        const bool known = line.text.find(u'=') == std::u16string_view::npos
                               ? m_builtinSources.contains(line.text)
                               : m_builtinEntries.contains(line.text);
        if (known)
            m_skipped.emplace(line.text);
        else
            m_problems.push_back(fileLine(file, line.number) + ": " + inQuotes(line.text) +
                                 " is no built-in entry or source (see --list-builtin)");
    }
}

bool SkippedEntries::skips(const std::u16string& builtinEntry) const
{
    return m_skipped.contains(builtinEntry) ||
           m_skipped.contains(text::split(builtinEntry, u"=").front());
}

PhraseDictionary assembleDictionary(const PhraseList& builtin, const SkippedEntries& skipped,
                                    bool withoutBuiltin, const UserEntries& user)
{
    PhraseList kept;
    if (!withoutBuiltin)
        std::copy_if(builtin.begin(), builtin.end(), std::back_inserter(kept),
                     [&](const std::u16string& entry) { return !skipped.skips(entry); });
    std::vector<PhraseEntry> entries = PhraseDictionary::fromEntries(kept).entries();
    entries.insert(entries.end(), user.entries().begin(), user.entries().end());
    return PhraseDictionary::fromPairs(std::move(entries));
}

namespace {

// Reads each file and hands its text to `add`; a file that cannot be read is a problem.
template <typename Add>
void readEach(const std::vector<std::string>& files, std::vector<std::string>& problems, Add add)
{
    for (const std::string& file : files) {
        const ReadOutcome read = readWholeFile(file);
        const DecodedArticle decoded = read.ok() ? decodeArticle(read.bytes) : DecodedArticle();
        if (!read.ok() || !decoded.ok())
            problems.push_back(file + ": " + (read.ok() ? decoded.error : read.error));
        else
            add(file, decoded.text);
    }
}

} // namespace

bool usesOwnDictionary(const Options& options)
{
    return !options.dictionaryFiles.empty() || !options.withoutFiles.empty() || options.noBuiltin;
}

AssembledDictionary dictionaryFromFiles(const Options& options)
{
    PhraseList builtin;
    for (const PhraseList& list : builtinPhraseLists())
        builtin.insert(builtin.end(), list.begin(), list.end());
    AssembledDictionary assembled;
    std::vector<std::string>& problems = assembled.problems;
    UserEntries user;
    readEach(options.dictionaryFiles, problems,
             [&](const std::string& file, std::u16string_view text) { user.addFile(file, text); });
    problems.insert(problems.end(), user.problems().begin(), user.problems().end());
    SkippedEntries skipped(builtin);
    readEach(
        options.withoutFiles, problems,
        [&](const std::string& file, std::u16string_view text) { skipped.addFile(file, text); });
    problems.insert(problems.end(), skipped.problems().begin(), skipped.problems().end());
    if (problems.empty())
        assembled.dictionary = assembleDictionary(builtin, skipped, options.noBuiltin, user);
    return assembled;
}

std::string builtinListing()
{
    const PhraseDictionary dictionary = loadBuiltinDictionary();
    std::string listing = "# The built-in dictionary: " + std::to_string(dictionary.size()) +
                          " entries, applied from top to bottom.\n";
    for (const PhraseList& list : builtinPhraseLists()) {
        for (const std::u16string& entry : list) {
            const bool changesNothing = entry.starts_with(u'=');
            listing += (changesNothing ? "# " : "") + utf8::encode(entry) +
                       (changesNothing ? "  (empty source: changes nothing)\n" : "\n");
        }
    }
    return listing;
}

} // namespace pexa::cli
