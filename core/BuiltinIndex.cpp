#include "BuiltinIndex.h"

#include "BuiltinDictionary.h"

#include <algorithm>

namespace pexa {

namespace {

// The compiled-in entries as a dictionary, made once; every copy shares its entries.
const PhraseDictionary& builtinDictionary()
{
    static const PhraseDictionary dictionary = [] {
        const data::BuiltinPhrases& builtin = data::builtinPhrases;
        std::vector<PhraseEntry> entries;
        entries.reserve(builtin.entries.size());
        for (const data::BuiltinPhrase& phrase : builtin.entries)
            entries.push_back({std::u16string(builtin.source(phrase)),
                               std::u16string(builtin.replacement(phrase))});
        return PhraseDictionary::fromSplitEntries(std::move(entries));
    }();
    return dictionary;
}

// A copy of builtinDictionary() shares its entries; any other dictionary with the same entries is
// the built-in one too.
bool isBuiltin(const PhraseDictionary& dictionary)
{
    const data::BuiltinPhrases& builtin = data::builtinPhrases;
    if (dictionary.size() != builtin.entries.size())
        return false;
    if (&dictionary.entries() == &builtinDictionary().entries())
        return true;
    return std::equal(dictionary.entries().begin(), dictionary.entries().end(),
                      builtin.entries.begin(),
                      [&](const PhraseEntry& entry, const data::BuiltinPhrase& phrase) {
                          return entry.source == builtin.source(phrase) &&
                                 entry.replacement == builtin.replacement(phrase);
                      });
}

} // namespace

PhraseDictionary loadBuiltinDictionary()
{
    return builtinDictionary();
}

PhraseAutomaton automatonFor(const PhraseDictionary& dictionary)
{
    return isBuiltin(dictionary) ? PhraseAutomaton(data::builtinAutomatonTables)
                                 : PhraseAutomaton(dictionary);
}

} // namespace pexa
