#include "ScriptConverter.h"

#include <opencc/SimpleConverter.hpp>
#include <optional>

#include "Utf8.h"

namespace pexa {
namespace {

std::size_t codePointCount(std::u16string_view text)
{
    std::size_t count = 0;
    for (char16_t unit : text)
        count += (unit & 0xFC00) != 0xDC00; // a low surrogate continues the previous character
    return count;
}

std::size_t codePointLength(std::u16string_view text, std::size_t at)
{
    const bool pair = (text[at] & 0xFC00) == 0xD800 && at + 1 < text.size() &&
                      (text[at + 1] & 0xFC00) == 0xDC00;
    return pair ? 2 : 1;
}

std::u16string convertWhole(const opencc::SimpleConverter& table, std::u16string_view text)
{
    const std::optional<std::u16string> converted =
        utf8::decode(table.Convert(utf8::encode(text)));
    return converted.value_or(std::u16string(text));
}

// Character-level conversion: each character is mapped on its own and kept as it is unless it maps
// to exactly one character.
std::u16string convertEachCharacter(const opencc::SimpleConverter& table, std::u16string_view text)
{
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = codePointLength(text, at);
        const std::u16string_view character = text.substr(at, length);
        const std::u16string mapped = convertWhole(table, character);
        result.append(codePointCount(mapped) == 1 ? std::u16string_view(mapped) : character);
        at += length;
    }
    return result;
}

} // namespace

class ScriptConverter::Tables
{
public:
    const opencc::SimpleConverter& table(Script target)
    {
        std::optional<opencc::SimpleConverter>& slot =
            target == Script::Traditional ? m_toTraditional : m_toSimplified;
        if (!slot)
            slot.emplace(target == Script::Traditional ? "s2t.json" : "t2s.json");
        return *slot;
    }

private:
    std::optional<opencc::SimpleConverter> m_toTraditional;
    std::optional<opencc::SimpleConverter> m_toSimplified;
};

ScriptConverter::ScriptConverter() : m_tables(std::make_unique<Tables>()) {}

ScriptConverter::~ScriptConverter() = default;

std::u16string ScriptConverter::convert(std::u16string_view text, Script target) const
{
    if (text.empty())
        return {};
    const opencc::SimpleConverter& table = m_tables->table(target);
    std::u16string converted = convertWhole(table, text);
    if (codePointCount(converted) != codePointCount(text))
        return convertEachCharacter(table, text);
    return converted;
}

} // namespace pexa
