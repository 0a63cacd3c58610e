#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pexa {

// How much of a result is new: the characters (code points) of the result that are not part of a
// longest common subsequence with the input.
struct ChangeRate
{
    std::size_t changedCharacters = 0;
    std::size_t resultCharacters = 0;
    bool exact = true; // false when a very large text was measured piece by piece

    // The rate in tenths of a percent, rounded half up; 0 for an empty result.
    std::int64_t tenthsOfPercent() const;
    // "23.4%"
    std::string percentText() const;
};

// Work limit of one exact comparison, in 64-bit word steps (result length times input length / 64):
// about a tenth of a second, and far more than an article needs.
inline constexpr std::uint64_t exactComparisonLimit = std::uint64_t{1} << 27;

// The change rate of `result` against `input`. Exact (bit-parallel longest common subsequence,
// after the common beginning and end are set aside) while the comparison stays within `workLimit`.
// Beyond that both texts are cut at their line breaks, else sentence ends, else commas, wherever
// both hold the same number of them, and the pieces are compared pair by pair; with no such cut,
// into equal shares. The pieces' common subsequences join into one of the whole texts, so such a
// rate is never below the exact one; `exact` is then false.
ChangeRate measureChangeRate(std::u16string_view input, std::u16string_view result,
                             std::uint64_t workLimit = exactComparisonLimit);

// Length of a longest common subsequence of two code-point sequences, exactly.
std::size_t longestCommonSubsequence(std::u32string_view a, std::u32string_view b);

// The code points of UTF-16 text; a lone surrogate stands for itself.
std::u32string codePointsOf(std::u16string_view text);

} // namespace pexa
