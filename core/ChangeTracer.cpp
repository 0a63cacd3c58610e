#include "ChangeTracer.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace pexa {

ChangeTracer::ChangeTracer(std::u16string_view original)
    : m_original(original), m_text(original), m_owner(original.size(), unchanged),
      m_origin(original.size())
{
    std::iota(m_origin.begin(), m_origin.end(), std::size_t(0));
}

std::size_t ChangeTracer::replaceAll(std::int32_t entry, std::u16string_view source,
                                     std::u16string_view replacement)
{
    m_lastReplaced.clear();
    std::size_t hit = source.empty() ? std::u16string::npos : m_text.find(source);
    if (hit == std::u16string::npos)
        return 0;
    std::u16string text;
    std::vector<std::int32_t> owner;
    std::vector<std::size_t> origin;
    std::vector<Mark> marks;
    auto nextMark = m_marks.begin();
    std::size_t keptFrom = 0;
    // Copies the untouched stretch up to `end`, with the deletions that lie within or at its edges.
    auto keep = [&](std::size_t end) {
        const std::size_t shift = text.size() - keptFrom;
        for (; nextMark != m_marks.end() && nextMark->at <= end; ++nextMark)
            marks.push_back({nextMark->at + shift, nextMark->change});
        text.append(m_text, keptFrom, end - keptFrom);
        owner.insert(owner.end(), m_owner.begin() + std::ptrdiff_t(keptFrom),
                     m_owner.begin() + std::ptrdiff_t(end));
        origin.insert(origin.end(), m_origin.begin() + std::ptrdiff_t(keptFrom),
                      m_origin.begin() + std::ptrdiff_t(end));
    };
    for (; hit != std::u16string::npos; hit = m_text.find(source, keptFrom)) {
        keep(hit);
        const std::size_t end = hit + source.size();
        const auto change = std::int32_t(m_records.size());
        m_records.push_back({change, {std::numeric_limits<std::size_t>::max(), 0}, {entry}});
        for (std::size_t at = hit; at < end; ++at) {
            if (m_owner[at] == unchanged)
                coverOriginal(change, m_origin[at]);
            else
                absorb(change, m_owner[at]);
        }
        for (; nextMark != m_marks.end() && nextMark->at < end; ++nextMark)
            absorb(change, nextMark->change); // strictly inside: the one at `hit` was kept
        if (replacement.empty())
            marks.push_back({text.size(), change});
        m_lastReplaced.push_back({text.size(), text.size() + replacement.size()});
        text.append(replacement);
        owner.insert(owner.end(), replacement.size(), change);
        origin.insert(origin.end(), replacement.size(), 0);
        keptFrom = end;
    }
    keep(m_text.size());
    m_text = std::move(text);
    m_owner = std::move(owner);
    m_origin = std::move(origin);
    m_marks = std::move(marks);
    return m_lastReplaced.size();
}

std::int32_t ChangeTracer::root(std::int32_t change) const
{
    while (m_records[std::size_t(change)].parent != change) {
        Record& record = m_records[std::size_t(change)];
        record.parent = m_records[std::size_t(record.parent)].parent; // halves the path
        change = record.parent;
    }
    return change;
}

void ChangeTracer::absorb(std::int32_t into, std::int32_t change)
{
    change = root(change);
    if (change == into)
        return;
    Record& absorbed = m_records[std::size_t(change)];
    Record& record = m_records[std::size_t(into)];
    absorbed.parent = into;
    record.original.begin = std::min(record.original.begin, absorbed.original.begin);
    record.original.end = std::max(record.original.end, absorbed.original.end);
    record.entries.insert(record.entries.end(), absorbed.entries.begin(), absorbed.entries.end());
    absorbed.entries.clear();
}

void ChangeTracer::coverOriginal(std::int32_t change, std::size_t position)
{
    TextSpan& original = m_records[std::size_t(change)].original;
    original.begin = std::min(original.begin, position);
    original.end = std::max(original.end, position + 1);
}

void ChangeTracer::appendChanges(std::vector<TracedChange>& out, std::size_t originalOffset,
                                 std::size_t resultOffset) const
{
    // Units and deletions in text order; a change's units and marks lie side by side.
    std::vector<TracedChange> found;
    std::int32_t current = unchanged;
    auto note = [&](std::size_t at, std::size_t end, std::int32_t change) {
        if (change == unchanged)
            return;
        change = root(change);
        if (change != current || found.empty()) {
            const Record& record = m_records[std::size_t(change)];
            found.push_back({record.original, {at, end}, record.entries});
            current = change;
        }
        found.back().result.end = std::max(found.back().result.end, end);
    };
    auto mark = m_marks.begin();
    for (std::size_t at = 0; at <= m_text.size(); ++at) {
        for (; mark != m_marks.end() && mark->at == at; ++mark)
            note(at, at, mark->change);
        if (at < m_text.size()) {
            if (m_owner[at] == unchanged)
                current = unchanged;
            note(at, at + 1, m_owner[at]);
        }
    }
    for (TracedChange& change : found) {
        const std::u16string_view before =
            m_original.substr(change.original.begin, change.original.end - change.original.begin);
        const std::u16string_view after = std::u16string_view(m_text).substr(
            change.result.begin, change.result.end - change.result.begin);
        if (before == after)
            continue;
        std::sort(change.entries.begin(), change.entries.end());
        change.entries.erase(std::unique(change.entries.begin(), change.entries.end()),
                             change.entries.end());
        change.original = {change.original.begin + originalOffset,
                           change.original.end + originalOffset};
        change.result = {change.result.begin + resultOffset, change.result.end + resultOffset};
        out.push_back(std::move(change));
    }
}

} // namespace pexa
