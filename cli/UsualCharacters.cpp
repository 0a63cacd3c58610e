#include "UsualCharacters.h"

#include "ToUtf16.h"

#include <algorithm>
#include <string>

namespace pexa::cli {

std::vector<std::uint8_t> findUsualCharacters()
{
    std::vector<std::uint8_t> isUsual(0x10000, 0);
    std::fill(isUsual.begin() + 0x20, isUsual.begin() + 0x7F, 1);
    for (char16_t control : {u'\t', u'\n', u'\r'})
        isUsual[control] = 1;
    // Every two-byte code of GB2312's rows; the unassigned ones are skipped.
    std::string codes;
    for (int lead = 0xA1; lead <= 0xF7; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            codes += char(lead);
            codes += char(trail);
        }
    }
    for (char16_t character : ToUtf16("GB2312").convertSkipping(codes, 2))
        isUsual[character] = 1;
    return isUsual;
}

} // namespace pexa::cli
