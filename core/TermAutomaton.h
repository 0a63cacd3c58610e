#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pexa {

// Aho–Corasick automaton over a set of terms: one left-to-right pass over a text finds, at every
// position, the longest term that ends there. Set-up costs about a sort of the terms, and a search
// time in proportion to the text, however many terms there are.
class TermAutomaton
{
public:
    TermAutomaton() = default;
    explicit TermAutomaton(const std::vector<std::u16string>& terms);

    // Whether there is no term (empty terms do not count).
    bool empty() const { return m_cells.size() <= firstChildCell; }
    // Whether some term holds the code unit.
    bool anyTermHolds(char16_t unit) const { return !m_inSomeTerm.empty() && m_inSomeTerm[unit]; }

    // Calls found(end, length) for each position `end` (one past the last code unit) where some
    // term ends, with the length of the longest such term, in text order. Example: with terms
    // "ab" and "b", "xab" gives (3, 2).
    template <typename Found>
    void forEachLongestEnding(std::u16string_view text, Found&& found) const
    {
        if (m_cells.empty())
            return;
        State state = root;
        for (std::size_t at = 0; at < text.size(); ++at) {
            state = next(state, text[at]);
            if (const std::uint32_t length = m_cells[state + longestEndingCell])
                found(at + 1, std::size_t(length));
        }
    }

private:
    // A state is where its node starts in m_cells. A node is a run of cells: its failure state
    // (the longest proper suffix of its text that is a node), the length of the longest term that
    // is a suffix of its text, its number of children, then each child's unit and state, by unit.
    // So a step mostly reads one stretch of memory, and the nodes are laid out breadth first: the
    // shallow ones, which every failure chain passes through, sit together at the front and stay
    // in the processor's cache.
    using State = std::uint32_t;
    static constexpr State root = 0;
    static constexpr State none = ~State{0};
    static constexpr std::size_t failCell = 0;
    static constexpr std::size_t longestEndingCell = 1;
    static constexpr std::size_t childCountCell = 2;
    static constexpr std::size_t firstChildCell = 3;
    static constexpr std::size_t cellsPerChild = 2;

    struct Trie;
    static Trie buildTrie(const std::vector<std::u16string>& terms);
    void layOutBreadthFirst(const Trie& trie);
    void linkFailures();

    State child(State node, char16_t unit) const;
    State next(State state, char16_t unit) const
    {
        if (!m_inSomeTerm[unit])
            return root; // no need to walk the failure chain down to the root
        for (;;) {
            const State found = child(state, unit);
            if (found != none)
                return found;
            if (state == root)
                return root;
            state = m_cells[state + failCell];
        }
    }

    std::vector<std::uint32_t> m_cells;
    std::vector<State> m_rootChild; // the root's children by unit, looked up most often
    std::vector<bool> m_inSomeTerm; // by unit
};

} // namespace pexa
