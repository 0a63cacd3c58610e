// The literal rewrite as a whole program: UTF-8 text from standard input, rewritten with the
// built-in dictionary one entry after another, to standard output. The yardstick for the
// command-line tool's start-to-exit time in scripts/bench.sh.

#include <iostream>
#include <iterator>
#include <string>

#include "BuiltinDictionary.h"
#include "PhraseSubstitution.h"
#include "Utf8.h"

int main()
{
    std::ios::sync_with_stdio(false);
    const std::string input{std::istreambuf_iterator<char>(std::cin), {}};
    const auto text = pexa::utf8::decode(input);
    if (!text) {
        std::cerr << "the input is not UTF-8\n";
        return 1;
    }
    std::cout << pexa::utf8::encode(
        pexa::applyDictionaryLiterally(*text, pexa::loadBuiltinDictionary()));
    return 0;
}
