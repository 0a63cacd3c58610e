#pragma once

#include <string>
#include <vector>

namespace pexa::bench {

// A dictionary shaped like the built-in one, made from the prose it is measured on: 5411 entries
// with distinct Chinese sources of the built-in length mix (4016 of 2 characters, 41 of 3, 1344 of
// 4, 4 of 5, 2 of 6, 2 of 7, and 2 empty ones), each replaced by another Chinese stretch of the
// same length from the prose, so that replacements often are sources too and cascade. Sources are
// taken at random places in the prose, so frequent words are more likely, as in a real dictionary.
// Used until the real lists are built in; the same prose always gives the same entries.
std::vector<std::u16string> standInEntries(const std::u16string& prose);

} // namespace pexa::bench
