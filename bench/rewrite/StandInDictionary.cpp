#include "StandInDictionary.h"

#include <random>
#include <set>
#include <string_view>
#include <utility>

namespace pexa::bench {

namespace {

bool isChinese(char16_t unit)
{
    return unit >= u'\u4e00' && unit <= u'\u9fff';
}

class ProseSampler
{
public:
    explicit ProseSampler(const std::u16string& prose) : m_prose(prose) {}

    // A stretch of `length` Chinese characters from a random place in the prose.
    std::u16string chineseStretch(std::size_t length)
    {
        std::uniform_int_distribution<std::size_t> place(0, m_prose.size() - length);
        for (;;) {
            const std::size_t start = place(m_random);
            const std::u16string stretch = m_prose.substr(start, length);
            bool allChinese = true;
            for (char16_t unit : stretch)
                allChinese = allChinese && isChinese(unit);
            if (allChinese)
                return stretch;
        }
    }

    std::size_t below(std::size_t bound)
    {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(m_random);
    }

private:
    const std::u16string& m_prose;
    std::mt19937_64 m_random{5411};
};

// "source=replacement" (built by appending: GCC 12 warns falsely about `u"=" + text`).
std::u16string entry(std::u16string_view source, std::u16string_view replacement)
{
    std::u16string entry(source);
    entry += u'=';
    entry += replacement;
    return entry;
}

} // namespace

std::vector<std::u16string> standInEntries(const std::u16string& prose)
{
    const std::pair<std::size_t, std::size_t> lengthMix[] = {{2, 4016}, {3, 41}, {4, 1344},
                                                             {5, 4},    {6, 2},  {7, 2}};
    ProseSampler sampler(prose);
    std::set<std::u16string> sources;
    std::vector<std::u16string> entries;
    for (const auto& [length, count] : lengthMix) {
        for (std::size_t made = 0; made < count;) {
            std::u16string source = sampler.chineseStretch(length);
            if (!sources.insert(source).second)
                continue;
            entries.push_back(entry(source, sampler.chineseStretch(length)));
            ++made;
        }
    }
    // The built-in lists are in no particular order of length.
    for (std::size_t i = entries.size() - 1; i > 0; --i)
        std::swap(entries[i], entries[sampler.below(i + 1)]);
    // Two entries with an empty source and a second "=", as in the built-in lists.
    entries.push_back(entry(u"", entry(sampler.chineseStretch(4), sampler.chineseStretch(2))));
    entries.insert(entries.begin() + std::ptrdiff_t(entries.size() / 2),
                   entry(u"", entry(sampler.chineseStretch(2), sampler.chineseStretch(2))));
    return entries;
}

} // namespace pexa::bench
