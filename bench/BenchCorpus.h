#pragma once

// The benchmark texts that scripts/bench.sh prepares; PEXA_BENCH_CORPUS names their folder.

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

namespace pexa::bench {

// The corpus folder, or nullopt after telling the user how to get one.
inline std::optional<std::string> corpusFolder()
{
    const char* folder = std::getenv("PEXA_BENCH_CORPUS");
    if (!folder) {
        std::cerr << "PEXA_BENCH_CORPUS must name the prose folder; run scripts/bench.sh\n";
        return std::nullopt;
    }
    return folder;
}

// The bytes of a corpus file; a missing or empty file is an error, not an empty benchmark.
inline std::string readCorpusFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    if (!file || bytes.str().empty())
        throw std::runtime_error("cannot read " + path);
    return bytes.str();
}

} // namespace pexa::bench
