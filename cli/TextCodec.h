#pragma once

#include <string>
#include <string_view>

// Reading and writing article files: UTF-8 (with or without a byte-order mark) or GB18030, which
// also reads GBK, GB2312 and code page 936 files (with its euro sign 0x80). Results are always
// UTF-8.
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

// Decodes a file's bytes. Where they read cleanly both as UTF-8 and as GB18030 (short texts can),
// the reading that looks more like Chinese text wins: more ASCII and GB2312 characters, fewer
// Greek, Cyrillic or rare ones. Refuses bytes that read cleanly as neither; damaged UTF-8
// (overlong or surrogate sequences), rather than reading it as GB18030; UTF-16 with or without a
// byte-order mark; and text holding NUL characters (a binary file).
DecodedArticle decodeArticle(std::string_view bytes);

// The result's bytes: UTF-8, with a BOM when the input had one. Line ends are the text's own.
std::string encodeResult(std::u16string_view text, bool withByteOrderMark);

} // namespace pexa::cli
