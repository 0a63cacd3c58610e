#pragma once

#include "PhraseDictionary.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pexa {

// Aho–Corasick automaton over the non-empty sources of a dictionary: one left-to-right pass over a
// text tells, at every position, which entries' sources end there.
//
// Code units are first mapped to dense classes; a code unit that occurs in no source has class 0
// and can never be part of a match (a "separator"). Transitions live in a double array: the child
// of state s on class c is slot base[s] + c when that slot's check is s, so one step is two loads.
//
// The tables are built from a dictionary at run time, or compiled in for the built-in dictionary
// (see BuiltinIndex.h), where the automaton only views them.
class PhraseAutomaton
{
public:
    using State = std::int32_t;
    // Signed 32-bit: command-line dictionaries run past the window's 16-bit positions.
    using EntryPosition = std::int32_t;
    static constexpr State rootState = 0;

    // What a step reads, kept small so that it stays in the processor's cache. `check` also tells
    // whether the slot's state has matches, so the scan need not look elsewhere.
    struct Transition
    {
        State base = 0;
        State check = noState; // the parent state (| matchesFlag), or noState when the slot is free

        bool operator==(const Transition&) const = default;
    };

    struct Link
    {
        State fail = rootState; // longest proper suffix of this state's text that is a state
        std::uint32_t matchesBegin = noMatches; // into matches; each list ends with endOfList

        bool operator==(const Link&) const = default;
    };

    // Everything a search reads: the class of each of the 65,536 code units, the double array
    // with a link for each slot, the match lists, and the longest source's length.
    struct Tables
    {
        std::span<const std::uint16_t> classOf;
        std::span<const Transition> transitions;
        std::span<const Link> links;
        std::span<const EntryPosition> matches;
        std::size_t longestSource = 0;
    };

    PhraseAutomaton();
    explicit PhraseAutomaton(const PhraseDictionary& dictionary);
    // Views tables that outlive it, such as the compiled-in ones.
    explicit PhraseAutomaton(const Tables& tables) : m_tables(tables) {}

    // A copy views its own copy of tables built at run time, and the same compiled-in tables;
    // moving leaves the tables where they are.
    PhraseAutomaton(const PhraseAutomaton& other);
    PhraseAutomaton& operator=(const PhraseAutomaton& other);
    PhraseAutomaton(PhraseAutomaton&&) = default;
    PhraseAutomaton& operator=(PhraseAutomaton&&) = default;

    const Tables& tables() const { return m_tables; }

    // Class of a code unit: 0 when no source holds it.
    std::uint16_t classOf(char16_t unit) const { return m_tables.classOf[unit]; }

    // The state after reading a code unit of a non-zero class.
    State step(State state, std::uint16_t unitClass) const
    {
        for (;;) {
            const State child = m_tables.transitions[state].base + unitClass;
            if ((m_tables.transitions[child].check & ~matchesFlag) == state)
                return child;
            if (state == rootState)
                return rootState;
            state = m_tables.links[state].fail;
        }
    }

    // The state after reading any code unit; a separator leads back to the root.
    State advance(State state, char16_t unit) const
    {
        const std::uint16_t unitClass = classOf(unit);
        return unitClass == 0 ? rootState : step(state, unitClass);
    }

    // Calls visit(entryPosition) for every entry whose source ends in this state, in dictionary
    // order. Example: with sources "使用" (entry 3) and "免费使用" (entry 0), the state reached
    // after "免费使用" reports 0, then 3.
    template <typename Visit> void forEachMatch(State state, Visit&& visit) const
    {
        for (const EntryPosition* entry = &m_tables.matches[m_tables.links[state].matchesBegin];
             *entry != endOfList; ++entry)
            visit(*entry);
    }

    bool hasMatches(State state) const
    {
        return (m_tables.transitions[state].check & matchesFlag) != 0;
    }

    // Length in code units of the longest source (0 for a dictionary without sources).
    std::size_t longestSource() const { return m_tables.longestSource; }

    // Reads every cache line of the tables once. A rewrite looks up each character's class in a
    // table of 128 KB and walks states all over the others, so the first rewrite after the tables
    // were last used waits on memory for most of its lookups; reading them beforehand, while the
    // program is idle, spares it that wait.
    void bringTablesIntoCache() const;

private:
    static constexpr State noState = -1;
    static constexpr EntryPosition endOfList = -1;
    static constexpr std::uint32_t noMatches = 0; // matches starts with an empty list
    static constexpr State matchesFlag = State(1) << 30;
    static constexpr State rootCheck = matchesFlag - 1; // no parent, no matches

    // The tables of an automaton built at run time, which m_tables views; empty when it views
    // tables compiled in.
    std::vector<std::uint16_t> m_classOf;
    std::vector<Transition> m_transitions;
    std::vector<Link> m_links;
    std::vector<EntryPosition> m_matches;
    Tables m_tables;

    struct Trie;
    void resizeSlots(std::size_t count);
    // Returns the slot of every trie node.
    std::vector<State> placeInDoubleArray(const Trie& trie);
    void linkFailuresAndMatches(const Trie& trie, const std::vector<State>& slotOfNode);
    void startOwnTables();
    void viewOwnTables(std::size_t longestSource);
};

} // namespace pexa
