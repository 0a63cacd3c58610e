// Turns Chinese manual pages (roff source, concatenated on standard input) into plain prose for the
// rewrite benchmarks, and writes the first 3 KB, 100 KB and 1 MB of it (UTF-8) into a folder, and the
// 3 KB that follow the first 3 KB as a second article of the same size.
// Usage: zcat /usr/share/man/zh_CN/man*/*.gz | pexa_bench_prose OUTPUT_DIR
//
// Only lines that are mostly Chinese characters are kept: the option tables and code samples of the
// pages are not prose. A page wraps its paragraphs at arbitrary places, so the lines of a paragraph
// are joined without a break; paragraphs end at the page's paragraph and section macros.

#include <cstddef>
#include <fstream>
#include <iostream>
#include <regex>
#include <string>
#include <string_view>
#include <utility>

#include "Utf8.h"

namespace {

bool startsParagraph(std::string_view macroLine)
{
    for (std::string_view macro : {".TH", ".SH", ".SS", ".PP", ".P", ".LP", ".TP", ".IP"})
        if (macroLine.substr(0, macro.size()) == macro &&
            (macroLine.size() == macro.size() || macroLine[macro.size()] == ' '))
            return true;
    return false;
}

// Font changes, special characters and size changes of roff, removed or turned into plain text.
std::string withoutRoffEscapes(const std::string& line)
{
    static const std::regex escapes(R"(\\f(\(..|.)|\\\(..|\\s[-+]?[0-9]|\\&)");
    std::string plain = std::regex_replace(line, escapes, "");
    plain = std::regex_replace(plain, std::regex(R"(\\-)"), "-");
    return plain;
}

bool isMostlyChinese(std::u16string_view text)
{
    std::size_t chinese = 0;
    for (char16_t unit : text)
        chinese += unit >= u'\u4e00' && unit <= u'\u9fff';
    return text.size() >= 10 && 2 * chinese >= text.size();
}

std::string extractProse(std::istream& roff)
{
    std::string prose;
    std::string line;
    while (std::getline(roff, line)) {
        if (line.starts_with('.') || line.starts_with('\'')) {
            if (startsParagraph(line) && !prose.empty() && prose.back() != '\n')
                prose += '\n';
            continue;
        }
        const std::string plain = withoutRoffEscapes(line);
        const auto text = pexa::utf8::decode(plain);
        if (text && isMostlyChinese(*text))
            prose += plain.substr(plain.find_first_not_of(' '));
    }
    return prose;
}

// The longest prefix of at most `bytes` bytes that ends on a whole UTF-8 character.
std::string_view prefix(std::string_view text, std::size_t bytes)
{
    if (bytes >= text.size())
        return text;
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
        --bytes;
    return text.substr(0, bytes);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: zcat PAGES... | pexa_bench_prose OUTPUT_DIR\n";
        return 2;
    }
    const std::string prose = extractProse(std::cin);
    const std::string folder = argv[1];
    if (prose.size() < 1024 * 1024) {
        std::cerr << "only " << prose.size() << " bytes of prose, 1 MB needed\n";
        return 1;
    }
    const std::pair<const char*, std::size_t> sizes[] = {
        {"prose-3k.txt", 3 * 1024}, {"prose-100k.txt", 100 * 1024}, {"prose-1m.txt", 1024 * 1024}};
    for (const auto& [name, bytes] : sizes)
        std::ofstream(folder + "/" + name, std::ios::binary) << prefix(prose, bytes);
    const std::string_view firstArticle = prefix(prose, 3 * 1024);
    std::ofstream(folder + "/prose-3k-next.txt", std::ios::binary)
        << prefix(std::string_view(prose).substr(firstArticle.size()), 3 * 1024);
    return 0;
}
