#pragma once

#include <string>
#include <string_view>

// Reading and writing article files: UTF-8 (with or without a byte-order mark) or, where the bytes
// are not valid UTF-8, GB18030, which also reads GBK and GB2312 files. Results are always UTF-8.
namespace pexa::cli {

enum class SourceEncoding
{
    Utf8,
    Gb18030,
};

struct DecodedArticle
{
    std::u16string text;
    SourceEncoding encoding = SourceEncoding::Utf8;
    bool hadByteOrderMark = false; // a UTF-8 BOM, given back on the result
    std::string error;             // why the bytes cannot be read as text; empty on success

    bool ok() const { return error.empty(); }
};

// Decodes a file's bytes. Refuses bytes that are neither UTF-8 nor GB18030, and text holding NUL
// characters (a binary or UTF-16 file).
DecodedArticle decodeArticle(std::string_view bytes);

// The result's bytes: UTF-8, with a BOM when the input had one. Line ends are the text's own.
std::string encodeResult(std::u16string_view text, bool withByteOrderMark);

} // namespace pexa::cli
