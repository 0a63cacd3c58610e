#pragma once

#include "PhraseDictionary.h"
#include "TextSpan.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pexa {

// One net change of a rewrite: a stretch of the original that came out different, where it
// landed in the result, and the entries that made it.
struct TracedChange
{
    TextSpan original;
    TextSpan result;
    // Dictionary positions, in the order they were applied, each once.
    std::vector<std::int32_t> entries;

    friend bool operator==(const TracedChange&, const TracedChange&) = default;
};

// A text under rewrite that remembers where every code unit came from. Each replacement becomes a
// change of its own; a replacement that touches an earlier change (overlaps its text, or encloses
// the place where a deletion left nothing) absorbs it, so a change covers everything that ever
// happened in its stretch: "大喜过望" → "大失所望" → "事与愿违" is one change with two entries, and
// so is "免费使用" → "无偿使用" → "无偿运用". A change whose result equals its original (a mirror
// pair) is no net change and is dropped at the end.
class ChangeTracer
{
public:
    explicit ChangeTracer(std::u16string_view original);

    const std::u16string& text() const { return m_text; }

    // The literal replace-all of one entry (leftmost first, inserted text not searched again).
    // Returns how many occurrences it replaced; their new places are in lastReplaced().
    std::size_t replaceAll(std::int32_t entry, std::u16string_view source,
                           std::u16string_view replacement);
    const std::vector<TextSpan>& lastReplaced() const { return m_lastReplaced; }

    // The net changes, in text order, with spans counted from `originalOffset` in the original
    // and `resultOffset` in the result.
    void appendChanges(std::vector<TracedChange>& out, std::size_t originalOffset,
                       std::size_t resultOffset) const;

private:
    static constexpr std::int32_t unchanged = -1;

    struct Record
    {
        std::int32_t parent; // itself when it has absorbed nothing into another
        TextSpan original;
        std::vector<std::int32_t> entries;
    };
    // A deletion: no code unit left to carry its change, so it sits before the unit at `at`.
    struct Mark
    {
        std::size_t at;
        std::int32_t change;
    };

    std::int32_t root(std::int32_t change) const;
    void absorb(std::int32_t into, std::int32_t change);
    void coverOriginal(std::int32_t change, std::size_t position);

    std::u16string_view m_original;
    std::u16string m_text;
    std::vector<std::int32_t> m_owner; // per unit: its change, or `unchanged`
    std::vector<std::size_t> m_origin; // per unchanged unit: its place in the original
    std::vector<Mark> m_marks;         // in text order
    mutable std::vector<Record> m_records;
    std::vector<TextSpan> m_lastReplaced;
};

} // namespace pexa
