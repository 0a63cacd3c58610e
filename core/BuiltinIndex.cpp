#include "BuiltinIndex.h"

#include "BuiltinDictionary.h"

#include <algorithm>

namespace pexa {

namespace {

bool isBuiltin(const PhraseDictionary& dictionary)
{
    const data::BuiltinPhrases& builtin = data::builtinPhrases;
    return std::equal(dictionary.entries().begin(), dictionary.entries().end(),
                      builtin.entries.begin(), builtin.entries.end(),
                      [&](const PhraseEntry& entry, const data::BuiltinPhrase& phrase) {
                          return entry.source == builtin.source(phrase) &&
                                 entry.replacement == builtin.replacement(phrase);
                      });
}

} // namespace

PhraseDictionary loadBuiltinDictionary()
{
    const data::BuiltinPhrases& builtin = data::builtinPhrases;
    std::vector<PhraseEntry> entries;
    entries.reserve(builtin.entries.size());
    for (const data::BuiltinPhrase& phrase : builtin.entries)
        entries.push_back(
            {std::u16string(builtin.source(phrase)), std::u16string(builtin.replacement(phrase))});
    return PhraseDictionary::fromSplitEntries(std::move(entries));
}

PhraseAutomaton automatonFor(const PhraseDictionary& dictionary)
{
    return isBuiltin(dictionary) ? PhraseAutomaton(data::builtinAutomatonTables)
                                 : PhraseAutomaton(dictionary);
}

} // namespace pexa
