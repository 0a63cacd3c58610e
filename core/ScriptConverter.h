#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pexa {

enum class Script
{
    Traditional,
    Simplified,
};

// OpenCC's data for a conversion could not be loaded: the installation lacks a file or holds a
// broken one. Carries the file as OpenCC named it and the Debian package that ships it.
class ScriptDataMissing : public std::runtime_error
{
public:
    ScriptDataMissing(const std::string& reason, std::string file, std::string package);

    // "/usr/share/opencc/s2t.json", or empty when OpenCC named no file.
    const std::string& file() const { return m_file; }
    // "libopencc-data" for the conversion settings, "libopencc1.1" for the dictionaries.
    const std::string& package() const { return m_package; }

private:
    std::string m_file;
    std::string m_package;
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
    // Loads OpenCC's settings (s2t.json, t2s.json) from `dataFolder`, or from OpenCC's own data
    // folder when it is empty.
    explicit ScriptConverter(std::string dataFolder = {});
    ~ScriptConverter();
    ScriptConverter(const ScriptConverter&) = delete;
    ScriptConverter& operator=(const ScriptConverter&) = delete;

    // Throws ScriptDataMissing when the tables for `target` cannot be loaded; the next call tries
    // again.
    std::u16string convert(std::u16string_view text, Script target) const;

private:
    class Tables;
    std::unique_ptr<Tables> m_tables;
};

} // namespace pexa
