#include "TextCodec.h"

#include "ToUtf16.h"
#include "UsualCharacters.h"
#include "Utf8.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <vector>

namespace pexa::cli {
namespace {

constexpr std::string_view utf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view utf16Refusal = "UTF-16 text, which is not read; save it as UTF-8 or GBK";

// Code page 936 writes the euro sign as the single byte 0x80, which GB18030 has no use for; it is
// given as GB18030's own euro sign (A2 E3) before decoding.
std::string withGb18030Euro(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + 16);
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead == 0x80) {
            out += "\xA2\xE3";
            ++i;
            continue;
        }
        // One byte below 0x80, four when the second is a digit, else two.
        std::size_t length = 1;
        if (lead > 0x80 && i + 1 < bytes.size())
            length = (bytes[i + 1] >= '0' && bytes[i + 1] <= '9') ? 4 : 2;
        out.append(bytes.substr(i, length));
        i += length;
    }
    return out;
}

std::optional<std::u16string> decodeGb18030(std::string_view bytes)
{
    ToUtf16 converter("GB18030");
    if (bytes.find('\x80') == std::string_view::npos)
        return converter.convert(bytes);
    return converter.convert(withGb18030Euro(bytes));
}

// UTF-16 without a byte-order mark in the given byte order, if the bytes read as text that way: no
// lone surrogate, no control character but tab and line ends, no noncharacter U+FFFE or U+FFFF.
std::optional<std::u16string> decodeUtf16(std::string_view bytes, std::endian order)
{
    if (bytes.empty() || bytes.size() % 2 != 0)
        return std::nullopt;
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = order == std::endian::little ? char16_t(first | second << 8)
                                               : char16_t(first << 8 | second);
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool control = (unit < 0x20 && unit != u'\t' && unit != u'\n' && unit != u'\r') ||
                             unit == 0xFFFE || unit == 0xFFFF;
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (control || low ||
            (high && (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)))
            return std::nullopt;
        i += high ? 1 : 0;
    }
    return text;
}

// Bytes laid out as UTF-8 (each lead byte followed by its continuation bytes) that strict UTF-8
// decoding still refuses: overlong forms, encoded surrogates (CESU-8), code points past U+10FFFF.
// Such a file is damaged UTF-8, whatever other encoding happens to accept its bytes.
bool isDamagedUtf8(std::string_view bytes)
{
    bool anyMultiByte = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC0 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF8 ? 4
                                                 : 0;
        if (length == 0 || i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        anyMultiByte |= length > 1;
        i += length;
    }
    return anyMultiByte;
}

// How much a reading of the bytes looks like a Chinese article: the share of its characters that
// are usual ones (see UsualCharacters.h). A wrong reading gives Greek, Cyrillic and rare characters
// instead.
double plausibility(std::u16string_view text)
{
    std::size_t usual = 0;
    for (char16_t unit : text)
        usual += data::usualCharacters[unit];
    return text.empty() ? 1.0 : double(usual) / double(text.size());
}

enum class Reading
{
    Utf8,
    Gb18030,
    Utf16,
};

struct Candidate
{
    Reading reading;
    std::u16string text;
    double plausibility;
};

// The readings the bytes allow, the likelier of equally plausible ones first. Stops at a reading
// that no other could beat.
std::vector<Candidate> readingsOf(std::string_view bytes)
{
    std::vector<Candidate> candidates;
    const auto add = [&](Reading reading, std::optional<std::u16string> text,
                         double leastPlausibility = 0.0) {
        if (text) {
            const double score = plausibility(*text);
            if (score >= leastPlausibility)
                candidates.push_back({reading, std::move(*text), score});
        }
        return !candidates.empty() && candidates.back().plausibility == 1.0;
    };
    if (add(Reading::Utf8, utf8::decode(bytes)) || add(Reading::Gb18030, decodeGb18030(bytes)))
        return candidates;
    // UTF-16 without a byte-order mark is only taken for what it is when it reads as clear text:
    // a short run of bytes can be read that way by chance.
    constexpr double clearText = 0.9;
    for (std::endian order : {std::endian::little, std::endian::big})
        add(Reading::Utf16, decodeUtf16(bytes, order), clearText);
    return candidates;
}

} // namespace

DecodedArticle decodeArticle(std::string_view bytes)
{
    DecodedArticle article;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        article.error = utf16Refusal;
        return article;
    }
    if (bytes.starts_with(utf8ByteOrderMark)) {
        bytes.remove_prefix(utf8ByteOrderMark.size());
        article.hadByteOrderMark = true;
    }
    std::vector<Candidate> candidates = readingsOf(bytes);
    const bool readsAsUtf8 = !candidates.empty() && candidates.front().reading == Reading::Utf8;
    if (!readsAsUtf8 && isDamagedUtf8(bytes)) {
        article.error = "damaged UTF-8 (overlong or surrogate byte sequences)";
        return article;
    }
    if (article.hadByteOrderMark) // a UTF-8 byte-order mark settles it
        candidates.resize(readsAsUtf8 ? 1 : 0);
    if (candidates.empty()) {
        article.error = "neither UTF-8 nor GB18030/GBK text";
        return article;
    }
    // max_element gives the first of equally plausible readings.
    Candidate& chosen = *std::max_element(
        candidates.begin(), candidates.end(),
        [](const Candidate& a, const Candidate& b) { return a.plausibility < b.plausibility; });
    if (chosen.reading == Reading::Utf16) {
        article.error = utf16Refusal;
        return article;
    }
    article.text = std::move(chosen.text);
    article.encoding =
        chosen.reading == Reading::Utf8 ? SourceEncoding::Utf8 : SourceEncoding::Gb18030;
    // U+0000 is the byte 0 in UTF-8 and in GB18030 alike, and the bytes are searched fastest.
    if (bytes.find('\0') != std::string_view::npos)
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
