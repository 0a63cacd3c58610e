#include "TermAutomaton.h"

#include <algorithm>

namespace pexa {

// The terms as a plain trie. Built from the sorted terms, so the nodes are numbered depth first and
// each node's children are made in the order of their units.
struct TermAutomaton::Trie
{
    std::vector<std::uint32_t> parent{0};     // by node; the root (0) is its own
    std::vector<char16_t> unit{0};            // the unit on the edge from the parent
    std::vector<std::uint32_t> termLength{0}; // the length of the term ending at the node, or 0
};

TermAutomaton::TermAutomaton(const std::vector<std::u16string>& terms)
{
    // Without a term the automaton stays empty, and finds nothing without a table the size of
    // all code units.
    if (std::all_of(terms.begin(), terms.end(), [](const auto& term) { return term.empty(); }))
        return;
    const Trie trie = buildTrie(terms);
    layOutBreadthFirst(trie);
    linkFailures();
}

// Each term shares its first units with the term before it in sorted order, and only the rest are
// new nodes: no lookup of a node's children is needed.
TermAutomaton::Trie TermAutomaton::buildTrie(const std::vector<std::u16string>& terms)
{
    std::vector<std::u16string_view> sorted(terms.begin(), terms.end());
    std::sort(sorted.begin(), sorted.end());
    Trie trie;
    std::vector<std::uint32_t> path{0}; // the nodes along the previous term, from the root
    std::u16string_view previous;
    for (std::u16string_view term : sorted) {
        if (term.empty())
            continue;
        const auto shared =
            std::mismatch(term.begin(), term.end(), previous.begin(), previous.end());
        path.resize(std::size_t(shared.first - term.begin()) + 1);
        for (std::size_t depth = path.size() - 1; depth < term.size(); ++depth) {
            path.push_back(std::uint32_t(trie.parent.size()));
            trie.parent.push_back(path[depth]);
            trie.unit.push_back(term[depth]);
            trie.termLength.push_back(0);
        }
        trie.termLength[path.back()] = std::uint32_t(term.size());
        previous = term;
    }
    return trie;
}

void TermAutomaton::layOutBreadthFirst(const Trie& trie)
{
    // The children of each node, in the order of their units.
    const std::size_t nodeCount = trie.parent.size();
    std::vector<std::uint32_t> firstChild(nodeCount + 1, 0); // into `children`, by node
    for (std::size_t node = 1; node < nodeCount; ++node)
        ++firstChild[trie.parent[node] + 1];
    for (std::size_t node = 1; node <= nodeCount; ++node)
        firstChild[node] += firstChild[node - 1];
    std::vector<std::uint32_t> children(nodeCount);
    std::vector<std::uint32_t> placed(firstChild.begin(), firstChild.end() - 1);
    for (std::size_t node = 1; node < nodeCount; ++node)
        children[placed[trie.parent[node]]++] = std::uint32_t(node);

    // Breadth-first order, and each node's state (where its cells start).
    std::vector<std::uint32_t> order{0};
    order.reserve(nodeCount);
    std::vector<State> stateOf(nodeCount);
    State nextState = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::uint32_t node = order[i];
        const std::uint32_t childCount = firstChild[node + 1] - firstChild[node];
        stateOf[node] = nextState;
        nextState += State(firstChildCell + cellsPerChild * childCount);
        order.insert(order.end(), children.begin() + firstChild[node],
                     children.begin() + firstChild[node + 1]);
    }

    m_cells.assign(nextState, 0);
    m_inSomeTerm.assign(0x10000, false);
    m_rootChild.assign(0x10000, none);
    for (const std::uint32_t node : order) {
        std::uint32_t* cells = &m_cells[stateOf[node]];
        cells[longestEndingCell] = trie.termLength[node]; // linkFailures adds the suffixes' terms
        cells[childCountCell] = firstChild[node + 1] - firstChild[node];
        std::uint32_t* childCells = cells + firstChildCell;
        for (std::uint32_t c = firstChild[node]; c < firstChild[node + 1]; ++c) {
            const char16_t unit = trie.unit[children[c]];
            *childCells++ = unit;
            *childCells++ = stateOf[children[c]];
            m_inSomeTerm[unit] = true;
            if (node == 0)
                m_rootChild[unit] = stateOf[children[c]];
        }
    }
}

// In breadth-first order a node's failure state is shallower, so complete before its children
// need it.
void TermAutomaton::linkFailures()
{
    for (State node = root; node < m_cells.size();) {
        const State fail = m_cells[node + failCell];
        if (node != root && m_cells[node + longestEndingCell] == 0)
            m_cells[node + longestEndingCell] = m_cells[fail + longestEndingCell];
        const std::uint32_t childCount = m_cells[node + childCountCell];
        for (std::uint32_t k = 0; k < childCount; ++k) {
            const std::size_t childCell = node + firstChildCell + cellsPerChild * k;
            const char16_t unit = char16_t(m_cells[childCell]);
            m_cells[m_cells[childCell + 1] + failCell] = node == root ? root : next(fail, unit);
        }
        node += State(firstChildCell + cellsPerChild * childCount);
    }
}

TermAutomaton::State TermAutomaton::child(State node, char16_t unit) const
{
    if (node == root)
        return m_rootChild[unit];
    const std::uint32_t* cells = &m_cells[node];
    std::uint32_t remaining = cells[childCountCell];
    if (remaining == 0)
        return none;
    // Binary search over the (unit, state) pairs, halving without a branch to mispredict: the
    // step a processor guesses wrong would cost more than the reads.
    const std::uint32_t* pair = cells + firstChildCell;
    while (remaining > 1) {
        const std::uint32_t half = remaining / 2;
        pair = pair[cellsPerChild * half] <= unit ? pair + cellsPerChild * half : pair;
        remaining -= half;
    }
    return pair[0] == unit ? pair[1] : none;
}

} // namespace pexa
