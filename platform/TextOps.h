#pragma once

#include <string>
#include <string_view>
#include <vector>

// String services with exact UTF-16 code-unit semantics. Positions are 1-based where the product's
// commands speak of positions, as in the window's in-string search.
namespace pexa::text {

// The fields between delimiters, in order. split(u"a==b", u"=") gives "a", "", "b".
// Text without the delimiter gives one field, the whole text; an empty text gives no fields.
// An empty delimiter gives the whole text as one field.
std::vector<std::u16string> split(std::u16string_view text, std::u16string_view delimiter);

// Replaces every non-overlapping occurrence of `find`, scanning left to right; inserted text is not
// searched again. replaceAll(u"aaa", u"aa", u"b") gives "ba". Empty find or empty text: unchanged.
std::u16string replaceAll(std::u16string_view text, std::u16string_view find,
                          std::u16string_view replacement);

// In-place form of replaceAll; returns the number of occurrences replaced.
std::size_t replaceAllInPlace(std::u16string& text, std::u16string_view find,
                              std::u16string_view replacement);

// 1-based position of the first occurrence of `sought`, or 0 when absent or when text is empty.
// inStr(u"abc", u"c") gives 3; inStr(u"abc", u"") gives 1; inStr(u"", u"") gives 0.
std::size_t inStr(std::u16string_view text, std::u16string_view sought);

// True when `sought` occurs in text (in-string search found it).
inline bool contains(std::u16string_view text, std::u16string_view sought)
{
    return inStr(text, sought) != 0;
}

} // namespace pexa::text
