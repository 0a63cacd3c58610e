// Text conversion benchmarks: the project's UTF-8 codec (platform/Utf8, ICU's converters behind the
// project's interface) against ICU's, Qt's and glibc's iconv converters called directly, and the
// GB18030 readers of the three, on the 1 MB benchmark prose (UTF-8, and the same text as GB18030).
// Every reader here refuses bytes that are no text of its encoding, as pexa-rewrite must. The prose
// comes from scripts/bench.sh (PEXA_BENCH_CORPUS names its folder).
//
// The figures that chose the converters (Release build, 1 MB of prose): UTF-8 decoding 1.20 ms by
// the former hand loop, 0.87 ms by ICU, 1.37 ms by Qt, 1.30 ms by iconv; encoding 1.17 ms by the
// hand loop, 0.62 ms by ICU, 0.74 ms by Qt, 1.14 ms by iconv; GB18030 decoding 1.10 ms by iconv,
// 1.72 ms by ICU, 1.71 ms by Qt (which uses ICU). So UTF-8 goes through ICU and GB18030 stays with
// iconv.

#include "BenchCorpus.h"
#include "Utf8.h"

#include <QString>
#include <QStringDecoder>
#include <benchmark/benchmark.h>
#include <bit>
#include <cstdlib>
#include <fstream>
#include <iconv.h>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

namespace {

const char* const utf16Name = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// One whole conversion with iconv; nullopt on bytes that are no character of the encoding.
std::optional<std::string> iconvConvert(const char* to, const char* from, std::string_view bytes,
                                        std::size_t outFactor)
{
    const iconv_t converter = iconv_open(to, from);
    std::string out(bytes.size() * outFactor + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* next = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &next, &outLeft);
    iconv_close(converter);
    if (result == std::size_t(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::optional<std::u16string> iconvToUtf16(const char* from, std::string_view bytes)
{
    const std::optional<std::string> converted = iconvConvert(utf16Name, from, bytes, 2);
    if (!converted)
        return std::nullopt;
    return std::u16string(reinterpret_cast<const char16_t*>(converted->data()),
                          converted->size() / 2);
}

std::optional<std::u16string> icuFromUtf8(std::string_view bytes)
{
    std::u16string text(bytes.size(), u'\0');
    std::int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(text.data(), std::int32_t(text.size()), &length, bytes.data(),
                  std::int32_t(bytes.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    text.resize(std::size_t(length));
    return text;
}

std::string icuToUtf8(std::u16string_view text)
{
    std::string bytes(text.size() * 3, '\0');
    std::int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8(bytes.data(), std::int32_t(bytes.size()), &length, text.data(),
                std::int32_t(text.size()), &status);
    bytes.resize(std::size_t(length));
    return bytes;
}

// An ICU converter that stops at the first byte sequence that is no character.
std::optional<std::u16string> icuConvertToUtf16(const char* from, std::string_view bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(from, &status);
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    std::u16string text(bytes.size() + 1, u'\0');
    const std::int32_t length = ucnv_toUChars(converter, text.data(), std::int32_t(text.size()),
                                              bytes.data(), std::int32_t(bytes.size()), &status);
    ucnv_close(converter);
    if (U_FAILURE(status))
        return std::nullopt;
    text.resize(std::size_t(length));
    return text;
}

std::optional<QString> qtDecode(QStringConverter::Encoding encoding, std::string_view bytes)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::optional<QString> qtDecode(const char* encoding, std::string_view bytes)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (!decoder.isValid() || decoder.hasError())
        return std::nullopt;
    return text;
}

template <typename Convert>
void measure(const std::string& name, std::size_t bytes, Convert convert)
{
    benchmark::RegisterBenchmark(name.c_str(), [bytes, convert](benchmark::State& state) {
        for (auto _ : state)
            benchmark::DoNotOptimize(convert());
        state.SetBytesProcessed(std::int64_t(state.iterations() * bytes));
    })->Unit(benchmark::kMicrosecond);
}

// Every converter must give the same text, or its figure means nothing.
void checkSame(const std::u16string& expected, const std::u16string& actual, const char* what)
{
    if (actual != expected)
        throw std::runtime_error(std::string(what) + " gives a different text");
}

} // namespace

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    const auto folder = pexa::bench::corpusFolder();
    if (!folder)
        return 2;
    static const std::string utf8Bytes = pexa::bench::readCorpusFile(*folder + "/prose-1m.txt");
    static const std::u16string text = *pexa::utf8::decode(utf8Bytes);
    static const std::string gbBytes = *iconvConvert("GB18030", "UTF-8", utf8Bytes, 1);
    const auto fromQt = [](const QString& s) {
        return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size()));
    };
    checkSame(text, *icuFromUtf8(utf8Bytes), "ICU u_strFromUTF8");
    checkSame(text, *iconvToUtf16("UTF-8", utf8Bytes), "iconv UTF-8");
    checkSame(text, fromQt(*qtDecode(QStringConverter::Utf8, utf8Bytes)), "Qt UTF-8");
    checkSame(text, *iconvToUtf16("GB18030", gbBytes), "iconv GB18030");
    checkSame(text, *icuConvertToUtf16("gb18030", gbBytes), "ICU GB18030");
    checkSame(text, fromQt(*qtDecode("GB18030", gbBytes)), "Qt GB18030");
    if (icuToUtf8(text) != utf8Bytes || pexa::utf8::encode(text) != utf8Bytes)
        throw std::runtime_error("an encoder gives different bytes");
    std::cout << "1 MB prose: " << utf8Bytes.size() << " bytes UTF-8, " << gbBytes.size()
              << " bytes GB18030, " << text.size() << " UTF-16 units\n";

    const std::size_t size = utf8Bytes.size();
    measure("DecodeUtf8/project", size, [] { return pexa::utf8::decode(utf8Bytes); });
    measure("DecodeUtf8/icu", size, [] { return icuFromUtf8(utf8Bytes); });
    measure("DecodeUtf8/qt", size, [] { return qtDecode(QStringConverter::Utf8, utf8Bytes); });
    measure("DecodeUtf8/iconv", size, [] { return iconvToUtf16("UTF-8", utf8Bytes); });
    measure("EncodeUtf8/project", size, [] { return pexa::utf8::encode(text); });
    measure("EncodeUtf8/icu", size, [] { return icuToUtf8(text); });
    measure("EncodeUtf8/qt", size,
            [] { return QStringView(text.data(), qsizetype(text.size())).toUtf8(); });
    measure("EncodeUtf8/iconv", size, [] {
        return iconvConvert("UTF-8", utf16Name,
                            {reinterpret_cast<const char*>(text.data()), text.size() * 2}, 2);
    });
    measure("DecodeGb18030/iconv", gbBytes.size(), [] { return iconvToUtf16("GB18030", gbBytes); });
    measure("DecodeGb18030/icu", gbBytes.size(),
            [] { return icuConvertToUtf16("gb18030", gbBytes); });
    measure("DecodeGb18030/qt", gbBytes.size(), [] { return qtDecode("GB18030", gbBytes); });
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
