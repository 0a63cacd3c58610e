#pragma once

#include "PhraseAutomaton.h"
#include "PhraseDictionary.h"

#include <cstdint>
#include <span>
#include <string_view>

// The built-in dictionary and its phrase automaton as read-only tables compiled into the program,
// so that starting costs nothing and processes share the pages. IndexGenerator builds them when the
// program is built, with the same code that builds them at run time from any other dictionary.
namespace pexa {

namespace data {

// An entry as places in the array of all phrases' code units: the replacement follows the source.
// Places rather than pointers, so that the table needs no relocation when the program is loaded.
struct BuiltinPhrase
{
    std::uint32_t sourceBegin;
    std::uint16_t sourceLength;
    std::uint16_t replacementLength;
};

struct BuiltinPhrases
{
    std::span<const char16_t> units;
    std::span<const BuiltinPhrase> entries;

    std::u16string_view source(const BuiltinPhrase& entry) const
    {
        return {units.data() + entry.sourceBegin, entry.sourceLength};
    }
    std::u16string_view replacement(const BuiltinPhrase& entry) const
    {
        return {units.data() + entry.sourceBegin + entry.sourceLength, entry.replacementLength};
    }
};

// The merged built-in lists, entry by entry (generated).
extern const BuiltinPhrases builtinPhrases;
// PhraseAutomaton(loadBuiltinDictionary()).tables(), compiled in (generated).
extern const PhraseAutomaton::Tables builtinAutomatonTables;

} // namespace data

// The automaton of a dictionary: the compiled-in one for the built-in dictionary, otherwise one
// built now (a dictionary given at run time).
PhraseAutomaton automatonFor(const PhraseDictionary& dictionary);

} // namespace pexa
