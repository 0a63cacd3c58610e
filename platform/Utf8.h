#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversions between UTF-8 bytes and UTF-16 text for the parts that work without Qt:
// the built-in phrase lists, the script converter and the command-line tool.
namespace pexa::utf8 {

// Decodes UTF-8; nullopt when the bytes are not well-formed UTF-8 (overlong forms, surrogates,
// truncated sequences and code points past U+10FFFF are refused).
std::optional<std::u16string> decode(std::string_view bytes);

// Encodes UTF-16 text as UTF-8. A lone surrogate is written as U+FFFD.
std::string encode(std::u16string_view text);

} // namespace pexa::utf8
