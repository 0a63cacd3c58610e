#pragma once

#include <string_view>

// The initial texts of the input and result boxes, and the markers the commands look for.
namespace pexa::placeholders {

inline constexpr std::u16string_view inputMarker = u"请输入要伪原创的内容";
inline constexpr std::u16string_view resultMarker = u"结果，部分";

// The boxes' untouched initial texts: the marker and one line break, as the window stores it.
inline constexpr std::u16string_view inputText = u"请输入要伪原创的内容\n";
inline constexpr std::u16string_view resultText = u"结果，部分\n";

} // namespace pexa::placeholders
