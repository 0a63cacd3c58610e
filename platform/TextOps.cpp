#include "TextOps.h"

namespace pexa::text {

std::vector<std::u16string> split(std::u16string_view text, std::u16string_view delimiter)
{
    std::vector<std::u16string> fields;
    if (text.empty())
        return fields;
    if (delimiter.empty()) {
        fields.emplace_back(text);
        return fields;
    }
    std::size_t start = 0;
    for (std::size_t hit = text.find(delimiter); hit != std::u16string_view::npos;
         hit = text.find(delimiter, start)) {
        fields.emplace_back(text.substr(start, hit - start));
        start = hit + delimiter.size();
    }
    fields.emplace_back(text.substr(start));
    return fields;
}

std::size_t replaceAllInPlace(std::u16string& text, std::u16string_view find,
                              std::u16string_view replacement)
{
    if (text.empty() || find.empty())
        return 0;
    std::size_t hit = text.find(find);
    if (hit == std::u16string::npos)
        return 0;
    // Build the result in one pass so a long text with many hits stays linear.
    std::u16string result;
    result.reserve(text.size());
    std::size_t start = 0;
    std::size_t count = 0;
    for (; hit != std::u16string::npos; hit = text.find(find, start)) {
        result.append(text, start, hit - start);
        result.append(replacement);
        start = hit + find.size();
        ++count;
    }
    result.append(text, start);
    text.swap(result);
    return count;
}

std::u16string replaceAll(std::u16string_view text, std::u16string_view find,
                          std::u16string_view replacement)
{
    std::u16string result(text);
    replaceAllInPlace(result, find, replacement);
    return result;
}

std::size_t inStr(std::u16string_view text, std::u16string_view sought)
{
    if (text.empty())
        return 0;
    const std::size_t hit = text.find(sought);
    return hit == std::u16string_view::npos ? 0 : hit + 1;
}

} // namespace pexa::text
