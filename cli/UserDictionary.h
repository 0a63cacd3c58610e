#pragma once

#include "BuiltinDictionary.h"
#include "CommandLine.h"
#include "PhraseDictionary.h"

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// The writer's own dictionaries (--dictionary), the built-in entries they switch off (--without),
// and the dictionary a run applies made from both.
namespace pexa::cli {

// Where an entry came from, for messages: "my.txt:12".
std::string fileLine(const std::string& file, std::size_t line);

// Entries of the writer's dictionary files, in file order, checked line by line. A file has one
// "source=replacement" a line, like the built-in lists; lines starting with "#" and blank lines are
// skipped. Every malformed line is a problem "FILE:LINE: reason".
class UserEntries
{
public:
    // Reads one file's text (already decoded) after the files added before it.
    void addFile(const std::string& file, std::u16string_view text);

    const std::vector<PhraseEntry>& entries() const { return m_entries; }
    const std::vector<std::string>& problems() const { return m_problems; }

private:
    // Why the line cannot be an entry; empty when it can.
    std::string checkLine(std::u16string_view line,
                          const std::vector<std::u16string>& fields) const;

    std::vector<PhraseEntry> m_entries;
    std::map<std::u16string, std::string, std::less<>> m_placeOfSource; // "FILE:LINE"
    std::vector<std::string> m_problems;
};

// The built-in entries a --without file names: a whole entry ("系统=体系") or a bare source
// ("系统"), one a line, with the same comment and blank lines. A line naming no built-in entry is a
// problem "FILE:LINE: reason", since it is most likely a typing error.
class SkippedEntries
{
public:
    explicit SkippedEntries(const PhraseList& builtin);

    void addFile(const std::string& file, std::u16string_view text);

    // Whether the built-in entry (as it stands in its list) is switched off.
    bool skips(const std::u16string& builtinEntry) const;
    const std::vector<std::string>& problems() const { return m_problems; }

private:
    std::set<std::u16string, std::less<>> m_builtinEntries;
    std::set<std::u16string, std::less<>> m_builtinSources;
    std::set<std::u16string, std::less<>> m_skipped; // whole entries and bare sources
    std::vector<std::string> m_problems;
};

// The run's dictionary: the built-in entries not skipped (none with `withoutBuiltin`), then the
// writer's entries in file order.
PhraseDictionary assembleDictionary(const PhraseList& builtin, const SkippedEntries& skipped,
                                    bool withoutBuiltin, const UserEntries& user);

struct AssembledDictionary
{
    PhraseDictionary dictionary;
    std::vector<std::string> problems; // "FILE:LINE: reason", or "FILE: reason" for a whole file
};

// The dictionary of a run from its --dictionary, --without and --no-builtin options, their files
// read and checked. Only worth calling when one of them is given.
AssembledDictionary dictionaryFromFiles(const Options& options);

// Whether the options change the dictionary from the built-in one.
bool usesOwnDictionary(const Options& options);

// The built-in dictionary as a dictionary file (UTF-8, one entry a line, in the order of
// application), so that --no-builtin --dictionary with it rewrites as the built-in one does. The
// entries with an empty source, which change nothing, stand as comments.
std::string builtinListing();

// The lines of a dictionary file with their 1-based numbers, without line ends, comment lines and
// blank lines.
struct NumberedLine
{
    std::size_t number;
    std::u16string_view text;
};
std::vector<NumberedLine> meaningfulLines(std::u16string_view text);

} // namespace pexa::cli
