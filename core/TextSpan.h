#pragma once

#include <cstddef>

namespace pexa {

// A stretch of text by code-unit offsets: [begin, end).
struct TextSpan
{
    std::size_t begin;
    std::size_t end;

    friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

} // namespace pexa
