#include "ToUtf16.h"

#include <bit>
#include <cerrno>

namespace pexa::cli {

ToUtf16::ToUtf16(const char* from)
    : m_converter(
          iconv_open(std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE", from))
{
}

ToUtf16::~ToUtf16()
{
    if (valid())
        iconv_close(m_converter);
}

std::optional<std::u16string> ToUtf16::convert(std::string_view bytes)
{
    if (!valid())
        return std::nullopt;
    iconv(m_converter, nullptr, nullptr, nullptr, nullptr); // a fresh start
    // The encodings used here give at most one UTF-16 unit per byte.
    std::u16string text(bytes.size(), u'\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* out = reinterpret_cast<char*>(text.data());
    std::size_t outLeft = text.size() * sizeof(char16_t);
    const std::size_t converted = iconv(m_converter, &in, &inLeft, &out, &outLeft);
    if (converted == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    text.resize(text.size() - outLeft / sizeof(char16_t));
    return text;
}

std::u16string ToUtf16::convertSkipping(std::string_view codes, std::size_t codeLength)
{
    if (!valid())
        return {};
    iconv(m_converter, nullptr, nullptr, nullptr, nullptr);
    std::u16string text(codes.size(), u'\0');
    char* in = const_cast<char*>(codes.data());
    std::size_t inLeft = codes.size();
    char* out = reinterpret_cast<char*>(text.data());
    std::size_t outLeft = text.size() * sizeof(char16_t);
    while (iconv(m_converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) &&
           errno == EILSEQ && inLeft >= codeLength) {
        in += codeLength;
        inLeft -= codeLength;
    }
    text.resize(text.size() - outLeft / sizeof(char16_t));
    return text;
}

} // namespace pexa::cli
