#include "BuiltinDictionary.h"

#include "BuiltinPhraseData.h"
#include "Utf8.h"

#include <stdexcept>

namespace pexa {

PhraseList parsePhraseList(std::string_view utf8Text)
{
    const std::optional<std::u16string> text = utf8::decode(utf8Text);
    if (!text)
        throw std::invalid_argument("a built-in phrase list is not valid UTF-8");
    PhraseList entries;
    std::size_t start = 0;
    while (start < text->size()) {
        std::size_t end = text->find(u'\n', start);
        if (end == std::u16string::npos)
            end = text->size();
        std::size_t lineEnd = end;
        if (lineEnd > start && (*text)[lineEnd - 1] == u'\r')
            --lineEnd;
        if (lineEnd > start)
            entries.emplace_back(*text, start, lineEnd - start);
        start = end + 1;
    }
    return entries;
}

std::vector<PhraseList> builtinPhraseLists()
{
    std::vector<PhraseList> lists;
    for (std::string_view listText : data::phraseListTexts)
        lists.push_back(parsePhraseList(listText));
    return lists;
}

PhraseDictionary mergePhraseLists(const std::vector<PhraseList>& lists)
{
    PhraseList merged;
    for (const PhraseList& list : lists)
        merged.insert(merged.end(), list.begin(), list.end());
    return PhraseDictionary::fromEntries(merged);
}

} // namespace pexa
