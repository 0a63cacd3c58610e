#include "PhraseAutomaton.h"

#include <algorithm>
#include <iterator>
#include <numeric>
#include <unordered_map>
#include <utility>

namespace pexa {

// The sources as a plain trie, nodes numbered in creation order (node 0 is the root), before they
// are laid out in the double array.
struct PhraseAutomaton::Trie
{
    struct Edge
    {
        std::int32_t parent;
        std::uint16_t unitClass;
        std::int32_t child;
    };

    std::vector<Edge> edges;                // sorted by parent, then class
    std::vector<std::size_t> firstEdge;     // edges of node n: [firstEdge[n], firstEdge[n + 1])
    std::vector<std::int32_t> breadthFirst; // every node, parents before children
    // (node, entry) for each entry with a non-empty source, sorted: the entries a node completes
    std::vector<std::pair<std::int32_t, EntryPosition>> completions;

    std::size_t nodeCount() const { return firstEdge.size() - 1; }
};

namespace {

// Gives every code unit used by a source a class; the first units of sources come first, so the
// root's children take the lowest classes and sit side by side in the double array.
std::uint16_t assignClasses(const PhraseDictionary& dictionary, std::vector<std::uint16_t>& classOf)
{
    std::uint16_t classCount = 1;
    const auto assign = [&](char16_t unit) {
        if (classOf[unit] == 0)
            classOf[unit] = classCount++;
    };
    for (const PhraseEntry& entry : dictionary.entries())
        if (!entry.source.empty())
            assign(entry.source.front());
    for (const PhraseEntry& entry : dictionary.entries())
        for (char16_t unit : entry.source)
            assign(unit);
    return classCount;
}

} // namespace

PhraseAutomaton::PhraseAutomaton()
{
    startOwnTables();
    viewOwnTables(0);
}

PhraseAutomaton::PhraseAutomaton(const PhraseDictionary& dictionary)
{
    startOwnTables();
    const std::uint16_t classCount = assignClasses(dictionary, m_classOf);

    Trie trie;
    std::size_t longestSource = 0;
    std::unordered_map<std::uint64_t, std::int32_t> childOf;
    std::int32_t nodeCount = 1;
    for (std::size_t position = 0; position < dictionary.size(); ++position) {
        const std::u16string& source = dictionary[position].source;
        if (source.empty())
            continue;
        longestSource = std::max(longestSource, source.size());
        std::int32_t node = 0;
        for (char16_t unit : source) {
            const std::uint16_t unitClass = m_classOf[unit];
            const auto [found, inserted] =
                childOf.try_emplace((std::uint64_t(node) << 16) | unitClass, nodeCount);
            if (inserted) {
                trie.edges.push_back({node, unitClass, nodeCount});
                ++nodeCount;
            }
            node = found->second;
        }
        trie.completions.emplace_back(node, EntryPosition(position));
    }
    std::sort(trie.edges.begin(), trie.edges.end(), [](const Trie::Edge& a, const Trie::Edge& b) {
        return a.parent != b.parent ? a.parent < b.parent : a.unitClass < b.unitClass;
    });
    std::sort(trie.completions.begin(), trie.completions.end());

    trie.firstEdge.assign(std::size_t(nodeCount) + 1, 0);
    for (const Trie::Edge& edge : trie.edges)
        ++trie.firstEdge[std::size_t(edge.parent) + 1];
    std::partial_sum(trie.firstEdge.begin(), trie.firstEdge.end(), trie.firstEdge.begin());

    trie.breadthFirst.push_back(0);
    for (std::size_t next = 0; next < trie.breadthFirst.size(); ++next) {
        const std::int32_t node = trie.breadthFirst[next];
        for (std::size_t e = trie.firstEdge[node]; e < trie.firstEdge[node + 1]; ++e)
            trie.breadthFirst.push_back(trie.edges[e].child);
    }

    resizeSlots(classCount);
    const std::vector<State> slotOfNode = placeInDoubleArray(trie);
    // Failure links are found by stepping through the double array, which is complete by now;
    // the match lists grow as they are linked, so they are viewed again at the end.
    viewOwnTables(longestSource);
    linkFailuresAndMatches(trie, slotOfNode);
    viewOwnTables(longestSource);
}

PhraseAutomaton::PhraseAutomaton(const PhraseAutomaton& other)
    : m_classOf(other.m_classOf), m_transitions(other.m_transitions), m_links(other.m_links),
      m_matches(other.m_matches), m_tables(other.m_tables)
{
    if (other.m_tables.transitions.data() == other.m_transitions.data())
        viewOwnTables(other.m_tables.longestSource);
}

PhraseAutomaton& PhraseAutomaton::operator=(const PhraseAutomaton& other)
{
    return *this = PhraseAutomaton(other);
}

// The automaton of no source: every code unit a separator, and only the root.
void PhraseAutomaton::startOwnTables()
{
    m_classOf.assign(0x10000, 0);
    m_transitions = {{0, rootCheck}};
    m_links.assign(1, {});
    m_matches = {endOfList};
}

void PhraseAutomaton::viewOwnTables(std::size_t longestSource)
{
    m_tables = {m_classOf, m_transitions, m_links, m_matches, longestSource};
}

namespace {

template <typename Element> void readEachCacheLine(std::span<const Element> table)
{
    constexpr std::size_t cacheLineBytes = 64;
    // Volatile, so that the reads whose values nobody uses are still made.
    const auto* bytes = reinterpret_cast<const volatile unsigned char*>(table.data());
    for (std::size_t offset = 0; offset < table.size_bytes(); offset += cacheLineBytes)
        static_cast<void>(bytes[offset]);
}

} // namespace

void PhraseAutomaton::bringTablesIntoCache() const
{
    readEachCacheLine(m_tables.classOf);
    readEachCacheLine(m_tables.transitions);
    readEachCacheLine(m_tables.links);
    readEachCacheLine(m_tables.matches);
}

void PhraseAutomaton::resizeSlots(std::size_t count)
{
    m_transitions.resize(count);
    m_links.resize(count);
}

std::vector<PhraseAutomaton::State> PhraseAutomaton::placeInDoubleArray(const Trie& trie)
{
    std::vector<State> slotOfNode(trie.nodeCount(), rootState);
    const std::size_t classCount = m_transitions.size();
    std::vector<bool> taken(classCount, false);
    taken[rootState] = true;
    std::size_t firstFree = 1;

    for (std::int32_t node : trie.breadthFirst) {
        const auto first = trie.edges.begin() + std::ptrdiff_t(trie.firstEdge[node]);
        const auto last = trie.edges.begin() + std::ptrdiff_t(trie.firstEdge[node + 1]);
        if (first == last)
            continue;
        // First fit: the lowest base at which every child's slot is free.
        std::size_t base = std::max(firstFree, std::size_t(first->unitClass)) - first->unitClass;
        const auto fits = [&](std::size_t candidate) {
            return std::all_of(first, last, [&](const Trie::Edge& edge) {
                const std::size_t slot = candidate + edge.unitClass;
                return slot >= taken.size() || !taken[slot];
            });
        };
        while (!fits(base))
            ++base;
        if (taken.size() < base + classCount) {
            taken.resize(base + classCount, false);
            resizeSlots(base + classCount);
        }
        const State parentSlot = slotOfNode[node];
        m_transitions[parentSlot].base = State(base);
        for (auto edge = first; edge != last; ++edge) {
            const std::size_t slot = base + edge->unitClass;
            taken[slot] = true;
            m_transitions[slot].check = parentSlot;
            slotOfNode[edge->child] = State(slot);
        }
        while (firstFree < taken.size() && taken[firstFree])
            ++firstFree;
    }
    return slotOfNode;
}

void PhraseAutomaton::linkFailuresAndMatches(const Trie& trie, const std::vector<State>& slotOfNode)
{
    std::vector<EntryPosition> merged;
    for (std::int32_t node : trie.breadthFirst) {
        const State slot = slotOfNode[node];
        // Failure links of the children: the parent's failure state, extended by the same class.
        for (std::size_t e = trie.firstEdge[node]; e < trie.firstEdge[node + 1]; ++e) {
            const Trie::Edge& edge = trie.edges[e];
            m_links[slotOfNode[edge.child]].fail =
                slot == rootState ? rootState : step(m_links[slot].fail, edge.unitClass);
        }
        if (slot == rootState)
            continue;
        // Matches: the entries this node completes merged with those of its failure state (both
        // lists ascending, and from sources of different lengths, so they never share an entry).
        const auto [ownBegin, ownEnd] = std::equal_range(
            trie.completions.begin(), trie.completions.end(), std::pair(node, EntryPosition(0)),
            [](const auto& a, const auto& b) { return a.first < b.first; });
        const EntryPosition* inheritedBegin = &m_matches[m_links[m_links[slot].fail].matchesBegin];
        const EntryPosition* inheritedEnd = std::find(
            inheritedBegin, std::as_const(m_matches).data() + m_matches.size(), endOfList);
        merged.clear();
        for (auto own = ownBegin; own != ownEnd; ++own)
            merged.push_back(own->second);
        const std::ptrdiff_t ownCount = std::ssize(merged);
        merged.insert(merged.end(), inheritedBegin, inheritedEnd);
        std::inplace_merge(merged.begin(), merged.begin() + ownCount, merged.end());
        if (merged.empty())
            continue;
        m_links[slot].matchesBegin = std::uint32_t(m_matches.size());
        m_transitions[slot].check |= matchesFlag;
        m_matches.insert(m_matches.end(), merged.begin(), merged.end());
        m_matches.push_back(endOfList);
    }
}

} // namespace pexa
