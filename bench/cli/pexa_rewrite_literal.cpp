// pexa-rewrite-literal: the yardstick for timing pexa-rewrite as a whole process. It reads,
// decodes, encodes and writes exactly as pexa-rewrite does for one file to standard output, but
// rewrites with the literal algorithm: one replace-all over the whole text per dictionary entry.
#include "BuiltinDictionary.h"
#include "FileIo.h"
#include "PhraseSubstitution.h"
#include "TextCodec.h"

#include <cstdio>

using namespace pexa;
using namespace pexa::cli;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("Usage: pexa-rewrite-literal FILE\n", stderr);
        return 2;
    }
    const ReadOutcome read = readWholeFile(argv[1]);
    const DecodedArticle article = decodeArticle(read.bytes);
    if (!read.ok() || !article.ok()) {
        std::fprintf(stderr, "pexa-rewrite-literal: %s: %s\n", argv[1],
                     (read.ok() ? article.error : read.error).c_str());
        return 1;
    }
    const std::u16string result = applyDictionaryLiterally(article.text, loadBuiltinDictionary());
    const std::string failure = writeStandardOutput(encodeResult(result, article.hadByteOrderMark));
    if (!failure.empty()) {
        std::fprintf(stderr, "pexa-rewrite-literal: %s\n", failure.c_str());
        return 1;
    }
    return 0;
}
