#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pexa {

// Aho–Corasick automaton over a set of terms: one left-to-right pass over a text finds, at every
// position, the longest term that ends there. Set-up and search both take time in proportion to
// the size of the terms and of the text, however many terms there are.
class TermAutomaton
{
public:
    TermAutomaton() = default;
    explicit TermAutomaton(const std::vector<std::u16string>& terms);

    // Calls found(end, length) for each position `end` (one past the last code unit) where some
    // term ends, with the length of the longest such term, in text order. Example: with terms
    // "ab" and "b", "xab" gives (3, 2).
    template <typename Found> void forEachLongestEnding(std::u16string_view text, Found&& found) const
    {
        if (m_nodes.empty())
            return;
        std::int32_t state = root;
        for (std::size_t at = 0; at < text.size(); ++at) {
            state = next(state, text[at]);
            if (const std::uint32_t length = m_nodes[std::size_t(state)].longestEnding)
                found(at + 1, std::size_t(length));
        }
    }

private:
    static constexpr std::int32_t root = 0;
    static constexpr std::int32_t none = -1;

    struct Node
    {
        std::int32_t fail = root;        // longest proper suffix of this node's text that is a node
        std::uint32_t longestEnding = 0; // longest term that is a suffix of this node's text
        std::uint32_t firstEdge = 0;     // children: m_edges[firstEdge, next node's firstEdge)
    };
    struct Edge
    {
        char16_t unit;
        std::int32_t child;
    };

    std::int32_t child(std::int32_t node, char16_t unit) const;
    std::int32_t next(std::int32_t state, char16_t unit) const
    {
        for (;;) {
            const std::int32_t found = child(state, unit);
            if (found != none)
                return found;
            if (state == root)
                return root;
            state = m_nodes[std::size_t(state)].fail;
        }
    }

    std::vector<Node> m_nodes;            // one more at the end, so every node's edges end
    std::vector<Edge> m_edges;            // by parent, each parent's by unit
    std::vector<std::int32_t> m_rootChild; // the root's children by unit, looked up most often
};

} // namespace pexa
