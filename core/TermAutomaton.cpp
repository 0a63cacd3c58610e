#include "TermAutomaton.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

namespace pexa {

TermAutomaton::TermAutomaton(const std::vector<std::u16string>& terms)
{
    // The trie, with nodes numbered as they are made and the term length ending at each.
    std::unordered_map<std::uint64_t, std::int32_t> childOf;
    std::vector<std::tuple<std::int32_t, char16_t, std::int32_t>> edges; // parent, unit, child
    std::vector<std::uint32_t> termLength(1, 0);
    for (const std::u16string& term : terms) {
        std::int32_t node = root;
        for (char16_t unit : term) {
            const auto [found, isNew] = childOf.try_emplace(
                (std::uint64_t(node) << 16) | unit, std::int32_t(termLength.size()));
            if (isNew) {
                edges.emplace_back(node, unit, found->second);
                termLength.push_back(0);
            }
            node = found->second;
        }
        termLength[std::size_t(node)] = std::uint32_t(term.size());
    }
    std::sort(edges.begin(), edges.end());

    const std::size_t nodeCount = termLength.size();
    m_nodes.assign(nodeCount + 1, Node{});
    m_edges.reserve(edges.size());
    for (const auto& [parent, unit, child] : edges) {
        m_edges.push_back({unit, child});
        ++m_nodes[std::size_t(parent) + 1].firstEdge;
    }
    for (std::size_t node = 1; node <= nodeCount; ++node)
        m_nodes[node].firstEdge += m_nodes[node - 1].firstEdge;
    m_rootChild.assign(0x10000, none);
    for (std::uint32_t e = m_nodes[root].firstEdge; e < m_nodes[root + 1].firstEdge; ++e)
        m_rootChild[m_edges[e].unit] = m_edges[e].child;

    // Breadth first, so that a node's failure state is complete before its children need it.
    std::vector<std::int32_t> queue{root};
    for (std::size_t next = 0; next < queue.size(); ++next) {
        const std::int32_t node = queue[next];
        Node& here = m_nodes[std::size_t(node)];
        here.longestEnding = termLength[std::size_t(node)] != 0
                                 ? termLength[std::size_t(node)]
                                 : (node == root ? 0 : m_nodes[std::size_t(here.fail)].longestEnding);
        for (std::uint32_t e = here.firstEdge; e < m_nodes[std::size_t(node) + 1].firstEdge; ++e) {
            const Edge edge = m_edges[e];
            m_nodes[std::size_t(edge.child)].fail =
                node == root ? root : this->next(here.fail, edge.unit);
            queue.push_back(edge.child);
        }
    }
}

std::int32_t TermAutomaton::child(std::int32_t node, char16_t unit) const
{
    if (node == root)
        return m_rootChild[unit];
    const Edge* first = m_edges.data() + m_nodes[std::size_t(node)].firstEdge;
    const Edge* last = first + (m_nodes[std::size_t(node) + 1].firstEdge -
                                m_nodes[std::size_t(node)].firstEdge);
    const Edge* found = std::lower_bound(
        first, last, unit, [](const Edge& edge, char16_t wanted) { return edge.unit < wanted; });
    return found != last && found->unit == unit ? found->child : none;
}

} // namespace pexa
