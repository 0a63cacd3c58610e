#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace pexa::data {

inline constexpr std::size_t phraseListCount = 3;

// The UTF-8 text of data/phrases/list1.txt, list2.txt and list3.txt, compiled in: one entry per line.
extern const std::array<std::string_view, phraseListCount> phraseListTexts;

} // namespace pexa::data
