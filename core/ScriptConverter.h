#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace pexa {

enum class Script
{
    Traditional,
    Simplified,
};

// Converts between simplified and traditional Chinese with OpenCC's phrase-aware tables
// (以后 becomes 以後, 皇后 stays). Each table is loaded on first use and kept.
//
// One character comes out for each character in: should a phrase table ever change a text's
// length, that text is converted character by character instead. ASCII, punctuation, line breaks
// and characters the tables do not know (emoji, rare characters) pass through unchanged.
class ScriptConverter
{
public:
    ScriptConverter();
    ~ScriptConverter();
    ScriptConverter(const ScriptConverter&) = delete;
    ScriptConverter& operator=(const ScriptConverter&) = delete;

    std::u16string convert(std::u16string_view text, Script target) const;

private:
    class Tables;
    std::unique_ptr<Tables> m_tables;
};

} // namespace pexa
