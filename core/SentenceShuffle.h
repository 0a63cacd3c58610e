#pragma once

#include <string>
#include <string_view>

#include "RandomSource.h"

namespace pexa {

enum class ShuffleStatus
{
    NothingRewritten, // the result box is empty or still shows its initial text
    TooFewSentences,  // no "。", "，" or "," to cut at
    Shuffled,
};

struct ShuffleOutcome
{
    ShuffleStatus status;
    std::u16string text; // the shuffled text when status is Shuffled, empty otherwise
};

// The "打乱次序" command. Cuts the text at the highest-ranking separator it holds ("。", then "，",
// then ","), reseeds `random`, puts the pieces in the order in which their indexes are first drawn
// (each draw is round-half-even of a unit draw times the last index) and joins them with ",".
ShuffleOutcome shuffleSentences(std::u16string_view text, RandomSource& random);

} // namespace pexa
