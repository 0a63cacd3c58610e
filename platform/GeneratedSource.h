#pragma once

// For the build-time generators: write a generated C++ source only when its text changed, so that
// an unchanged table is not compiled again, and through a temporary file renamed onto it, so that a
// failed build never leaves half a table behind.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace pexa {

// Returns the generator's exit status: 0 when path holds source, 1 when it could not be written.
inline int writeGeneratedSource(const char* path, const std::string& source, const char* program)
{
    std::ifstream existing(path, std::ios::binary);
    const std::string old{std::istreambuf_iterator<char>(existing), std::istreambuf_iterator<char>()};
    if (old == source)
        return 0;
    const std::string temporary = std::string(path) + ".tmp";
    if (!(std::ofstream(temporary, std::ios::binary) << source) ||
        std::rename(temporary.c_str(), path) != 0) {
        std::cerr << program << ": cannot write " << path << "\n";
        return 1;
    }
    return 0;
}

} // namespace pexa
