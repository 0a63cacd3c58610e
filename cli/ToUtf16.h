#pragma once

#include <iconv.h>
#include <optional>
#include <string>
#include <string_view>

namespace pexa::cli {

// One iconv conversion into UTF-16 in the machine's byte order.
class ToUtf16
{
public:
    explicit ToUtf16(const char* from);
    ~ToUtf16();
    ToUtf16(const ToUtf16&) = delete;
    ToUtf16& operator=(const ToUtf16&) = delete;

    // The text, or nullopt when some bytes are no character of the encoding.
    std::optional<std::u16string> convert(std::string_view bytes);

    // The characters of those codes, each `codeLength` bytes long, that are characters of the
    // encoding; the others are skipped. One call to iconv per run of good codes.
    std::u16string convertSkipping(std::string_view codes, std::size_t codeLength);

private:
    bool valid() const { return m_converter != reinterpret_cast<iconv_t>(-1); }

    iconv_t m_converter;
};

} // namespace pexa::cli
