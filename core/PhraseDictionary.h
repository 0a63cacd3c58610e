#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pexa {

// One substitution: every occurrence of `source` becomes `replacement`.
struct PhraseEntry
{
    std::u16string source;
    std::u16string replacement;
};

// A dictionary entry that cannot be read ("source=replacement" without "=").
class InvalidPhraseEntry : public std::runtime_error
{
public:
    InvalidPhraseEntry(std::size_t position, const std::string& entryUtf8);

    // 0-based position of the entry in the merged dictionary.
    std::size_t position() const { return m_position; }

private:
    std::size_t m_position;
};

// The merged list would hold more entries than the dictionary's 16-bit positions can address.
class DictionaryTooLarge : public std::length_error
{
public:
    explicit DictionaryTooLarge(std::size_t entryCount);
};

// The ordered phrase dictionary. Entries are applied in this order; order decides the result.
// A dictionary never changes once made, so copies share their entries.
class PhraseDictionary
{
public:
    // Largest number of entries: positions are 16-bit signed.
    static constexpr std::size_t maxEntries = 32767;

    PhraseDictionary();

    // Reads entries of the form "source=replacement". The entry is split at every "=": field 0 is
    // the source, field 1 the replacement, further fields are ignored ("=摆布=支配" has an empty
    // source and changes nothing). Throws InvalidPhraseEntry for an entry without "=",
    // DictionaryTooLarge past maxEntries.
    static PhraseDictionary fromEntries(const std::vector<std::u16string>& entries);

    // Entries already split into source and replacement (the compiled-in dictionary). Throws
    // DictionaryTooLarge past maxEntries.
    static PhraseDictionary fromSplitEntries(std::vector<PhraseEntry> entries);

    // A dictionary of pairs already split, in this order, for the command line's own dictionaries.
    // Not bound by maxEntries: the engine addresses entries by 32-bit positions.
    static PhraseDictionary fromPairs(std::vector<PhraseEntry> entries);

    std::size_t size() const { return m_entries->size(); }
    const PhraseEntry& operator[](std::size_t position) const { return (*m_entries)[position]; }
    const std::vector<PhraseEntry>& entries() const { return *m_entries; }

private:
    explicit PhraseDictionary(std::vector<PhraseEntry> entries);

    std::shared_ptr<const std::vector<PhraseEntry>> m_entries;
};

} // namespace pexa
