#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "PhraseDictionary.h"

namespace pexa {

// Aho–Corasick automaton over the non-empty sources of a dictionary: one left-to-right pass over a
// text tells, at every position, which entries' sources end there.
//
// Code units are first mapped to dense classes; a code unit that occurs in no source has class 0
// and can never be part of a match (a "separator"). Transitions live in a double array: the child
// of state s on class c is slot base[s] + c when that slot's check is s, so one step is two loads.
class PhraseAutomaton
{
public:
    using State = std::int32_t;
    // Signed 32-bit: command-line dictionaries run past the window's 16-bit positions.
    using EntryPosition = std::int32_t;
    static constexpr State rootState = 0;

    PhraseAutomaton() = default;
    explicit PhraseAutomaton(const PhraseDictionary& dictionary);

    // Class of a code unit: 0 when no source holds it.
    std::uint16_t classOf(char16_t unit) const { return m_classOf[unit]; }

    // The state after reading a code unit of a non-zero class.
    State step(State state, std::uint16_t unitClass) const
    {
        for (;;) {
            const State child = m_transitions[state].base + unitClass;
            if ((m_transitions[child].check & ~matchesFlag) == state)
                return child;
            if (state == rootState)
                return rootState;
            state = m_links[state].fail;
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
        for (const EntryPosition* entry = &m_matches[m_links[state].matchesBegin];
             *entry != endOfList; ++entry)
            visit(*entry);
    }

    bool hasMatches(State state) const { return (m_transitions[state].check & matchesFlag) != 0; }

    // Length in code units of the longest source (0 for a dictionary without sources).
    std::size_t longestSource() const { return m_longestSource; }

private:
    static constexpr State noState = -1;
    static constexpr EntryPosition endOfList = -1;
    static constexpr std::uint32_t noMatches = 0; // m_matches starts with an empty list

    // What a step reads, kept small so that it stays in the processor's cache. `check` also tells
    // whether the slot's state has matches, so the scan need not look elsewhere.
    struct Transition
    {
        State base = 0;
        State check = noState; // the parent state (| matchesFlag), or noState when the slot is free
    };
    static constexpr State matchesFlag = State(1) << 30;
    static constexpr State rootCheck = matchesFlag - 1; // no parent, no matches

    struct Link
    {
        State fail = rootState; // longest proper suffix of this state's text that is a state
        std::uint32_t matchesBegin = noMatches; // into m_matches; each list ends with endOfList
    };

    std::vector<std::uint16_t> m_classOf = std::vector<std::uint16_t>(0x10000, 0);
    std::vector<Transition> m_transitions = {{0, rootCheck}};
    std::vector<Link> m_links = std::vector<Link>(1);
    std::vector<EntryPosition> m_matches = {endOfList};
    std::size_t m_longestSource = 0;

    struct Trie;
    void resizeSlots(std::size_t count);
    // Returns the slot of every trie node.
    std::vector<State> placeInDoubleArray(const Trie& trie);
    void linkFailuresAndMatches(const Trie& trie, const std::vector<State>& slotOfNode);
};

} // namespace pexa
