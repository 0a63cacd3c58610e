#include "SentenceShuffle.h"

#include <array>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

#include "Placeholders.h"
#include "Rounding.h"
#include "TextOps.h"

namespace pexa {
namespace {

constexpr std::array<std::u16string_view, 3> separatorsByRank = {u"。", u"，", u","};
constexpr std::u16string_view joinSeparator = u",";

bool isNothingRewritten(std::u16string_view text)
{
    // Only the untouched initial text counts: an article may well contain the words "结果，部分".
    return text.empty() || text == placeholders::resultText;
}

std::u16string_view highestRankingSeparator(std::u16string_view text)
{
    for (std::u16string_view separator : separatorsByRank) {
        if (text::contains(text, separator))
            return separator;
    }
    return {};
}

// Slot order of the pieces: indexes 0..lastIndex in the order each is first drawn. Ends always
// come up at half the rate of the inner indexes, which is part of the product's shuffle.
std::vector<std::int32_t> drawSlotOrder(std::int32_t lastIndex, RandomSource& random)
{
    std::vector<std::int32_t> slots;
    slots.reserve(static_cast<std::size_t>(lastIndex) + 1);
    std::vector<bool> drawn(static_cast<std::size_t>(lastIndex) + 1, false);
    while (slots.size() < drawn.size()) {
        const std::int32_t draw = roundHalfEven(random.nextUnit() * lastIndex);
        if (drawn[draw])
            continue;
        drawn[draw] = true;
        slots.push_back(draw);
    }
    return slots;
}

std::u16string joinInSlotOrder(const std::vector<std::u16string>& pieces,
                               const std::vector<std::int32_t>& slots)
{
    std::size_t length = 0;
    for (const std::u16string& piece : pieces)
        length += piece.size() + joinSeparator.size();
    std::u16string output;
    output.reserve(length);
    for (std::size_t slot = 0; slot < slots.size(); ++slot) {
        if (slot > 0)
            output.append(joinSeparator);
        output.append(pieces[slots[slot]]);
    }
    return output;
}

} // namespace

ShuffleOutcome shuffleSentences(std::u16string_view text, RandomSource& random)
{
    if (isNothingRewritten(text))
        return {ShuffleStatus::NothingRewritten, {}};
    const std::u16string_view separator = highestRankingSeparator(text);
    if (separator.empty())
        return {ShuffleStatus::TooFewSentences, {}};

    const std::vector<std::u16string> pieces = text::split(text, separator);
    if (pieces.size() - 1 > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw std::overflow_error("too many sentences to shuffle");
    const auto lastIndex = static_cast<std::int32_t>(pieces.size() - 1);

    random.reseed();
    return {ShuffleStatus::Shuffled, joinInSlotOrder(pieces, drawSlotOrder(lastIndex, random))};
}

} // namespace pexa
