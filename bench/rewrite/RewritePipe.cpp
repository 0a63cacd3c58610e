// A whole program around one rewrite engine: UTF-8 text from standard input, rewritten with the
// built-in dictionary, to standard output. "literal" applies the entries one after another; "fast"
// uses the program's rewriter. scripts/bench.sh times both from start to exit, and the command-line
// tool against them.
// Usage: pexa_rewrite_pipe literal|fast < INPUT > OUTPUT

#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

#include "BuiltinDictionary.h"
#include "PhraseSubstitution.h"
#include "Utf8.h"

int main(int argc, char* argv[])
{
    const std::string_view engine = argc == 2 ? argv[1] : "";
    if (engine != "literal" && engine != "fast") {
        std::cerr << "usage: pexa_rewrite_pipe literal|fast < INPUT > OUTPUT\n";
        return 2;
    }
    std::ios::sync_with_stdio(false);
    const std::string input{std::istreambuf_iterator<char>(std::cin), {}};
    const auto text = pexa::utf8::decode(input);
    if (!text) {
        std::cerr << "the input is not UTF-8\n";
        return 1;
    }
    const pexa::PhraseRewriter rewriter(pexa::loadBuiltinDictionary());
    std::cout << pexa::utf8::encode(
        engine == "fast" ? rewriter.rewrite(*text)
                         : pexa::applyDictionaryLiterally(*text, rewriter.dictionary()));
    return 0;
}
