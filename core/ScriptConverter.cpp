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

// Debian ships OpenCC's conversion settings in one package and the dictionaries they name in the
// library's own package.
constexpr std::string_view settingsPackage = "libopencc-data";
constexpr std::string_view dictionaryPackage = "libopencc1.1";

// OpenCC reports a missing file only in its message: "<file> not found or not accessible."
std::string missingFileIn(std::string_view message)
{
    constexpr std::string_view notFound = " not found or not accessible.";
    if (!message.ends_with(notFound))
        return {};
    return std::string(message.substr(0, message.size() - notFound.size()));
}

ScriptDataMissing dataMissing(const std::runtime_error& error)
{
    std::string file = missingFileIn(error.what());
    std::string package;
    if (file.empty())
        package = std::string(settingsPackage) + ", " + std::string(dictionaryPackage);
    else
        package = file.ends_with(".json") ? settingsPackage : dictionaryPackage;
    return ScriptDataMissing(error.what(), std::move(file), std::move(package));
}

} // namespace

ScriptDataMissing::ScriptDataMissing(const std::string& reason, std::string file,
                                     std::string package)
    : std::runtime_error(reason), m_file(std::move(file)), m_package(std::move(package))
{
}

class ScriptConverter::Tables
{
public:
    explicit Tables(std::string dataFolder) : m_dataFolder(std::move(dataFolder)) {}

    const opencc::SimpleConverter& table(Script target)
    {
        std::optional<opencc::SimpleConverter>& slot =
            target == Script::Traditional ? m_toTraditional : m_toSimplified;
        if (!slot) {
            try {
                slot.emplace(settingsFile(target));
            } catch (const std::runtime_error& error) {
                // OpenCC's converter passes its own errors on as std::runtime_error.
                throw dataMissing(error);
            }
        }
        return *slot;
    }

private:
    std::string settingsFile(Script target) const
    {
        const std::string name = target == Script::Traditional ? "s2t.json" : "t2s.json";
        return m_dataFolder.empty() ? name : m_dataFolder + "/" + name;
    }

    std::string m_dataFolder;
    std::optional<opencc::SimpleConverter> m_toTraditional;
    std::optional<opencc::SimpleConverter> m_toSimplified;
};

ScriptConverter::ScriptConverter(std::string dataFolder)
    : m_tables(std::make_unique<Tables>(std::move(dataFolder)))
{
}

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
