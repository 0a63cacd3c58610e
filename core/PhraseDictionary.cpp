#include "PhraseDictionary.h"

#include "TextOps.h"
#include "Utf8.h"

namespace pexa {

InvalidPhraseEntry::InvalidPhraseEntry(std::size_t position, const std::string& entryUtf8)
    : std::runtime_error("phrase entry " + std::to_string(position) +
                         " has no \"=\": " + entryUtf8),
      m_position(position)
{
}

DictionaryTooLarge::DictionaryTooLarge(std::size_t entryCount)
    : std::length_error("phrase dictionary of " + std::to_string(entryCount) +
                        " entries exceeds the limit of " +
                        std::to_string(PhraseDictionary::maxEntries))
{
}

PhraseDictionary::PhraseDictionary() : PhraseDictionary(std::vector<PhraseEntry>()) {}

PhraseDictionary::PhraseDictionary(std::vector<PhraseEntry> entries)
    : m_entries(std::make_shared<const std::vector<PhraseEntry>>(std::move(entries)))
{
}

PhraseDictionary PhraseDictionary::fromEntries(const std::vector<std::u16string>& entries)
{
    if (entries.size() > maxEntries)
        throw DictionaryTooLarge(entries.size());
    std::vector<PhraseEntry> split;
    split.reserve(entries.size());
    for (std::size_t position = 0; position < entries.size(); ++position) {
        const std::vector<std::u16string> fields = text::split(entries[position], u"=");
        if (fields.size() < 2)
            throw InvalidPhraseEntry(position, utf8::encode(entries[position]));
        split.push_back({fields[0], fields[1]});
    }
    return PhraseDictionary(std::move(split));
}

PhraseDictionary PhraseDictionary::fromSplitEntries(std::vector<PhraseEntry> entries)
{
    if (entries.size() > maxEntries)
        throw DictionaryTooLarge(entries.size());
    return fromPairs(std::move(entries));
}

PhraseDictionary PhraseDictionary::fromPairs(std::vector<PhraseEntry> entries)
{
    return PhraseDictionary(std::move(entries));
}

} // namespace pexa
