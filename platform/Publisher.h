#pragma once

#include <string_view>

// Who publishes this build: the window caption, the website button and the update check read these.
// A publisher changes them here and nowhere else. The hosts are reserved example names.
namespace pexa::publisher {

inline constexpr std::u16string_view name = u"派克萨工作室";
inline constexpr std::u16string_view websiteHost = u"www.pexa.example";
inline constexpr std::u16string_view updateHost = u"update.pexa.example";
inline constexpr std::u16string_view contact = u"QQ:00000000";

} // namespace pexa::publisher
