#include "TextCodec.h"

#include "Utf8.h"

#include <bit>
#include <iconv.h>
#include <optional>

namespace pexa::cli {
namespace {

constexpr std::string_view utf8ByteOrderMark = "\xEF\xBB\xBF";

// GB18030 through the C library's iconv, straight into UTF-16 in the machine's byte order.
std::optional<std::u16string> decodeGb18030(std::string_view bytes)
{
    const char* utf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
    iconv_t converter = iconv_open(utf16, "GB18030");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    // One GB18030 byte gives at most one UTF-16 unit (four bytes give at most two).
    std::u16string text(bytes.size(), u'\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* out = reinterpret_cast<char*>(text.data());
    std::size_t outLeft = text.size() * sizeof(char16_t);
    const std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (converted == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    text.resize(text.size() - outLeft / sizeof(char16_t));
    return text;
}

bool looksLikeUtf16(std::string_view bytes)
{
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

} // namespace

DecodedArticle decodeArticle(std::string_view bytes)
{
    DecodedArticle article;
    if (bytes.starts_with(utf8ByteOrderMark)) {
        bytes.remove_prefix(utf8ByteOrderMark.size());
        article.hadByteOrderMark = true;
    }
    if (std::optional<std::u16string> text = utf8::decode(bytes)) {
        article.text = std::move(*text);
    } else if (std::optional<std::u16string> gbText = decodeGb18030(bytes)) {
        article.text = std::move(*gbText);
        article.encoding = SourceEncoding::Gb18030;
    } else {
        article.error = looksLikeUtf16(bytes)
                            ? "UTF-16 text, which is not read; save it as UTF-8 or GBK"
                            : "neither UTF-8 nor GB18030/GBK text";
        return article;
    }
    if (article.text.find(u'\0') != std::u16string::npos)
        article.error = "holds NUL bytes, so it is no plain text (binary or UTF-16?)";
    return article;
}

std::string encodeResult(std::u16string_view text, bool withByteOrderMark)
{
    if (!withByteOrderMark)
        return utf8::encode(text);
    return std::string(utf8ByteOrderMark) + utf8::encode(text);
}

} // namespace pexa::cli
