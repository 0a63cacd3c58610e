#pragma once

#include "PhraseDictionary.h"

#include <string>
#include <string_view>
#include <vector>

namespace pexa {

using PhraseList = std::vector<std::u16string>;

// Entries of one list text, one per line (LF or CR LF); blank lines are skipped.
PhraseList parsePhraseList(std::string_view utf8Text);

// The built-in lists List1, List2 and List3, in the order the program ships them.
std::vector<PhraseList> builtinPhraseLists();

// The working dictionary: every list appended after the previous one, each in its own order.
PhraseDictionary mergePhraseLists(const std::vector<PhraseList>& lists);

// The program's dictionary: the merged lists, split into sources and replacements when the program
// was built (see BuiltinIndex.h).
PhraseDictionary loadBuiltinDictionary();

} // namespace pexa
