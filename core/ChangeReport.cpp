#include "ChangeReport.h"

#include <algorithm>
#include <array>
#include <bit>
#include <unordered_map>
#include <vector>

namespace pexa {

std::int64_t ChangeRate::tenthsOfPercent() const
{
    if (resultCharacters == 0)
        return 0;
    const auto changed = static_cast<std::int64_t>(changedCharacters);
    const auto total = static_cast<std::int64_t>(resultCharacters);
    return (changed * 2000 + total) / (2 * total);
}

std::string ChangeRate::percentText() const
{
    const std::int64_t tenths = tenthsOfPercent();
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%";
}

std::u32string codePointsOf(std::u16string_view text)
{
    std::u32string points;
    points.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool pair =
            (unit & 0xFC00) == 0xD800 && i + 1 < text.size() && (text[i + 1] & 0xFC00) == 0xDC00;
        if (pair) {
            points.push_back(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            points.push_back(unit);
        }
    }
    return points;
}

namespace {

using Word = std::uint64_t;
constexpr std::size_t wordBits = 64;
// Input positions are handled in strips of this many words, so the match table stays small
// (distinct characters of the strip times the strip width) however long the input is.
constexpr std::size_t stripWords = 64;
constexpr std::uint32_t absent = ~std::uint32_t{0};

// Removes the common beginning and end; returns how many characters they hold.
std::size_t trimCommonEnds(std::u32string_view& a, std::u32string_view& b)
{
    const auto [aAt, bAt] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    std::size_t prefix = static_cast<std::size_t>(aAt - a.begin());
    a.remove_prefix(prefix);
    b.remove_prefix(prefix);
    const auto [aBack, bBack] = std::mismatch(a.rbegin(), a.rend(), b.rbegin(), b.rend());
    std::size_t suffix = static_cast<std::size_t>(aBack - a.rbegin());
    a.remove_suffix(suffix);
    b.remove_suffix(suffix);
    return prefix + suffix;
}

std::uint64_t comparisonWork(std::u32string_view a, std::u32string_view b)
{
    return std::uint64_t(b.size()) * ((a.size() + wordBits - 1) / wordBits);
}

// The bit-parallel longest common subsequence (one bit per character of `a`, one row per character
// of `b`): V starts all ones and each row sets V = (V + (V & M)) | (V & ~M), where M marks the
// positions of a that hold the row's character; the zero bits of the final V count the LCS.
class BitParallelLcs
{
public:
    BitParallelLcs(std::u32string_view a, std::u32string_view b)
    {
        std::unordered_map<char32_t, std::uint32_t> idOf;
        m_aIds.reserve(a.size());
        for (char32_t c : a)
            m_aIds.push_back(idOf.try_emplace(c, std::uint32_t(idOf.size())).first->second);
        m_bIds.reserve(b.size());
        for (char32_t c : b) {
            const auto found = idOf.find(c);
            m_bIds.push_back(found == idOf.end() ? absent : found->second);
        }
        m_rowOfId.assign(idOf.size(), absent);
    }

    std::size_t length()
    {
        const std::size_t words = (m_aIds.size() + wordBits - 1) / wordBits;
        m_v.assign(words, ~Word{0});
        m_carries.assign(m_bIds.size(), 0);
        for (std::size_t first = 0; first < words; first += stripWords)
            runStrip(first, std::min(words, first + stripWords));
        std::size_t ones = 0;
        for (std::size_t w = 0; w < words; ++w) {
            const std::size_t bitsHere = std::min(wordBits, m_aIds.size() - w * wordBits);
            const Word mask = bitsHere == wordBits ? ~Word{0} : (Word{1} << bitsHere) - 1;
            ones += std::popcount(m_v[w] & mask);
        }
        return m_aIds.size() - ones;
    }

private:
    void runStrip(std::size_t firstWord, std::size_t endWord)
    {
        const std::size_t width = endWord - firstWord;
        buildMatchTable(firstWord, endWord);
        const std::vector<Word> noMatch(width, 0);
        for (std::size_t row = 0; row < m_bIds.size(); ++row) {
            const std::uint32_t id = m_bIds[row];
            const std::uint32_t tableRow = id == absent ? absent : m_rowOfId[id];
            if (tableRow == absent && m_carries[row] == 0)
                continue; // V + 0 with no carry in leaves V as it is
            const Word* match = tableRow == absent ? noMatch.data() : &m_table[tableRow * width];
            Word carry = m_carries[row];
            for (std::size_t k = 0; k < width; ++k) {
                const Word v = m_v[firstWord + k];
                const Word u = v & match[k];
                const Word withCarry = v + carry;
                const Word sum = withCarry + u;
                carry = Word(withCarry < v) | Word(sum < withCarry);
                m_v[firstWord + k] = sum | (v & ~u);
            }
            m_carries[row] = static_cast<std::uint8_t>(carry);
        }
        for (std::uint32_t id : m_idsInTable)
            m_rowOfId[id] = absent;
    }

