// The compiled-in index against the run-time path: the dictionary and automaton written into the
// program when it was built must be those that parsing the lists and building the automaton give
// now, and only the built-in dictionary may use them.

#include "BuiltinIndex.h"

#include "BuiltinDictionary.h"
#include "PhraseSubstitution.h"
#include "TextRewriter.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <span>

using namespace pexa;

namespace {

// The dictionary as the run-time path reads it from the list texts.
const PhraseDictionary& parsedDictionary()
{
    static const PhraseDictionary parsed = mergePhraseLists(builtinPhraseLists());
    return parsed;
}

template <typename Item> bool sameItems(std::span<const Item> a, std::span<const Item> b)
{
    return std::ranges::equal(a, b);
}

bool viewsCompiledInTables(const PhraseAutomaton& automaton)
{
    return automaton.tables().transitions.data() == data::builtinAutomatonTables.transitions.data();
}

} // namespace

TEST(BuiltinIndexTest, CompiledInDictionaryIsTheParsedLists)
{
    const PhraseDictionary compiledIn = loadBuiltinDictionary();
    ASSERT_EQ(compiledIn.size(), parsedDictionary().size());
    for (std::size_t position = 0; position < compiledIn.size(); ++position) {
        EXPECT_EQ(compiledIn[position].source, parsedDictionary()[position].source) << position;
        EXPECT_EQ(compiledIn[position].replacement, parsedDictionary()[position].replacement)
            << position;
    }
}

TEST(BuiltinIndexTest, CompiledInAutomatonIsTheOneBuiltAtRunTime)
{
    const PhraseAutomaton built(parsedDictionary());
    const PhraseAutomaton::Tables& runTime = built.tables();
    const PhraseAutomaton::Tables& compiledIn = data::builtinAutomatonTables;
    EXPECT_TRUE(sameItems(runTime.classOf, compiledIn.classOf));
    EXPECT_TRUE(sameItems(runTime.transitions, compiledIn.transitions));
    EXPECT_TRUE(sameItems(runTime.links, compiledIn.links));
    EXPECT_TRUE(sameItems(runTime.matches, compiledIn.matches));
    EXPECT_EQ(runTime.longestSource, compiledIn.longestSource);
    EXPECT_FALSE(viewsCompiledInTables(built));
}

TEST(BuiltinIndexTest, OnlyTheBuiltinDictionaryGetsTheCompiledInAutomaton)
{
    EXPECT_TRUE(viewsCompiledInTables(automatonFor(loadBuiltinDictionary())));

    // The same entries but the last replacement: a dictionary given at run time.
    std::vector<std::u16string> entries;
    for (const PhraseEntry& entry : parsedDictionary().entries())
        entries.push_back(entry.source + u"=" + entry.replacement);
    const std::u16string lastSource = parsedDictionary().entries().back().source;
    entries.back() = lastSource + u"=另一个";
    const PhraseDictionary changed = PhraseDictionary::fromEntries(entries);
    EXPECT_FALSE(viewsCompiledInTables(automatonFor(changed)));
    EXPECT_EQ(PhraseRewriter(changed).rewrite(lastSource), u"另一个");

    // Fewer entries are no built-in dictionary either, nor is the empty one.
    entries.pop_back();
    EXPECT_FALSE(viewsCompiledInTables(automatonFor(PhraseDictionary::fromEntries(entries))));
    EXPECT_FALSE(viewsCompiledInTables(automatonFor(PhraseDictionary())));
}

TEST(BuiltinIndexTest, CopiesKeepTablesOfTheirOwn)
{
    const PhraseDictionary dictionary = PhraseDictionary::fromEntries({u"防范=防备", u"防备=安全"});
    auto original = std::make_unique<PhraseAutomaton>(dictionary);
    const PhraseAutomaton copy = *original;
    original.reset();
    std::u16string rewritten;
    EXPECT_EQ(TextRewriter(dictionary, copy, u"防范").appendTo(rewritten), 2u);
    EXPECT_EQ(rewritten, u"安全");

    const PhraseAutomaton builtin = automatonFor(loadBuiltinDictionary());
    const PhraseAutomaton builtinCopy = builtin;
    EXPECT_TRUE(viewsCompiledInTables(builtinCopy));
}