    void buildMatchTable(std::size_t firstWord, std::size_t endWord)
    {
        const std::size_t width = endWord - firstWord;
        const std::size_t begin = firstWord * wordBits;
        const std::size_t end = std::min(m_aIds.size(), endWord * wordBits);
        m_idsInTable.clear();
        m_table.clear();
        for (std::size_t i = begin; i < end; ++i) {
            std::uint32_t& row = m_rowOfId[m_aIds[i]];
            if (row == absent) {
                row = static_cast<std::uint32_t>(m_idsInTable.size());
                m_idsInTable.push_back(m_aIds[i]);
                m_table.resize(m_table.size() + width, 0);
            }
            const std::size_t bit = i - begin;
            m_table[row * width + bit / wordBits] |= Word{1} << (bit % wordBits);
        }
    }

    std::vector<std::uint32_t> m_aIds;
    std::vector<std::uint32_t> m_bIds; // `absent` for a character that a does not hold
    std::vector<std::uint32_t> m_rowOfId;
    std::vector<std::uint32_t> m_idsInTable;
    std::vector<Word> m_table;
    std::vector<Word> m_v;
    std::vector<std::uint8_t> m_carries; // carry out of the previous strip, per row
};

struct LcsEstimate
{
    std::size_t length = 0;
    bool exact = true;
};

LcsEstimate boundedLcs(std::u32string_view a, std::u32string_view b, std::uint64_t workLimit);

// Cut points in text order: where the text holds one of `anchors`.
std::vector<std::size_t> anchorPositions(std::u32string_view text, std::u32string_view anchors)
{
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (anchors.find(text[i]) != std::u32string_view::npos)
            positions.push_back(i);
    }
    return positions;
}

// Pairs the k-th anchor of a with the k-th anchor of b and compares the pieces between them.
LcsEstimate lcsByAnchors(std::u32string_view a, std::u32string_view b,
                         const std::vector<std::size_t>& aCuts,
                         const std::vector<std::size_t>& bCuts, std::uint64_t workLimit)
{
    LcsEstimate total{0, false};
    std::size_t aStart = 0;
    std::size_t bStart = 0;
    for (std::size_t k = 0; k <= aCuts.size(); ++k) {
        const std::size_t aEnd = k < aCuts.size() ? aCuts[k] : a.size();
        const std::size_t bEnd = k < bCuts.size() ? bCuts[k] : b.size();
        total.length +=
            boundedLcs(a.substr(aStart, aEnd - aStart), b.substr(bStart, bEnd - bStart), workLimit)
                .length;
        if (k < aCuts.size() && a[aEnd] == b[bEnd])
            ++total.length;
        aStart = aEnd + 1;
        bStart = bEnd + 1;
    }
    return total;
}

// Cuts both texts into the same number of proportional shares, each pair within the limit.
LcsEstimate lcsByShares(std::u32string_view a, std::u32string_view b, std::uint64_t workLimit)
{
    const std::uint64_t shares = comparisonWork(a, b) / workLimit + 1;
    LcsEstimate total{0, false};
    for (std::uint64_t s = 0; s < shares; ++s) {
        const std::size_t aBegin = a.size() * s / shares;
        const std::size_t aEnd = a.size() * (s + 1) / shares;
        const std::size_t bBegin = b.size() * s / shares;
        const std::size_t bEnd = b.size() * (s + 1) / shares;
        total.length +=
            BitParallelLcs(a.substr(aBegin, aEnd - aBegin), b.substr(bBegin, bEnd - bBegin))
                .length();
    }
    return total;
}

LcsEstimate boundedLcs(std::u32string_view a, std::u32string_view b, std::uint64_t workLimit)
{
    const std::size_t common = trimCommonEnds(a, b);
    if (a.empty() || b.empty())
        return {common, true};
    if (comparisonWork(a, b) <= workLimit)
        return {common + BitParallelLcs(a, b).length(), true};
    static constexpr std::array<std::u32string_view, 3> anchorSets = {U"\n", U"。！？!?",
                                                                      U"，；,;"};
    for (std::u32string_view anchors : anchorSets) {
        const std::vector<std::size_t> aCuts = anchorPositions(a, anchors);
        const std::vector<std::size_t> bCuts = anchorPositions(b, anchors);
        if (!aCuts.empty() && aCuts.size() == bCuts.size()) {
            LcsEstimate byAnchors = lcsByAnchors(a, b, aCuts, bCuts, workLimit);
            byAnchors.length += common;
            return byAnchors;
        }
    }
    LcsEstimate byShares = lcsByShares(a, b, workLimit);
    byShares.length += common;
    return byShares;
}

} // namespace

std::size_t longestCommonSubsequence(std::u32string_view a, std::u32string_view b)
{
    const std::size_t common = trimCommonEnds(a, b);
    if (a.empty() || b.empty())
        return common;
    return common + BitParallelLcs(a, b).length();
}

ChangeRate measureChangeRate(std::u16string_view input, std::u16string_view result,
                             std::uint64_t workLimit)
{
    const std::u32string inputPoints = codePointsOf(input);
    const std::u32string resultPoints = codePointsOf(result);
    const LcsEstimate lcs = boundedLcs(inputPoints, resultPoints, workLimit);
    return {resultPoints.size() - lcs.length, resultPoints.size(), lcs.exact};
}

} // namespace pexa
